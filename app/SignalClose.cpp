#include "app/SignalClose.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> ClosingSignals = {SIGINT, SIGTERM, SIGHUP};

// Read by the handler; only one SignalClose exists at a time.
int writeEndForHandler = -1;

void QueueClose(int) {
    const int savedErrno = errno;
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
    readEnd = ends[0];
    writeEnd = ends[1];
    writeEndForHandler = writeEnd;

    struct sigaction action {};
    action.sa_handler = QueueClose;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < ClosingSignals.size(); ++i) {
        sigaction(ClosingSignals[i], &action, &previous[i]);
    }
}

SignalClose::~SignalClose() {
    for (std::size_t i = 0; i < ClosingSignals.size(); ++i) {
        sigaction(ClosingSignals[i], &previous[i], nullptr);
    }
    writeEndForHandler = -1;
    notifier.reset();
    ::close(readEnd);
    ::close(writeEnd);
}

void SignalClose::Watch(QWidget& window) {
    notifier = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &window, [this, &window] {
        char bytes[16];
        while (::read(readEnd, bytes, sizeof bytes) > 0) {
        }
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
        window.close();
    });
}
