#include "app/board/generator_core.h"

#include "app/board/device_kind.h"
#include "app/board/report_message.h"
#include "app/board/settings_transfer.h"
#include "resources/strings/russian_words.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string_view>
#include <utility>

namespace board {
namespace {

constexpr int kRussianWordError = 7;
constexpr int kRussianWordUnknownError = 48;

constexpr const char* kViewerFontName = "Courier New Cyr";

} // namespace

int LocaleLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).substr(0, 2) == "ru" ? TextTable::kRussian
                                                                : TextTable::kEnglish;
        }
    }
    return TextTable::kEnglish;
}

StartupOptions StartupOptions::ForRunningProgram(params::Dialogs& dialogs) {
    StartupOptions options;
    options.dialogs = &dialogs;
    if (const auto program = params::ProgramPath()) {
        if (const auto folder = params::FolderOfPath(*program)) {
            options.programPath = *program;
            options.files = params::FileLocationContext::FromEnvironment(*folder);
        }
    }
    return options;
}

GeneratorCore::GeneratorCore(StartupOptions options, MainWindowHost& host,
                             ParameterView& parameterView, EntryView& entryView,
                             BoardIndicators& indicators, PollTimer& poll)
    : options_(std::move(options)), host_(host), parameterView_(parameterView),
      entryView_(entryView),
      report_(
          *options_.dialogs, [this] { Terminate(); },
          params::ErrorReport::FallbackTexts{RussianWord(kRussianWordError),
                                             RussianWord(kRussianWordUnknownError)}),
      board_(report_, Texts(), indicators, poll) {
    texts_.Load(static_cast<std::uint16_t>(LocaleLanguage()));
    board_.hooks.fileLoaded = [this] { return model_ && model_->Params().fileLoaded; };
    board_.hooks.running = [this] { return output_->Running(); };
    board_.hooks.transferRunning = [this] { return !output_->TransferFinished(); };
    board_.hooks.markRecomputeNeeded = [this] {
        if (model_) {
            model_->Params().recomputeNeeded = true;
        }
    };
    board_.hooks.startStop = [this] { StartStop(); };
    idle_.driver = [this] { return board_.Driver(); };
    board_.hooks.synthesiserKnown = [this](bool present) {
        if (!present && model_) {
            model_->DropSynthesiserQuality();
        }
        host_.ShowSynthesiser(present);
    };
}

GeneratorCore::~GeneratorCore() {
    Shutdown();
}

TextLookup GeneratorCore::Texts() const {
    return [this](int id) { return texts_.Text(id); };
}

void GeneratorCore::LoadLanguage() {
    texts_.Load(settings_.english ? TextTable::kEnglish : TextTable::kRussian);
}

std::string GeneratorCore::SettingsPath() const {
    if (options_.programPath.empty()) {
        return {};
    }
    return params::ProgramFilePath(options_.programPath, params::SettingsFileName, options_.files)
        .value_or(std::string());
}

void GeneratorCore::Terminate() {
    terminated_ = true;
    host_.EndApplication();
}

void GeneratorCore::Fail(int line, int code, int messageId) {
    ReportError(report_, Texts(), line, code, messageId);
    Terminate();
}

void GeneratorCore::AttachOutput(OutputControl* output) {
    output_ = output != nullptr ? output : &idle_;
    if (started_ && !output_->AllocateBuffer(board_.Information().memory)) {
        Fail(__LINE__, error_code::OutOfMemory, message::CannotCreate);
    }
}

void GeneratorCore::ApplyToDisplays() {
    if (IADCDevice* driver = board_.Driver()) {
        model_->OpenBoard(board_.Information().ModelValues(), driver);
    }
    model_->ShowAll();
    host_.ApplySwitches();
}

// The user-interface part of step 14, also run after a driver reload.
void GeneratorCore::PrepareWindow() {
    model_->SelectType(model_->Params().type);
    host_.SelectSignalType(model_->Params().type);
    if (!host_.PrepareControls()) {
        // Without the Start glyph the button keeps its caption; start-up goes on.
        ReportError(report_, Texts(), __LINE__, error_code::Picture, message::NotEnoughMemory);
    }
    host_.ChooseParameter(kind::Amplitude);
    host_.SetTexts();
}

// The viewer's display settings: the display record, the trace option, and the
// three markers cleared (cursor blue, block green, all at sample 0).
void GeneratorCore::PrepareViewer() {
    const std::array<int32_t, 3> colours = host_.ViewerColours();
    LupexDisplay& display = viewerArea_.display;
    display.flags = static_cast<int32_t>(0xC0000300u);
    display.margins[0] = display.margins[1] = display.margins[2] = 10;
    display.colours[0] = colours[0];
    display.colours[1] = colours[1];
    display.colours[2] = colours[0];
    display.colours[3] = colours[2];
    display.gridColour = 0x640000;
    display.style = static_cast<int32_t>(0xC0000000u);
    display.fontName = kViewerFontName;
    display.fontSize = 8;
    display.fontWidth = 6;
    display.window = static_cast<void*>(&host_);
    const LupexTraceOption trace{3, 0x80C080, {0, 0, 0}};
    viewer_.Object()->SetOption(kLupexOptionTrace, &trace);
    for (PreviewMarker& marker : model_->Markers()) {
        marker = PreviewMarker{kPreviewMarkerKind, kBlockColour, kBlockColour, 0.0f, 0};
    }
    model_->Markers()[0].colour = kCursorColour;
    model_->Markers()[0].secondColour = kCursorColour;
}

