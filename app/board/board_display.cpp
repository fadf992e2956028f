#include "app/board/board_display.h"

namespace board {
namespace {

// Control code answered with 1, else 1 too: a failed call counts as "yes".
int32_t AskOrOne(IADCDevice* driver, int32_t code) {
    if (driver == nullptr) {
        return 1;
    }
    int32_t value = 0;
    if (driver->Control(code, &value) != 1) {
        return 1;
    }
    return value;
}

} // namespace

int AbsentGlyph(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Isa:
        return glyph::IsaAbsent;
    case DeviceKind::Usb:
        return glyph::UsbAbsent;
    default:
        return glyph::PciAbsent;
    }
}

DisplayOutcome BoardDisplay::Update(const DisplayInput& input, bool forceRedraw) {
    DisplayOutcome outcome;
    DisplayDecision& d = outcome.decision;
    outcome.boardFound = input.boardFound;

    if (!input.boardOpened) {
        d.plugGlyph = AbsentGlyph(input.kind);
        d.startEnabled = false;
        return outcome;
    }

    if (input.kind != DeviceKind::Usb) {
        const bool isa = input.kind == DeviceKind::Isa;
        if (input.boardFound) {
            d.plugGlyph = isa ? glyph::IsaFound : glyph::PciFound;
        } else {
            d.plugGlyph = AbsentGlyph(input.kind);
        }
        d.startEnabled = input.boardFound;
        d.plugVisible = true;
        d.powerVisible = false;
        return outcome;
    }

    d.plugVisible = true;
    if (AskOrOne(input.driver, ctl::Connected) != 1) {
        if (input.startEnabled) {
            d.startEnabled = false;
            d.flashWriteEnabled = false;
            outcome.recomputeNeeded = true;
        }
        d.powerVisible = false;
        if (glyphShown_ || forceRedraw) {
            d.plugGlyph = glyph::UsbAbsent;
        }
        glyphShown_ = false;
        outcome.boardFound = false;
        d.flashMenuEnabled = false;
        return outcome;
    }

    d.flashMenuEnabled = true;
    const bool powerNormal = AskOrOne(input.driver, ctl::PowerNormal) == 1;
    if (powerNormal) {
        if (!input.startEnabled) {
            d.startEnabled = true;
            d.flashWriteEnabled = input.fileLoaded;
        }
    } else {
        if (input.startEnabled) {
            d.startEnabled = false;
            d.flashWriteEnabled = input.fileLoaded;
            outcome.recomputeNeeded = true;
        }
    }
    d.powerVisible = true;
    if (!glyphShown_ || forceRedraw) {
        d.plugGlyph = glyph::UsbConnected;
        glyphShown_ = true;
    }
    if (powerNormal != powerNormalShown_ || !powerShownOnce_ || forceRedraw) {
        d.powerNormalPicture = powerNormal;
        powerNormalShown_ = powerNormal;
        powerShownOnce_ = true;
    }
    outcome.boardFound = true;
    return outcome;
}

} // namespace board
