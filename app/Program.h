#pragma once

// The program from its start to its end: the multimedia layer's platform, the watcher of the user's
// mixer levels, the application and its title, the message box, the window, and the signals that
// end it. Returns the exit code. Call it first in main(): the watcher is forked before any thread
// exists.

int RunProgram(int argc, char* argv[]);
