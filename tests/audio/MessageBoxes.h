#pragma once

// What the user would have seen: every message box text in order, and the program's end as an
// exception a test can catch.

#include "audio/platform/Seams.h"

#include <string>
#include <vector>

struct ProgramEnd {
    UINT code;
};

class MessageBoxes {
public:
    MessageBoxes() {
        platform::SetErrorBox([this](const std::string& text) { texts.push_back(text); });
        platform::SetExitProcess([](UINT code) { throw ProgramEnd{code}; });
    }
    ~MessageBoxes() {
        platform::SetErrorBox({});
        platform::SetExitProcess({});
    }
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    std::vector<std::string> texts;
};
