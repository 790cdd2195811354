#pragma once

// What the program wires into the current platform (Platform.h): the message box behind
// ZobrazChybu and the work that ExitProcess does before it ends the program. Calls from the
// user-interface thread.

#include <functional>
#include <string>

namespace platform {

// Replaces the message box behind ZobrazChybu; an empty function restores the default (standard
// error).
void SetErrorBox(std::function<void(const std::string& text)> box);

// Runs `hook` once when ExitProcess ends the program, before it ends; an empty function removes
// it. The window gives the user's mixer levels back this way when a file error or a termination
// signal ends the program from inside a handler.
void SetExitHook(std::function<void()> hook);

// Opens /dev/null on each of the standard descriptors 0..2 that is closed, so that no file or
// socket opened later takes its number and receives what is meant for standard error. Call it
// first thing in main().
void OpenClosedStandardStreams();

} // namespace platform
