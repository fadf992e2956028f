// A program that starts as `generator` does (or, built with PROBE_BARE, as a bare Qt
// Widgets program with one window), writes "shown" to its standard output when its
// main window is first painted, and then closes. startup_bench spawns it.
//
//   startup_probe_generator <program path>   settings beside <program path>;
//                                            registry and simulator from the
//                                            environment, as for `generator`
//   startup_probe_bare

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#if !defined(PROBE_BARE)
#include "app/params/scripted_dialogs.h"
#include "app/windows/Gen.h"
#include "app/windows/program_windows.h"
#endif

namespace {

// Reports the first paint of the watched window and ends the event loop.
class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, [] { QApplication::quit(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

} // namespace

int main(int argc, char** argv) {
#if defined(PROBE_BARE)
    QApplication application(argc, argv);
    FirstPaint probe;
    QWidget window;
    window.resize(640, 480);
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
#else
    if (argc < 2) {
        std::fputs("usage: startup_probe_generator <program path>\n", stderr);
        return 2;
    }
    const char* programPath = argv[1];
    QApplication application(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Signal generator"));
    QApplication::setQuitOnLastWindowClosed(false);
    FirstPaint probe;
    // Dialogs that answer at once: a start-up that asks anything is reported below.
    params::ScriptedDialogs dialogs;
    board::StartupOptions options;
    options.dialogs = &dialogs;
    options.programPath = programPath;
    options.files.programFolderWritable = true;
    ProgramWindows windows(options);
    if (windows.TerminationRequested()) {
        std::fputs("startup_probe_generator: the start-up ended the program\n", stderr);
        return 1;
    }
    windows.Main().installEventFilter(&probe);
    if (!windows.Main().isVisible()) {
        windows.Main().show();
    }
    const int status = QApplication::exec();
    if (dialogs.ShownCount() != 0) {
        std::fprintf(stderr, "startup_probe_generator: %zu dialogs were shown\n",
                     dialogs.ShownCount());
        return 1;
    }
    return status;
#endif
}
