// The integer text parser on any UTF-16 text (the input's bytes in little-endian pairs), checked
// against a second formulation of the same syntax through std::from_chars.

#include "app/IntegerText.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool IsAscii(char16_t c, std::string_view set) {
    return c < 0x80 && set.find(static_cast<char>(c)) != std::string_view::npos;
}

// The text once the blanks are gone, as ASCII; nothing when another character is left.
std::optional<std::string> AsciiAfterBlanks(std::u16string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(u' '), text.size()));
    std::string ascii;
    for (const char16_t c : text) {
        if (!IsAscii(c, "+-$0123456789abcdefABCDEF")) {
            return std::nullopt;
        }
        ascii += static_cast<char>(c);
    }
    return ascii;
}

template <class Number>
std::optional<Number> WholeNumber(std::string_view text, int base) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> Reference(std::u16string_view text) {
    std::optional<std::string> rest = AsciiAfterBlanks(text);
    if (!rest || rest->empty()) {
        return std::nullopt;
    }
    if ((*rest)[0] == '$') {
        const std::string_view digits = std::string_view(*rest).substr(1);
        // from_chars takes no sign for an unsigned number; the count is this syntax's own.
        if (digits.empty() || digits.size() > 8) {
            return std::nullopt;
        }
        const auto pattern = WholeNumber<std::uint32_t>(digits, 16);
        return pattern ? std::optional(static_cast<std::int32_t>(*pattern)) : std::nullopt;
    }
    // from_chars takes one "-" before the digits, but no "+" and no "-" after one.
    std::string_view number = *rest;
    const bool plus = number.starts_with('+');
    if (plus) {
        number.remove_prefix(1);
    }
    const std::string_view digits = number.substr(!plus && number.starts_with('-') ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return WholeNumber<std::int32_t>(number, 10);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    if (ParseIntegerText(text) != Reference(text)) {
        std::abort();
    }
    return 0;
}
