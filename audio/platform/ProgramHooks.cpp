#include "audio/platform/ProgramHooks.h"

#include "audio/platform/MMSystem.h"
#include "audio/platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>
#include <utility>

namespace platform {

void SetErrorBox(std::function<void(const std::string&)> box) {
    Platform::Current().ErrorBox() = std::move(box);
}

void SetExitHook(std::function<void()> hook) {
    Platform::Current().ExitHook() = std::move(hook);
}

void OpenClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        // The lowest free number is the closed one; an open one is left as it is.
        if (::fcntl(fd, F_GETFD) < 0 && ::open("/dev/null", O_RDWR) != fd) {
            return;
        }
    }
}

} // namespace platform

void ZobrazChybu(const char* Text) {
    if (const auto& box = platform::Platform::Current().ErrorBox()) {
        box(Text);
    } else {
        std::cerr << "Information: " << Text << '\n';
    }
}

void ExitProcess(UINT uExitCode) {
    platform::Platform& platform = platform::Platform::Current();
    // Taken out first, so that a hook that ends up here again does not run twice.
    if (const auto hook = std::exchange(platform.ExitHook(), {})) {
        hook();
    }
    // The last tone fades out before the device closes. The sinks keep their files valid at
    // every moment, so nothing needs flushing but stdio; skipping static destructors keeps a
    // render thread held up in the device from being torn down under us.
    platform.End();
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(uExitCode));
}
