#pragma once
// Fakes for the board side of the start-up: a driver whose answers a test sets
// (and which records OpenBoard and Control calls), the window's indicators and the
// poll timer.

#include "app/board/board_display.h"
#include "app/board/board_session.h"
#include "app/board/iadc_device.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace boardtest {

class FakeDriver final : public IADCDevice {
public:
    std::set<int32_t> answering;        // ids OpenBoard answers 1 for
    std::map<int32_t, int32_t> values;  // int32 answers of Control, by code
    std::map<int32_t, int32_t> results; // Control results other than 1
    std::vector<int32_t> opened;        // OpenBoard ids, in order
    std::vector<int32_t> controls;      // Control codes, in order

    int32_t Reserved0() override { return 0; }
    int32_t Release() override { return 0; }
    int32_t OpenBoard(int32_t id, int32_t, int32_t, int32_t) override {
        opened.push_back(id);
        return answering.count(id) != 0 ? 1 : 0;
    }
    int32_t Reserved3() override { return 0; }
    int32_t ApplySettings(int32_t, BoardSettings*, float*) override { return 0; }
    int32_t StartOutput() override { return 0; }
    int32_t StopOutput() override { return 1; }
    int32_t LoadSamples(int32_t, const int16_t*, int32_t, int32_t) override { return 0; }
    int32_t Reserved8() override { return 0; }
    int32_t Control(int32_t code, void* data) override {
        controls.push_back(code);
        if (const auto result = results.find(code); result != results.end()) {
            return result->second;
        }
        const auto value = values.find(code);
        if (value == values.end()) {
            return 0;
        }
        *static_cast<int32_t*>(data) = value->second;
        return 1;
    }
};

class FakeIndicators final : public board::BoardIndicators {
public:
    bool startEnabled = false;
    std::optional<int> glyph;
    std::optional<bool> powerVisible;
    std::optional<bool> powerNormal;
    std::optional<bool> writeEnabled;
    std::optional<bool> flashMenuEnabled;
    int updates = 0;

    void ApplyDisplay(const board::DisplayDecision& d) override {
        ++updates;
        if (d.plugGlyph)
            glyph = d.plugGlyph;
        if (d.powerVisible)
            powerVisible = d.powerVisible;
        if (d.powerNormalPicture)
            powerNormal = d.powerNormalPicture;
        if (d.startEnabled)
            startEnabled = *d.startEnabled;
        if (d.flashWriteEnabled)
            writeEnabled = d.flashWriteEnabled;
        if (d.flashMenuEnabled)
            flashMenuEnabled = d.flashMenuEnabled;
    }
    bool StartEnabled() const override { return startEnabled; }
};

class FakePoll final : public board::PollTimer {
public:
    bool active = false;
    int starts = 0;
    void StartPoll() override {
        active = true;
        ++starts;
    }
    void StopPoll() override { active = false; }
    bool PollActive() const override { return active; }
};

} // namespace boardtest
