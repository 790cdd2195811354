#include "audio/platform/BackendChoice.h"

#include <cstdlib>

namespace platform {

std::optional<BackendChoice> ParseBackendChoice(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return BackendChoice{text, std::nullopt};
    }
    if (colon + 1 == text.size()) {
        return std::nullopt;
    }
    return BackendChoice{text.substr(0, colon), text.substr(colon + 1)};
}

namespace {

// A variable's value, empty for one that is unset.
std::string Text(const char* value) {
    return value ? value : "";
}

} // namespace

std::string AudioChoice() {
    return Text(std::getenv("PROGEN_AUDIO"));
}

std::string MixerChoice() {
    return Text(std::getenv("PROGEN_MIXER"));
}

} // namespace platform
