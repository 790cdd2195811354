#pragma once

// The environment variables that choose the backends, read here alone: PROGEN_AUDIO (the wave
// output's sink, sinks/Sink.h) and PROGEN_MIXER (mixer/Mixer.h). Both have one syntax: a kind
// ("alsa", "null", "wav", "file", ...), alone or followed by ':' and an argument (a device name, a
// path), parsed here once for both.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct BackendChoice {
    std::string_view kind;
    std::optional<std::string_view> argument; // never empty
};

// Nothing when a colon has nothing after it: an empty name names nothing, so "alsa:" is refused
// rather than taken for some device.
std::optional<BackendChoice> ParseBackendChoice(std::string_view text);

// The variables' text as they are now; empty when unset.
std::string AudioChoice();
std::string MixerChoice();

} // namespace platform
