#pragma once

// A 32-bit level as the program writes it in its files and lines: "0x" and eight hex digits.

#include "audio/platform/MMSystem.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// "0x" and eight upper-case hex digits.
std::string LevelText(DWORD level);

// "0x" and eight hex digits of either case; nothing for any other text.
std::optional<DWORD> ParseLevelText(std::string_view text);

} // namespace platform
