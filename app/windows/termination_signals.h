#pragma once
// SIGTERM and SIGINT close the main window as File / Quit does (the close question
// while the output runs, then the settings saved at shut-down), so the program can
// run under a service manager or a test. The handler only writes one byte into a
// pipe; a QSocketNotifier on the main thread reads it and closes the window.
// One instance at a time; the previous handlers return when it is destroyed.
// Made before the start-up (which may take seconds and show boxes), a signal that
// arrives before the main window is attached closes it as soon as the event loop
// runs, instead of killing the program half-started.

#include <QObject>

#include <csignal>

class QSocketNotifier;
class QWidget;

class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    // Without a window: a signal waits for Attach().
    TerminationSignals();
    explicit TerminationSignals(QWidget& window);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The window to close; a signal that came before is acted on once the event
    // loop runs.
    void Attach(QWidget& window);
    // Whether the handlers are in place (the pipe could be made).
    bool Installed() const { return installed_; }
    // The last signal that closed the window, 0 before.
    int LastSignal() const { return lastSignal_; }

private:
    void OnSignal();

    QWidget* window_ = nullptr;
    bool pending_ = false;
    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
    int lastSignal_ = 0;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
};
