// The program `generator`: the application object with its title, the seven
// windows in their order (the main window runs the start-up in its constructor),
// and the event loop unless the start-up asked the program to end.
//
// GENERATOR_SCREENSHOT=<file.png>: once the main window is shown, its picture is
// written to that file (for the documentation; the program goes on running).
//
// --help and --version print and end the program before any window is made or
// any board is touched; every other argument goes to Qt (-platform, -display...).

#include "app/board/generator_core.h"
#include "app/windows/Gen.h"
#include "app/windows/program_windows.h"
#include "app/windows/qt_dialogs.h"
#include "app/windows/termination_signals.h"
#include "component/registry_file.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kScreenshotDelayMs = 500;

void PrintHelp() {
    std::printf("Usage: generator [--help | --version] [Qt options]\n"
                "Controls the arbitrary-waveform signal generator board.\n"
                "\n"
                "  -h, --help     print this help and exit\n"
                "  -v, --version  print the version and exit\n"
                "\n"
                "Qt's own options (-platform offscreen, -display :1, ...) are accepted.\n"
                "\n"
                "Environment:\n"
                "  QUORVEL_REGISTRY      component registry file (default %s)\n"
                "  KORD77_SIM_OUT        folder of the simulated board's play records\n"
                "  GENERATOR_SCREENSHOT  PNG file written with the main window once shown\n",
                quorvel::DefaultRegistryPath().c_str());
}

// Answers --help and --version; true when the program should end (exit status 0).
bool AnsweredInformationOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            PrintHelp();
            return true;
        }
        if (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-v") == 0) {
            std::printf("generator %s\n", GENERATOR_VERSION);
            return true;
        }
    }
    return false;
}

void ScheduleScreenshot(TForm1& window) {
    const char* file = std::getenv("GENERATOR_SCREENSHOT");
    if (file == nullptr || *file == '\0') {
        return;
    }
    const QString path = QString::fromLocal8Bit(file);
    QTimer::singleShot(kScreenshotDelayMs, &window, [&window, path] {
        if (!window.grab().save(path, "PNG")) {
            std::fprintf(stderr, "generator: cannot write the screenshot %s\n", qPrintable(path));
        }
    });
}

} // namespace

int main(int argc, char** argv) {
    if (AnsweredInformationOption(argc, argv)) {
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication application(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Signal generator"));
    // Only closing the main window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    QtDialogs dialogs;
    // Before the start-up: SIGTERM during it still closes the program in order.
    TerminationSignals closeOnSignal;
    ProgramWindows windows(board::StartupOptions::ForRunningProgram(dialogs));
    if (windows.TerminationRequested()) {
        return 1;
    }
    closeOnSignal.Attach(windows.Main());
    ScheduleScreenshot(windows.Main());
    return QApplication::exec();
}
