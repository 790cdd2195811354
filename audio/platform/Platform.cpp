#include "audio/platform/Platform.h"

#include "audio/platform/BackendChoice.h"
#include "audio/platform/mixer/Mixer.h"
#include "audio/platform/waveout/WaveOutEngine.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace platform {

Platform::Platform(Clock& clock) : clock_(clock), engine_(std::make_unique<WaveOutEngine>(clock)) {
    if (current_ != nullptr) {
        std::fputs("progen: a second platform::Platform while one is alive\n", stderr);
        std::abort();
    }
    current_ = this;
    // However the program ends its run (main returns, exit()), its last tone fades out first.
    [[maybe_unused]] static const bool endsAtExit = std::atexit([] {
                                                        if (current_ != nullptr) {
                                                            current_->End();
                                                        }
                                                    }) == 0;
}

Platform::~Platform() {
    engine_.reset();
    current_ = nullptr;
}

void Platform::NoPlatform() {
    std::fputs("progen: a call of the multimedia layer with no platform::Platform alive\n", stderr);
    std::abort();
}

bool Platform::End() {
    lastCreatedFile_ = {};
    return engine_->End();
}

Mixer* Platform::ChosenMixer() {
    if (!mixer_) {
        const std::string choice = MixerChoice();
        mixer_ = MakeMixer(choice);
        if (!*mixer_) {
            std::cerr << "progen: PROGEN_MIXER=" << choice
                      << " is neither alsa[:NAME] nor file:PATH; the mixer is left alone\n";
        }
    }
    return mixer_->get();
}

void Platform::EndProgram(std::unique_ptr<Platform> platform) {
    if (!platform->End()) {
        [[maybe_unused]] static Platform* heldUp = nullptr;
        heldUp = platform.release();
        current_ = nullptr;
    }
}

} // namespace platform
