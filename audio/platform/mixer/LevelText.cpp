#include "audio/platform/mixer/LevelText.h"

#include <charconv>
#include <cstdio>

namespace platform {

namespace {
constexpr std::string_view Prefix = "0x";
constexpr std::size_t Digits = 8;
} // namespace

std::string LevelText(DWORD level) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", level);
    return hex;
}

std::optional<DWORD> ParseLevelText(std::string_view text) {
    if (text.size() != Prefix.size() + Digits || !text.starts_with(Prefix)) {
        return std::nullopt;
    }
    DWORD level = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + Prefix.size(), end, level, 16);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return level;
}

} // namespace platform
