// The data viewer component LUPEX (liblupex.so): ILUPEX over LupexView, registered
// under "Base library" as "LUPEX" with the interface name "ILUPEX".

#include "app/params/ilupex.h"
#include "component/component_factory.h"
#include "plugins/viewer/lupex_view.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace {

// Qt's libraries are not made to be unloaded (they keep allocations in their own
// statics). When this library brings Qt into a program without it (regcomp, a
// client that loads and unloads the viewer), Qt Gui and with it Qt Core stay loaded
// after the viewer is unloaded. In a Qt program this changes nothing.
class KeepQtLoaded {
public:
    KeepQtLoaded() {
        Dl_info info{};
        const auto probe = &QGuiApplication::platformName;
        if (::dladdr(reinterpret_cast<void*>(probe), &info) != 0 && info.dli_fname != nullptr) {
            // Takes a reference that is never given back.
            ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
    }
};
const KeepQtLoaded keepQtLoaded;

// Nothing may throw across the interface: a failure inside an operation is an
// invalid call.
template <class Operation> int32_t Guarded(Operation operation) {
    try {
        return operation();
    } catch (...) {
        return -1;
    }
}

class LupexObject final : public ILUPEX {
public:
    LupexObject() = default;
    LupexObject(const LupexObject&) = delete;
    LupexObject& operator=(const LupexObject&) = delete;
    ~LupexObject() = default;

    int32_t Reserved0() override { return 0; }
    int32_t Release() override;
    int32_t Reserved2() override { return 0; }
    int32_t SetOption(int32_t code, const void* data) override {
        return Guarded([&] { return view_.SetOption(code, data); });
    }
    int32_t BeginDraw(QPainter* painter, const LupexRect* rect, const LupexViewRange* range,
                      int32_t count, LupexState* state, int32_t) override {
        return Guarded([&] { return view_.BeginDraw(painter, rect, range, count, state); });
    }
    int32_t Plot(const int16_t* samples, int32_t count, int32_t stride, int32_t first,
                 int32_t* output, int32_t markerCount, const PreviewMarker* markers,
                 int32_t) override {
        return Guarded([&] {
            return view_.Plot(samples, count, stride, first, output, markerCount, markers);
        });
    }
    int32_t Reserved6() override { return 0; }
    int32_t Reserved7() override { return 0; }
    int32_t EndDraw() override {
        return Guarded([&] { return view_.EndDraw(); });
    }
    int32_t MouseMove(const LupexRect* rect, int32_t buttons, int32_t position) override {
        return Guarded([&] { return view_.MouseMove(rect, buttons, position); });
    }
    int32_t MouseClick(const LupexRect* rect, int32_t button, int32_t position,
                       int32_t mode) override {
        return Guarded([&] { return view_.MouseClick(rect, button, position, mode); });
    }

private:
    lupex::LupexView view_;
};

using LupexFactory = quorvel::ComponentFactory<LupexObject, ILUPEX>;

} // namespace

QUORVEL_COMPONENT(LupexFactory, quorvel::BaseLibraryBase, kLupexComponentName, kLupexInterfaceName)

int32_t LupexObject::Release() {
    void* self = static_cast<ILUPEX*>(this);
    // Destroys this object: nothing may touch a member after this call.
    StaticFactory.Release(&self);
    return 0;
}
