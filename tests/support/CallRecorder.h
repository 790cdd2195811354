#pragma once

// Records every platform call while it lives.

#include "tests/support/Seams.h"

#include <string>
#include <vector>

class CallRecorder {
public:
    CallRecorder() { seams::RecordCalls(&calls); }
    ~CallRecorder() { seams::RecordCalls(nullptr); }
    CallRecorder(const CallRecorder&) = delete;
    CallRecorder& operator=(const CallRecorder&) = delete;

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const seams::RecordedCall& call : calls) {
            names.push_back(call.name);
        }
        return names;
    }

    std::vector<seams::RecordedCall> calls;
};

// The names of the platform calls `action` makes.
template <class Action>
std::vector<std::string> CallsOf(Action action) {
    const CallRecorder recorder;
    action();
    return recorder.Names();
}
