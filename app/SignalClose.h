#pragma once

// SIGINT, SIGTERM and SIGHUP (Ctrl+C, kill, the end of a session) end the program as a close of
// its window does: the user's mixer levels come back and the exit code is 0. The handler only
// notes the request and writes a byte into a pipe, watched from the start. In a message box,
// also one shown while the window is being built, the byte closes the box, and the code that
// showed the box ends the program at once (EndIfTerminationRequested), so that nothing runs after
// it; else, once the window is watched, it closes the window; a sweep, which holds the thread,
// looks at the request at every poll of its step.

#include "audio/platform/util/UniqueFd.h"

#include <csignal>
#include <memory>

class QSocketNotifier;
class QWidget;

class SignalClose {
public:
    // Installs the handlers, and closes the modal boxes from now on. Call it with the application
    // made. A signal outside a box is only queued until Watch().
    SignalClose();
    // Restores the handlers found at construction, and forgets a request.
    ~SignalClose();

    SignalClose(const SignalClose&) = delete;
    SignalClose& operator=(const SignalClose&) = delete;

    // For every signal, queued before or arriving later, closes an open modal box (nobody may be
    // there to answer it), or else `window`.
    void Watch(QWidget& window);

private:
    void Answer();

    QWidget* window_ = nullptr;
    platform::UniqueFd readEnd;
    platform::UniqueFd writeEnd;
    struct sigaction previous[3];
    std::unique_ptr<QSocketNotifier> notifier;
};

// Whether a termination signal has arrived while a SignalClose exists.
bool TerminationRequested();

// After a termination signal, ends the program with code 0 through ExitProcess, which gives the
// user's levels back. For code that must not go on: after a message box, in a sweep.
void EndIfTerminationRequested();
