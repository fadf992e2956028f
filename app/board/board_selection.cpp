#include "app/board/board_selection.h"

#include "app/board/component_slots.h"
#include "resources/strings/russian_words.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

namespace board {
namespace {

// Built-in words of the probe driver's failure: "Can't load a driver", "Error".
constexpr int kWordNoDriver = 50;
constexpr int kWordError = 7;

std::string Joined(const ModuleVersion& module) {
    std::string text;
    for (std::size_t i = 0; i < module.numbers.size(); ++i) {
        if (i > 0) {
            text += '.';
        }
        text += std::to_string(module.numbers[i]);
    }
    return text;
}

} // namespace

std::string BoardIdText(DeviceKind kind, int32_t id) {
    if (kind != DeviceKind::Isa) {
        return std::to_string(id);
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%03X", static_cast<uint32_t>(id));
    return buffer;
}

std::string FirmwareText(int32_t value) {
    if (value <= 0) {
        return {};
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<uint32_t>(value));
    auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    return std::to_string(digit(hex[0])) + "." + std::to_string(digit(hex[1]));
}

std::string LibraryLine(const ModuleVersion& module) {
    // An absent module reads as zeros. A present one may well end in 0 (1.0.0.0),
    // so the last number alone does not tell.
    if (std::all_of(module.numbers.begin(), module.numbers.end(),
                    [](auto number) { return number == 0; })) {
        return {};
    }
    return module.name + "(" + Joined(module) + ")";
}

BoardSelection::BoardSelection(params::Settings& settings, ParameterModel& model,
                               BoardSession& session, BoardSelectionHost& host,
                               params::Dialogs& dialogs, params::ErrorReport& report,
                               TextLookup texts)
    : settings_(settings), model_(model), session_(session), host_(host), dialogs_(dialogs),
      report_(report), texts_(std::move(texts)) {}

BoardSelection::~BoardSelection() {
    ReleaseProbeDriver();
}

bool BoardSelection::Create(OptionsLogic& options) {
    const std::string notAvailable = Text(options_text::NotAvailable);
    serial_ = notAvailable;
    firmware_ = notAvailable;
    driverVersion_ = notAvailable;
    options.Create(session_.Information().synthesiser);
    informationTabVisible_ = !(session_.Kind() != DeviceKind::Usb && session_.BoardFound());
    RefreshInformation();
    FillBoardSettings(options);
    return UpdateProbeDriver();
}

void BoardSelection::FillBoardSettings(OptionsLogic& options) {
    SetBoardList(session_.AnsweredIds(), settings_.baseNumber);
    options.PutSettings();
    if (session_.BoardFound()) {
        ComboBox4Change(boardSelected_);
    }
}

bool BoardSelection::AfterDriverReload(OptionsLogic& options) {
    FillBoardSettings(options);
    return UpdateProbeDriver();
}

void BoardSelection::SetBoardList(const std::vector<int32_t>& ids, int wanted) {
    boardIds_ = ids;
    boardTexts_.clear();
    for (const int32_t id : ids) {
        boardTexts_.push_back(BoardIdText(session_.Kind(), id));
    }
    const int count = static_cast<int>(ids.size());
    if (count == 0) {
        boardSelected_ = -1;
    } else {
        boardSelected_ = wanted >= 0 && wanted < count ? wanted : 0;
    }
}

void BoardSelection::ShowError() {
    dialogs_.Inform(Text(options_text::Error), "", params::DialogIcon::None);
}

void BoardSelection::ComboBox4Change(int index) {
    if (index < 0 || index >= static_cast<int>(boardIds_.size())) {
        return; // no entry chosen
    }
    try {
        if (host_.OutputRunning()) {
            host_.StartButtonClick();
        }
        boardSelected_ = index;
        IADCDevice* driver = session_.Driver();
        int32_t result = 0;
        if (driver != nullptr) {
            result = driver->OpenBoard(boardIds_[static_cast<std::size_t>(index)], 0, 0, 0);
        }
        if (result == 1) {
            host_.SetupTuner(driver);
            settings_.baseNumber = index;
            session_.SetBoardOpened(true);
            session_.SetBoardFound(true);
        } else {
            ShowError();
            settings_.baseNumber = 0;
            session_.SetBoardOpened(false);
            session_.SetBoardFound(false);
        }
        model_.Params().recomputeNeeded = true;
        RefreshInformation();
        session_.UpdateDisplay();
    } catch (const std::exception&) {
        ShowError();
    }
}

void BoardSelection::UpdateButtonClick() {
    if (!UpdateButtonEnabled()) {
        return;
    }
    // A running output is stopped the way the Start/Stop button stops it, so that
    // the main window does not go on showing a board that plays.
    if (host_.OutputRunning()) {
        host_.StartButtonClick();
    }
    if (IADCDevice* driver = session_.Driver()) {
        driver->StopOutput();
    }
    const std::vector<int32_t> candidates = session_.Information().BoardIdList();
    std::size_t count = 0;
    for (const int32_t id : candidates) {
        if (probe_->OpenBoard(id, 0, 0, 0) == 1) {
            ++count;
        } else if (session_.Kind() != DeviceKind::Isa) {
            break;
        }
    }
    SetBoardList(std::vector<int32_t>(candidates.begin(),
                                      candidates.begin() + static_cast<std::ptrdiff_t>(count)),
                 boardSelected_);
    RefreshInformation();
}

bool BoardSelection::UpdateButtonEnabled() const {
    return session_.Kind() == DeviceKind::Usb && probe_ != nullptr;
}

void BoardSelection::RefreshInformation() {
    IADCDevice* driver = session_.Driver();
    const std::string notAvailable = Text(options_text::NotAvailable);
    if (driver == nullptr) {
        // Without a driver (none loaded, or a reload that failed) nothing can be
        // read, and what a released driver reported is no longer true.
        serial_ = notAvailable;
        firmware_ = notAvailable;
        driverVersion_ = notAvailable;
        return;
    }

    int32_t firmware = 0;
    const bool firmwareRead = driver->Control(ctl::FirmwareVersion, &firmware) == 1;
    firmware_ = firmwareRead && firmware > 0 ? FirmwareText(firmware) : notAvailable;

    int32_t serial = 0;
    const bool serialRead = driver->Control(ctl::SerialNumber, &serial) == 1;
    serial_ = serialRead && serial > 0 ? std::to_string(serial) : notAvailable;

    int32_t version = 0;
    const bool versionRead = driver->Control(ctl::DriverVersion, &version) == 1;
    if (versionRead && version != 0) {
        const auto bits = static_cast<uint32_t>(version);
        driverVersion_ = std::to_string(bits & 0xFFFFu) + "." + std::to_string(bits >> 16);
    } else {
        driverVersion_ = Joined(session_.Information().driver);
    }
}

std::vector<std::string> BoardSelection::LibraryList() const {
    const BoardInformation& info = session_.Information();
    return {Text(options_text::LoadedLibraries), LibraryLine(info.signalLibrary),
            LibraryLine(info.driver), LibraryLine(info.secondModule)};
}

bool BoardSelection::UpdateProbeDriver() {
    if (!session_.Information().pollRequested || session_.Driver() == nullptr) {
        ReleaseProbeDriver();
        return true;
    }
    if (probe_ != nullptr && probeName_ == settings_.deviceName) {
        return true;
    }
    ReleaseProbeDriver();
    probeLibrary_ = quorvel::OpenComponent(quorvel::CategoryDrivers, settings_.deviceName);
    probe_ = static_cast<IADCDevice*>(probeLibrary_.Create(kDriverInterface));
    if (probe_ == nullptr) {
        probeLibrary_.Unload();
        report_.SetLocation(kProbeDriverLine, kProbeDriverCode, kOptionsWindowSource);
        report_.ShowError(RussianWord(kWordNoDriver), RussianWord(kWordError));
        host_.EndApplication();
        return false;
    }
    probeName_ = settings_.deviceName;
    return true;
}

void BoardSelection::ReleaseProbeDriver() {
    if (probe_ != nullptr) {
        probe_->Release();
        probe_ = nullptr;
    }
    probeLibrary_.Unload();
    probeName_.clear();
}

} // namespace board
