// One simulated driver component: built three times, as libkord77pci.so,
// libkord77usb.so and libkord77isa.so, with KORD77_KIND (Pci, Usb, Isa) and
// KORD77_NAME ("KORD77PCI", ...) set by the build.

#include "app/board/iadc_device.h"
#include "component/component_factory.h"
#include "plugins/board-sim/simulated_board.h"

namespace {

// IADCDevice over the simulation. Release hands the object back to the factory,
// which destroys it.
class Kord77Device final : public IADCDevice {
public:
    Kord77Device() : board_(boardsim::BoardKind::KORD77_KIND) {}
    Kord77Device(const Kord77Device&) = delete;
    Kord77Device& operator=(const Kord77Device&) = delete;
    ~Kord77Device() = default;

    int32_t Reserved0() override { return board_.Reserved(0); }
    int32_t Release() override;
    int32_t OpenBoard(int32_t id, int32_t a, int32_t b, int32_t c) override {
        return board_.OpenBoard(id, a, b, c);
    }
    int32_t Reserved3() override { return board_.Reserved(3); }
    int32_t ApplySettings(int32_t what, BoardSettings* settings, float* realisedClock) override {
        return board_.ApplySettings(what, settings, realisedClock);
    }
    int32_t StartOutput() override { return board_.StartOutput(); }
    int32_t StopOutput() override { return board_.StopOutput(); }
    int32_t LoadSamples(int32_t format, const int16_t* samples, int32_t count,
                        int32_t reserved) override {
        return board_.LoadSamples(format, samples, count, reserved);
    }
    int32_t Reserved8() override { return board_.Reserved(8); }
    int32_t Control(int32_t code, void* data) override { return board_.Control(code, data); }

private:
    boardsim::SimulatedBoard board_;
};

using Kord77Factory = quorvel::ComponentFactory<Kord77Device, IADCDevice>;

} // namespace

QUORVEL_COMPONENT(Kord77Factory, quorvel::DriversBase, KORD77_NAME, "IADCDevice")

int32_t Kord77Device::Release() {
    board_.Release();
    void* self = static_cast<IADCDevice*>(this);
    // Destroys this object: nothing may touch a member after this call.
    StaticFactory.Release(&self);
    return 0;
}
