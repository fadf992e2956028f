// The tuner component NIVELL (libnivell.so), registered under "Base library" as
// "NIVELL" with the interface name "SETUP".
//
// The program asks only this of it: Create("SETUP", driver) after a driver was
// opened or reloaded, and Create("SETUP", null) at shut-down; it keeps no result.
// This stand-in does no tuning. Create answers a small object that records whether
// it was given a driver and never calls that driver: the program may release the
// driver at any time after the call, so holding on to it would be unsafe. The
// objects live until the factory's Release or ReleaseAll, or until the library is
// unloaded, which releases every one of them. Any other interface name gets null.

#include "component/component_factory.h"

namespace {

class TunerSetup {
public:
    // `driver`: the program's IADCDevice, or null at shut-down. Only its presence
    // is noted.
    explicit TunerSetup(void* driver) : withDriver_(driver != nullptr) {}

    bool WithDriver() const { return withDriver_; }

private:
    bool withDriver_;
};

using NivellFactory = quorvel::ComponentFactory<TunerSetup>;

} // namespace

QUORVEL_COMPONENT(NivellFactory, quorvel::BaseLibraryBase, "NIVELL", "SETUP")
