#pragma once
// IADCDevice: what the program asks of a board driver component, and the records it
// hands over. Only pure virtual functions in slot order and no data, so slot N is
// vtable entry N. Slots 0, 3 and 8 exist but the program never calls them.
// Results: see each operation. Frequencies in hertz, voltages in volts.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 4)
// Settings for one output run. Packed to 4-byte alignment: 28 bytes, little-endian.
struct BoardSettings {
    int32_t type;       // BoardSettingsType
    int32_t size;       // sizeof(BoardSettings)
    int32_t mode;       // BoardMode bits
    double clock;       // sample clock, Hz
    int32_t attenuator; // index into the attenuator gain table
    int32_t filter;     // 1 filter on, 0 off
};
#pragma pack(pop)
static_assert(sizeof(BoardSettings) == 28);
static_assert(offsetof(BoardSettings, clock) == 12);
static_assert(offsetof(BoardSettings, attenuator) == 20);

inline constexpr int32_t BoardSettingsType = 2;

enum BoardMode : int32_t {
    ModeSinglePlay = 0, // bit 0 clear
    ModeContinuous = 1, // bit 0 set
    ModeExternalStart = 2,
    ModeRisingEdgeStart = 4,
};

// An image for the board's flash memory. The 32-bit original was 48 bytes; here the
// sample address is 64-bit, so the record is 52 bytes and `size` holds that.
#pragma pack(push, 4)
struct FlashImage {
    int32_t type; // FlashImageType
    int32_t size; // sizeof(FlashImage)
    BoardSettings settings;
    int32_t synthesiser; // 1 when the clock comes from the synthesiser
    int32_t count;       // samples
    const int16_t* samples;
};
#pragma pack(pop)
static_assert(sizeof(FlashImage) == 52);
static_assert(offsetof(FlashImage, samples) == 44);

inline constexpr int32_t FlashImageType = 4;

// Data formats of LoadSamples.
enum SampleFormat : int32_t {
    Format1 = 1,
    Format2 = 2,
    Format4 = 4,
    Format8 = 8,
};

// Control codes. "out" codes: the driver writes the data; "in": the driver reads it.
// Codes that hand back a table hand back its address in a pointer-sized slot.
namespace ctl {
inline constexpr int32_t Capabilities = 17;      // out uint32: CapSynthesiser, CapEvenLength
inline constexpr int32_t BoardIds = 18;          // out const int32_t*: board ids
inline constexpr int32_t ListCheckA = 19;        // out int32, must be nonzero
inline constexpr int32_t ListUnused1 = 22;       // out int32, not used
inline constexpr int32_t ListUnused2 = 23;       // out int32, not used
inline constexpr int32_t MinClock = 25;          // out float, Hz
inline constexpr int32_t MaxClock = 26;          // out float, Hz
inline constexpr int32_t VoltageUnused = 27;     // out float, value not used
inline constexpr int32_t MaxVoltage = 28;        // out float, V without load
inline constexpr int32_t Resolution = 31;        // out int32, converter bits
inline constexpr int32_t BoardIdCount = 41;      // out int32
inline constexpr int32_t ListCheckB = 42;        // out int32, must be nonzero
inline constexpr int32_t Memory = 48;            // out int32, samples
inline constexpr int32_t NearestClock = 65;      // in/out double: wanted clock -> realisable
inline constexpr int32_t NearestClockAlt = 66;   // in/out double
inline constexpr int32_t NearestSynthClock = 67; // in/out double, synthesiser boards only
inline constexpr int32_t DriverVersion = 2000;
inline constexpr int32_t VersionMajor = 2001; // 2001..2004 out int32
inline constexpr int32_t VersionMinor = 2002;
inline constexpr int32_t VersionBuild = 2003;
inline constexpr int32_t VersionRevision = 2004;
inline constexpr int32_t SecondMajor = 2013; // 2013..2016; 2013 fails without a second module
inline constexpr int32_t SecondMinor = 2014;
inline constexpr int32_t SecondBuild = 2015;
inline constexpr int32_t SecondRevision = 2016;
inline constexpr int32_t SecondName = 2149;            // out const char*
inline constexpr int32_t Name = 2150;                  // out const char*
inline constexpr int32_t AttenuatorTable = 0x7A5A0000; // out const float*
inline constexpr int32_t AttenuatorCount = 0x7A5A0004; // out int32
inline constexpr int32_t ClockTable = 0x7A5A0008;      // out const double*, highest first
inline constexpr int32_t ClockCount = 0x7A5A000A;      // out int32
inline constexpr int32_t Playing = 0x7A5A0020;         // out int32, nonzero while playing
inline constexpr int32_t UseSynthesiser = 0x7A5A0030;  // in int32, 1 = use it
inline constexpr int32_t PollState = 0x7A5A0040;       // out int32, nonzero = poll the board
inline constexpr int32_t Connected = 0x7A5A0050;       // out int32, 1 = connected
inline constexpr int32_t FirmwareVersion = 0x7A5A00A0;
inline constexpr int32_t PowerNormal = 0x7A5A0070;   // out int32, 1 = power normal
inline constexpr int32_t FlashWrite = 0x7A5A0090;    // in FlashImage*, null = erase
inline constexpr int32_t FlashErasable = 0x7A5A00B0; // out int32, 1 = may be erased
inline constexpr int32_t SerialNumber = 0x5A5A0008;
} // namespace ctl

inline constexpr uint32_t CapSynthesiser = 1u << 9;
inline constexpr uint32_t CapEvenLength = 1u << 13;

class IADCDevice {
public:
    virtual int32_t Reserved0() = 0;
    virtual int32_t Release() = 0; // result ignored
    // 1 = board present and selected.
    virtual int32_t OpenBoard(int32_t id, int32_t a, int32_t b, int32_t c) = 0;
    virtual int32_t Reserved3() = 0;
    // `what` is 1. At least 1 = accepted; *realisedClock gets the clock in Hz.
    virtual int32_t ApplySettings(int32_t what, BoardSettings* settings, float* realisedClock) = 0;
    // 1 = playing; else an error number shown to the user.
    virtual int32_t StartOutput() = 0;
    virtual int32_t StopOutput() = 0; // result ignored
    // At least 1 = accepted. Consecutive calls continue the block.
    virtual int32_t LoadSamples(int32_t format, const int16_t* samples, int32_t count,
                                int32_t reserved) = 0;
    virtual int32_t Reserved8() = 0;
    // 1 = success (flash codes: above 0).
    virtual int32_t Control(int32_t code, void* data) = 0;

protected:
    IADCDevice() = default;
    IADCDevice(const IADCDevice&) = default;
    IADCDevice& operator=(const IADCDevice&) = default;
    ~IADCDevice() = default;
};
