#include "app/windows/termination_signals.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe's ends; the handler writes the signal number into the second.
int signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int number) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // Nothing to do when the pipe is full: a close is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QWidget& window) : TerminationSignals() {
    window_ = &window;
}

TerminationSignals::TerminationSignals() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { OnSignal(); });

    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed_ = ::sigaction(SIGTERM, &action, &previousTerm_) == 0 &&
                 ::sigaction(SIGINT, &action, &previousInt_) == 0;
}

TerminationSignals::~TerminationSignals() {
    if (signalPipe[1] < 0) {
        return;
    }
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
    ::sigaction(SIGINT, &previousInt_, nullptr);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::OnSignal() {
    unsigned char byte = 0;
    bool any = false;
    while (::read(signalPipe[0], &byte, 1) == 1) {
        lastSignal_ = byte;
        any = true;
    }
    if (!any) {
        return;
    }
    if (window_ == nullptr) {
        pending_ = true;
        return;
    }
    window_->close();
}

void TerminationSignals::Attach(QWidget& window) {
    window_ = &window;
    if (pending_) {
        pending_ = false;
        // Queued: closing ends the event loop, which must be running by then.
        QMetaObject::invokeMethod(window_, &QWidget::close, Qt::QueuedConnection);
    }
}
