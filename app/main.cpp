// The program `generator`: the application object with its title, the seven
// windows in their order (the main window runs the start-up in its constructor),
// and the event loop unless the start-up asked the program to end.
//
// GENERATOR_SCREENSHOT=<file.png>: once the main window is shown, its picture is
// written to that file (for the documentation; the program goes on running).

#include "app/board/generator_core.h"
#include "app/windows/Gen.h"
#include "app/windows/program_windows.h"
#include "app/windows/qt_dialogs.h"
#include "app/windows/termination_signals.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kScreenshotDelayMs = 500;

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
    QApplication application(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Signal generator"));
    // Only closing the main window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    QtDialogs dialogs;
    ProgramWindows windows(board::StartupOptions::ForRunningProgram(dialogs));
    if (windows.TerminationRequested()) {
        return 1;
    }
    TerminationSignals closeOnSignal(windows.Main());
    ScheduleScreenshot(windows.Main());
    return QApplication::exec();
}
