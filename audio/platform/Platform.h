#pragma once

// The owner of the multimedia layer's state: the wave output (its engine, sink and render thread),
// the mixer behind the volume calls, the global memory blocks and multimedia files, the clock, and
// what the program wires in (ProgramHooks.h). The layer's calls work on the current platform, which
// the program makes first thing (app/Program.cpp). Each platform starts from nothing and leaves
// nothing behind.
//
// Made, ended and destroyed on the user-interface thread, one at a time. A call of the layer with
// no platform alive ends the process with a message.

#include "audio/platform/MMSystem.h"
#include "audio/platform/system/Clock.h"
#include "audio/platform/system/Handles.h"
#include "audio/platform/util/HandleTable.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class Mixer;
class WaveOutEngine;

class Platform {
public:
    // Becomes the current platform. Its sound and Sleep() keep time by `clock`.
    explicit Platform(Clock& clock = SystemClock());
    // Ends the sound as End() does, joins the render thread and lets every handle go.
    ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    static Platform& Current() {
        if (current_ == nullptr) [[unlikely]] {
            NoPlatform();
        }
        return *current_;
    }

    // The program ends: the created file is let go (CreatedFile), every handle is reset, what
    // sounds fades out and plays to its end, and the device is closed (WaveOutEngine::End). False
    // when the device has not answered within EndLimit: the render thread is still held up in a
    // device call.
    bool End();

    // The end of the program's platform: End(), then the platform is destroyed, unless its render
    // thread is still held up in a device call; then it is left, no longer current, to the end of
    // the process, so that the thread never finds it gone.
    static void EndProgram(std::unique_ptr<Platform> platform);

    Clock& GetClock() { return clock_; }
    WaveOutEngine& Engine() { return *engine_; }
    // The mixer that PROGEN_MIXER names, chosen at the first volume call; null when it names none.
    Mixer* ChosenMixer();
    HandleTable<HGLOBAL__>& GlobalBlocks() { return globalBlocks_; }
    HandleTable<HMMIO__>& MultimediaFiles() { return multimediaFiles_; }
    CreatedFile& LastCreatedFile() { return lastCreatedFile_; }

    // What the program wires in (ProgramHooks.h): the message box and the hook of ExitProcess.
    std::function<void(const std::string&)>& ErrorBox() { return errorBox_; }
    std::function<void()>& ExitHook() { return exitHook_; }

private:
    [[noreturn]] static void NoPlatform();

    static inline Platform* current_ = nullptr;

    Clock& clock_;
    std::function<void(const std::string&)> errorBox_;
    std::function<void()> exitHook_;
    HandleTable<HGLOBAL__> globalBlocks_;
    HandleTable<HMMIO__> multimediaFiles_;
    CreatedFile lastCreatedFile_;
    std::optional<std::unique_ptr<Mixer>> mixer_; // once chosen
    std::unique_ptr<WaveOutEngine> engine_;       // last: its render thread stops first
};

} // namespace platform
