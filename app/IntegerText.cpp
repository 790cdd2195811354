#include "app/IntegerText.h"

#include <algorithm>

namespace {

// Only the ASCII digits count, not other scripts' digits.
int DecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9' ? c - u'0' : -1;
}

int HexDigit(char16_t c) {
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return DecimalDigit(c);
}

std::optional<std::int32_t> ParseHex(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t pattern = 0;
    for (const char16_t c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        pattern = pattern << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> ParseDecimal(std::u16string_view text) {
    const bool negative = text.starts_with(u'-');
    if (negative || text.starts_with(u'+')) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // The magnitude of the most negative value is one more than that of the most positive.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (const char16_t c : text) {
        const int digit = DecimalDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + digit;
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

std::optional<std::int32_t> ParseIntegerText(std::u16string_view text) {
    const std::u16string_view rest =
        text.substr(std::min(text.find_first_not_of(u' '), text.size()));
    if (rest.starts_with(u'$')) {
        return ParseHex(rest.substr(1));
    }
    return ParseDecimal(rest);
}
