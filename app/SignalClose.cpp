#include "app/SignalClose.h"

#include "audio/platform/MMSystem.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <array>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> ClosingSignals = {SIGINT, SIGTERM, SIGHUP};

// Shared with the handler; only one SignalClose exists at a time.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
std::atomic<int> writeEndForHandler = -1;
std::atomic<bool> requested = false;

void QueueClose(int) {
    const int savedErrno = errno;
    requested = true;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(writeEndForHandler, &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalClose::SignalClose() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    readEnd = platform::UniqueFd(ends[0]);
    writeEnd = platform::UniqueFd(ends[1]);
    requested = false;
    writeEndForHandler = writeEnd.Get();

    struct sigaction action {};
    action.sa_handler = QueueClose;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < ClosingSignals.size(); ++i) {
        sigaction(ClosingSignals[i], &action, &previous[i]);
    }
    notifier = std::make_unique<QSocketNotifier>(readEnd.Get(), QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { Answer(); });
}

SignalClose::~SignalClose() {
    for (std::size_t i = 0; i < ClosingSignals.size(); ++i) {
        sigaction(ClosingSignals[i], &previous[i], nullptr);
    }
    writeEndForHandler = -1;
    requested = false;
    notifier.reset();
}

void SignalClose::Watch(QWidget& window) {
    window_ = &window;
    notifier->setEnabled(true);
}

void SignalClose::Answer() {
    QWidget* box = QApplication::activeModalWidget();
    if (!box && !window_) {
        notifier->setEnabled(false); // kept in the pipe until Watch()
        return;
    }
    char bytes[16];
    while (::read(readEnd.Get(), bytes, sizeof bytes) > 0) {
    }
    if (box) {
        box->close(); // whoever showed it ends the program
    } else {
        window_->close();
    }
}

bool TerminationRequested() {
    return requested;
}

void EndIfTerminationRequested() {
    if (requested) {
        ExitProcess(0);
    }
}