bool GeneratorCore::Start() {
    // Step 3. (Step 2, the error report, is a member and always exists, so the
    // message 197 of a missing report cannot arise.)
    const params::WindowGeometry frame = host_.Geometry();
    settings_ = params::DefaultSettings(frame);
    texts_.Load(TextTable::kRussian);
    if (!options_.programPath.empty()) {
        params::LoadProgramSettings(settings_, frame, options_.programPath, options_.files);
        settingsRead_ = true;
    }
    if (settings_.english) {
        texts_.Load(TextTable::kEnglish);
    }
    host_.MoveTo(settings_.mainWindow);
    host_.SetTexts();

    // Step 5.
    try {
        model_ = std::make_unique<ParameterModel>(parameterView_, Texts());
        entry_ = std::make_unique<EntryController>(*model_, entryView_);
    } catch (const std::exception&) {
        Fail(__LINE__, error_code::OutOfMemory, message::CannotCreate);
        return false;
    }
    CopySettingsToModel(settings_, *model_);

    // Step 6.
    if (!signal_.Load()) {
        Fail(__LINE__, error_code::SignalLibrary, message::NoSignalLibrary);
        return false;
    }

    // Steps 7 and 8.
    board_.LoadDriver(settings_.deviceName);
    const DeviceKind kind = DeviceKindOf(settings_.deviceName);
    if (kind == DeviceKind::Unknown) {
        Fail(__LINE__, error_code::Driver, message::NoDriver);
        return false;
    }
    board_.SetKind(kind);
    if (kind == DeviceKind::Usb) {
        host_.SetFlashWriteVisible(true);
    }

    // Step 9.
    if (viewer_.Load() == ViewerSlot::LoadResult::NoFactory) {
        options_.dialogs->Inform(Text(message::ViewerMissing), Text(message::Attention),
                                 params::DialogIcon::None);
    }
    if (viewer_.Available()) {
        PrepareViewer();
    }

    // Step 10.
    if (board_.ReadInformation(signal_.Object(), settings_.baseNumber) ==
        BoardSession::ReadResult::Fatal) {
        Terminate();
        return false;
    }

    // Step 11.
    ApplyToDisplays();

    // Step 12.
    if (!output_->AllocateBuffer(board_.Information().memory)) {
        Fail(__LINE__, error_code::OutOfMemory, message::CannotCreate);
        return false;
    }

    // Step 13.
    if (!host_.RememberEntryTexts()) {
        Fail(__LINE__, error_code::Window, message::UnknownError);
        return false;
    }

    // Step 14.
    host_.InstallHooks();
    PrepareWindow();

    // Step 15.
    if (tuner_.Load() && board_.Driver() != nullptr && board_.BoardOpened()) {
        tuner_.Setup(board_.Driver());
    }

    // Step 16.
    host_.ShowWindow();
    host_.HideProgressBar();
    started_ = true;
    return true;
}

bool GeneratorCore::CloseQuery() {
    if (!output_->Running()) {
        return true;
    }
    const params::DialogAnswer answer =
        options_.dialogs->Ask(Text(message::KeepPlaying), Text(message::Attention),
                              params::DialogButtons::YesNoCancel, params::DialogIcon::Question);
    switch (answer) {
    case params::DialogAnswer::Cancel:
        return false;
    case params::DialogAnswer::No:
        output_->StopBoard();
        return true;
    default:
        return true;
    }
}

void GeneratorCore::FormDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    output_->EndTransfer();
    if (IUndula* signal = signal_.Object()) {
        signal->Cancel();
        signal_.Forget();
    }
    tuner_.Setup(nullptr);
    if (!output_->TransferFinished()) {
        host_.HideProgressBar();
        output_->EndTransfer();
    }
}

void GeneratorCore::Shutdown() {
    if (shutDown_) {
        return;
    }
    FormDestroy();
    shutDown_ = true;
    host_.StopTimers();
    entry_.reset();
    host_.RemoveHooks();
    if (settingsRead_) {
        if (model_) {
            CopyModelToSettings(*model_, settings_);
        }
        settings_.mainWindow = host_.Position();
        if (params::SaveProgramSettings(settings_, options_.programPath, options_.files) != 0) {
            std::fprintf(stderr, "generator: the settings could not be saved to %s\n",
                         SettingsPath().c_str());
        }
    }
    tuner_.Unload();
    if (model_) {
        model_->CloseBoard();
    }
    board_.ReleaseDriver();
    idle_.FreeBuffer();
    signal_.Unload();
    viewer_.Unload();
}

void GeneratorCore::ReloadDriver(const std::string& deviceName) {
    settings_.deviceName = deviceName;
    const DeviceKind kind = DeviceKindOf(deviceName);
    if (kind != DeviceKind::Unknown) {
        board_.SetKind(kind);
    }
    host_.SetFlashWriteVisible(kind == DeviceKind::Usb);

    if (model_) {
        model_->CloseBoard();
    }
    // A transfer still sending a block (a board unplugged while playing is stopped
    // without joining it) must end before the driver it calls goes.
    output_->EndTransfer();
    board_.ReleaseDriver();
    if (!board_.LoadDriver(deviceName)) {
        board_.UpdateDisplay();
        return;
    }
    if (board_.ReadInformation(signal_.Object(), settings_.baseNumber) ==
        BoardSession::ReadResult::Fatal) {
        Terminate();
        return;
    }
    ApplyToDisplays();
    if (!output_->AllocateBuffer(board_.Information().memory)) {
        Fail(__LINE__, error_code::OutOfMemory, message::CannotCreate);
        return;
    }
    if (!host_.RememberEntryTexts()) {
        Fail(__LINE__, error_code::Window, message::UnknownError);
        return;
    }
    PrepareWindow();
    host_.RefreshBoardLists();
    board_.Discover(settings_.baseNumber);
    // The tuner is set up for the new driver once its board is open.
    if (tuner_.Present() && board_.BoardOpened()) {
        tuner_.Setup(board_.Driver());
    }
}

} // namespace board
