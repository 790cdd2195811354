#pragma once

// The syntax of PROGEN_AUDIO and PROGEN_MIXER: a kind ("alsa", "null", "wav", "file", ...),
// alone or followed by ':' and an argument (a device name, a path). Parsed here once for both.

#include <optional>
#include <string_view>

namespace platform {

struct BackendChoice {
    std::string_view kind;
    std::optional<std::string_view> argument; // never empty
};

// Nothing when a colon has nothing after it: an empty name names nothing, so "alsa:" is refused
// rather than taken for some device.
std::optional<BackendChoice> ParseBackendChoice(std::string_view text);

} // namespace platform
