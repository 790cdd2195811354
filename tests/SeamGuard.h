#pragma once

// Leaves the platform seams as a test found them: no injected faults, no recorder, the default
// message box and program end.

#include "audio/platform/Seams.h"

struct SeamGuard {
    SeamGuard() = default;
    SeamGuard(const SeamGuard&) = delete;
    SeamGuard& operator=(const SeamGuard&) = delete;
    ~SeamGuard() {
        platform::ClearFaults();
        platform::RecordCalls(nullptr);
        platform::SetErrorBox({});
        platform::SetExitProcess({});
        platform::SetExitHook({});
    }
};
