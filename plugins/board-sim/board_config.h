#pragma once
// What a simulated board is: its tables, limits and identity. Defaults per kind,
// every value overridable from the simulator settings file named by
// KORD77_SIM_CONFIG (see README.md in this folder for the keys).

#include "plugins/board-sim/key_value.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace boardsim {

enum class BoardKind { Isa = 1, Pci = 2, Usb = 3 };

const char* DriverName(BoardKind kind); // "KORD77ISA", "KORD77PCI", "KORD77USB"

struct SynthesiserRange {
    double low = 50'000'000.0;   // Hz, lowest synthesiser frequency s
    double high = 100'000'000.0; // Hz, highest s
    double step = 250'000.0;     // Hz between neighbouring s
    int32_t maxShift = 14;       // clock = s / 2^k, k = 0..maxShift
};

struct BoardConfig {
    std::string driver; // the driver name, e.g. "KORD77PCI"

    // Real table entries. The board reports one more entry than these (the last
    // one repeated) when `extraEntry` is set, because the program uses the
    // reported counts less one.
    std::vector<double> clocks; // Hz, highest first
    std::vector<float> gains;   // stage k: output = unattenuated output x gains[k]
    bool extraEntry = true;

    float minClock = 6103.515625f; // Hz
    float maxClock = 1e8f;         // Hz
    int32_t bits = 14;             // converter resolution, 8..16
    float volts = 10.0f;           // V at the output without load, full-scale code
    float voltsUnused = 5.0f;      // code 27: a value the program does not use

    bool synthesiser = false;
    SynthesiserRange synth;
    bool evenLength = false;
    int32_t memory = 1 << 20; // samples

    std::vector<int32_t> boardIds;  // numbers (PCI, USB) or base addresses (ISA)
    std::vector<int32_t> answering; // the ids that answer OpenBoard
    int32_t listCheckA = 1;         // code 19
    int32_t listCheckB = 1;         // code 42 (the defaults: the number of ids)
    int32_t listUnused1 = 0;        // code 22
    int32_t listUnused2 = 0;        // code 23
    bool poll = false;              // code 0x7A5A0040

    int32_t flashCapacity = 0; // samples; 0 = no flash memory

    std::string name;                           // code 2150
    std::array<int32_t, 4> version{1, 0, 0, 0}; // codes 2001..2004: major, minor, build, revision
    bool secondModule = false;
    std::string secondName;                           // code 2149
    std::array<int32_t, 4> secondVersion{1, 0, 0, 0}; // codes 2013..2016
    int32_t driverVersion = 0x00010000;               // code 2000
    int32_t firmwareVersion = 0x0102;                 // code 0x7A5A00A0
    int32_t serialNumber = 0;                         // code 0x5A5A0008

    int32_t keepRecords = 100; // output records kept in the output folder; 0 = all
};

BoardConfig DefaultConfig(BoardKind kind);

// Applies the entries of `text` that concern `config.driver` (plain keys, and keys
// prefixed with "<driver>.") over `config`. Returns one message per refused entry
// (unknown key, value out of range); refused entries leave the value unchanged.
std::vector<std::string> ApplyConfig(BoardConfig& config, const KeyValueText& text);

// The defaults of `kind` with the file named by KORD77_SIM_CONFIG applied when that
// variable is set. Problems with the file are added to `messages`.
BoardConfig LoadConfig(BoardKind kind, std::vector<std::string>& messages);

} // namespace boardsim
