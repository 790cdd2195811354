#include "app/IntegerText.h"

namespace {

// Only the ASCII digits count; QChar::isDigit would take other scripts' digits too.
int DecimalDigit(QChar c) {
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1;
}

int HexDigit(QChar c) {
    if (c >= u'a' && c <= u'f') {
        return c.unicode() - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c.unicode() - u'A' + 10;
    }
    return DecimalDigit(c);
}

std::optional<std::int32_t> ParseHex(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t pattern = 0;
    for (const QChar c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        pattern = pattern << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> ParseDecimal(QStringView text) {
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+')) {
        text = text.mid(1);
    }
    if (text.isEmpty()) {
        return std::nullopt;
    }
    // The magnitude of the most negative value is one more than that of the most positive.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (const QChar c : text) {
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

std::optional<std::int32_t> ParseIntegerText(QStringView text) {
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == u' ') {
        ++blanks;
    }
    const QStringView rest = text.mid(blanks);
    if (rest.startsWith(u'$')) {
        return ParseHex(rest.mid(1));
    }
    return ParseDecimal(rest);
}
