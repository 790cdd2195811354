#pragma once

// What the user would have seen: every message box text in order, and the program's end as an
// exception a test can catch. Declare it after the test's platform.

#include "audio/platform/ProgramHooks.h"
#include "tests/support/Seams.h"

#include <string>
#include <vector>

struct ProgramEnd {
    UINT code;
};

class MessageBoxes {
public:
    MessageBoxes() {
        platform::SetErrorBox([this](const std::string& text) { texts.push_back(text); });
        seams::SetExitProcess([](UINT code) { throw ProgramEnd{code}; });
    }
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    std::vector<std::string> texts;
};
