#pragma once

// SIGINT, SIGTERM and SIGHUP (Ctrl+C, kill, the end of a session) close the window through its
// normal path, so that FormClose gives the user's mixer levels back. The signal handler only
// writes a byte into a pipe; the event loop reads it and closes the window.

#include <csignal>
#include <memory>

class QSocketNotifier;
class QWidget;

class SignalClose {
public:
    // Installs the handlers. A signal from now on is only queued until Watch().
    SignalClose();
    // Restores the handlers found at construction.
    ~SignalClose();

    SignalClose(const SignalClose&) = delete;
    SignalClose& operator=(const SignalClose&) = delete;

    // For every signal, queued before or arriving later, closes an open modal box (nobody may
    // be there to answer it) and then `window`.
    void Watch(QWidget& window);

private:
    int readEnd = -1;
    int writeEnd = -1;
    struct sigaction previous[3];
    std::unique_ptr<QSocketNotifier> notifier;
};
