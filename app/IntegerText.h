#pragma once

// The integer text that every number box of the window accepts: optional leading blanks, then
// either an optional "+" or "-" and one or more decimal digits, or "$" and one to eight
// hexadecimal digits of either case; nothing after the digits. A decimal value must fit a signed
// 32-bit integer; a hexadecimal one is taken as a 32-bit pattern, so "$FFFFFFFF" is -1. The empty
// text, blanks alone and a sign alone are not integer texts. Blanks are spaces; a tab is not one.

#include <cstdint>
#include <optional>
#include <string_view>

// The value of `text`, or nothing when it is not an integer text.
// Plain C++, so that it builds and can be checked without Qt; a QString's UTF-16 is passed as is.
std::optional<std::int32_t> ParseIntegerText(std::u16string_view text);
