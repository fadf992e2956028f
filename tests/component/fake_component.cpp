// A stand-in component built only from the helpers a component author uses.

#include "tests/component/fake_component.h"
#include "component/component_factory.h"

namespace {

class Fake final : public IFake {
public:
    explicit Fake(void* argument) : argument_(argument) {
        if (argument_ != nullptr)
            static_cast<FakeProbe*>(argument_)->alive += 1;
    }
    ~Fake() {
        if (argument_ != nullptr)
            static_cast<FakeProbe*>(argument_)->alive -= 1;
    }
    Fake(const Fake&) = delete;
    Fake& operator=(const Fake&) = delete;

    int32_t Answer() override { return FAKE_ANSWER; }
    void* Argument() override { return argument_; }

private:
    void* argument_;
};

using FakeFactory = quorvel::ComponentFactory<Fake, IFake>;

} // namespace

QUORVEL_COMPONENT(FakeFactory, quorvel::DriversBase, FAKE_NAME, "IFAKE")
