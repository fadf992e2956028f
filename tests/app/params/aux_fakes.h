#pragma once
// Fakes of the main window as the options, extended parameters and file settings
// logic see it: each records what it was asked, in order.

#include "app/params/aux_host.h"
#include "app/params/extended_parameters.h"
#include "app/params/file_settings.h"

#include <optional>
#include <string>
#include <vector>

class FakeAuxHost final : public AuxiliaryHost {
public:
    bool OutputRunning() const override { return running; }
    void ScheduleRestart() override { calls.push_back("ScheduleRestart"); }
    void StartButtonClick() override {
        calls.push_back("StartButtonClick");
        running = !running;
    }
    void SelectParameter(ParameterKind kind) override {
        calls.push_back("SelectParameter " + std::to_string(kind));
    }
    void ReselectParameter() override { calls.push_back("ReselectParameter"); }
    void ReloadDriver() override { calls.push_back("ReloadDriver"); }
    void ApplyLanguage() override { calls.push_back("ApplyLanguage"); }

    int Count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) {
            n += c == call ? 1 : 0;
        }
        return n;
    }

    bool running = false;
    std::vector<std::string> calls;
};

class FakeExtendedView final : public ExtendedParametersView {
public:
    void ShowEntered(const std::string& text) override {
        entered = text;
        ++enteredWrites;
    }
    void ShowRealised(const std::string& text) override { realised = text; }
    void ShowPolarity(int polarity) override { polarityDown = polarity; }
    void ShowFilter(bool down) override { filterDown = down; }
    void ShowPolarityControls(bool visible) override { polarityControls = visible; }

    std::string entered = "<unset>";
    int enteredWrites = 0;
    std::string realised = "<unset>";
    int polarityDown = -1;
    std::optional<bool> filterDown;
    std::optional<bool> polarityControls;
};

class FakeFileLoadHost final : public FileLoadHost {
public:
    void RestoreWindows() override { calls.push_back("RestoreWindows"); }
    void SetFlashWriteEnabled(bool enabled) override {
        calls.push_back(enabled ? "FlashWrite on" : "FlashWrite off");
    }
    bool ViewerAvailable() const override { return viewer; }
    void SetPreviewRange(const LupexViewRange& r) override {
        calls.push_back("SetPreviewRange");
        range = r;
    }
    bool PreviewVisible() const override { return previewVisible; }
    void ShowPreview() override {
        calls.push_back("ShowPreview");
        previewVisible = true;
    }
    void ContinueStartAfterLoad() override { calls.push_back("ContinueStartAfterLoad"); }

    bool viewer = true;
    bool previewVisible = false;
    std::optional<LupexViewRange> range;
    std::vector<std::string> calls;
};
