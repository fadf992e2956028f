#pragma once
// The kind of board a driver name stands for. The numbers are stored and compared
// as they are (1 ISA, 2 PCI, 3 USB); 0 marks a name the program does not know.

#include <string_view>

enum class DeviceKind : int {
    Unknown = 0,
    Isa = 1,
    Pci = 2,
    Usb = 3,
};

inline constexpr std::string_view kIsaDriverName = "KORD77ISA";
inline constexpr std::string_view kPciDriverName = "KORD77PCI";
inline constexpr std::string_view kUsbDriverName = "KORD77USB";

// "KORD77ISA" 1, "KORD77PCI" 2, "KORD77USB" 3 (exact spelling), anything else 0.
constexpr DeviceKind DeviceKindOf(std::string_view deviceName) {
    if (deviceName == kIsaDriverName) {
        return DeviceKind::Isa;
    }
    if (deviceName == kPciDriverName) {
        return DeviceKind::Pci;
    }
    if (deviceName == kUsbDriverName) {
        return DeviceKind::Usb;
    }
    return DeviceKind::Unknown;
}
