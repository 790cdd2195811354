#include "app/IntegerText.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <regex>
#include <string>
#include <string_view>

namespace {

// ASCII texts only; the others are written as UTF-16 where they are needed.
std::optional<std::int32_t> Parse(std::string_view text) {
    return ParseIntegerText(std::u16string(text.begin(), text.end()));
}

TEST(IntegerTextTest, DecimalWithBlanksAndSign) {
    EXPECT_EQ(Parse("440"), 440);
    EXPECT_EQ(Parse("   440"), 440);
    EXPECT_EQ(Parse("+440"), 440);
    EXPECT_EQ(Parse(" -1"), -1);
    EXPECT_EQ(Parse("-0"), 0);
    EXPECT_EQ(Parse("000000000000000000070000"), 70000);
}

TEST(IntegerTextTest, DecimalMustFitThirtyTwoBitsSigned) {
    EXPECT_EQ(Parse("2147483647"), INT32_MAX);
    EXPECT_EQ(Parse("-2147483648"), INT32_MIN);
    EXPECT_EQ(Parse("2147483648"), std::nullopt);
    EXPECT_EQ(Parse("-2147483649"), std::nullopt);
    EXPECT_EQ(Parse("99999999999999999999"), std::nullopt);
}

TEST(IntegerTextTest, HexIsAThirtyTwoBitPatternOfOneToEightDigits) {
    EXPECT_EQ(Parse("$1B8"), 440);
    EXPECT_EQ(Parse("  $1b8"), 440);
    EXPECT_EQ(Parse("$64"), 100);
    EXPECT_EQ(Parse("$FFFFFFFF"), -1);
    EXPECT_EQ(Parse("$80000000"), INT32_MIN);
    EXPECT_EQ(Parse("$000000001"), std::nullopt); // nine digits, even if the value is small
    EXPECT_EQ(Parse("$"), std::nullopt);
    EXPECT_EQ(Parse("-$10"), std::nullopt);
    EXPECT_EQ(Parse("+$10"), std::nullopt);
    EXPECT_EQ(Parse("$-10"), std::nullopt);
    EXPECT_EQ(Parse("$ 10"), std::nullopt);
    EXPECT_EQ(Parse("$1G"), std::nullopt);
    EXPECT_EQ(Parse("0x1B8"), std::nullopt);
}

TEST(IntegerTextTest, NothingElseIsAnIntegerText) {
    for (const char* text : {"", " ", "   ", "+", "-", "abc", "440 ", "4 40", "44a", "\t440", "- 1",
                             "--1", "+-1", "1e3", "4.5"}) {
        EXPECT_EQ(Parse(text), std::nullopt) << '"' << text << '"';
    }
    EXPECT_EQ(ParseIntegerText(u"١٢"), std::nullopt) << "Arabic-Indic digits";
    EXPECT_EQ(ParseIntegerText(u"４４０"), std::nullopt) << "full-width digits";
}

// The same syntax and range, written another way: a regular expression, then the standard
// library's conversions.
std::optional<std::int32_t> Reference(const std::string& text) {
    static const std::regex syntax(R"( *(?:([+-]?)([0-9]+)|\$([0-9A-Fa-f]{1,8})))");
    std::smatch match;
    if (!std::regex_match(text, match, syntax)) {
        return std::nullopt;
    }
    if (match[3].matched) {
        return static_cast<std::int32_t>(std::stoul(match[3].str(), nullptr, 16));
    }
    std::string digits = match[2].str();
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.size() > 10) {
        return std::nullopt;
    }
    const long long value = std::stoll(match[1].str() + digits);
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// Random texts over the characters that matter, half of them shaped like numbers near the ends
// of the range, so that both valid and invalid texts come often.
std::string RandomText(std::mt19937& random) {
    static const std::string alphabet = " +-$0123456789abcdefABCDEFgxZ\t.";
    std::uniform_int_distribution<int> coin(0, 1);
    std::string text;
    if (coin(random) == 0) {
        std::uniform_int_distribution<std::size_t> length(0, 14);
        std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
        for (std::size_t n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        return text;
    }
    std::uniform_int_distribution<long long> nearEnd(-5, 5);
    const long long ends[] = {0, INT32_MAX, INT32_MIN, UINT32_MAX, 65536, 15000};
    std::uniform_int_distribution<std::size_t> whichEnd(0, std::size(ends) - 1);
    const long long value = ends[whichEnd(random)] + nearEnd(random);
    text = std::string(static_cast<std::size_t>(coin(random) * 2), ' ');
    if (coin(random) == 0) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "$%llX", static_cast<unsigned long long>(value));
        return text + hex;
    }
    return text + (coin(random) == 0 && value >= 0 ? "+" : "") + std::to_string(value);
}

TEST(IntegerTextTest, AgreesWithASecondFormulationOnRandomTexts) {
    std::mt19937 random(20240611);
    int valid = 0;
    constexpr int Texts = 40000;
    for (int i = 0; i < Texts; ++i) {
        const std::string text = RandomText(random);
        const auto expected = Reference(text);
        ASSERT_EQ(Parse(text), expected) << '"' << text << '"';
        valid += expected.has_value() ? 1 : 0;
    }
    // Both outcomes were exercised often.
    EXPECT_GT(valid, Texts / 5);
    EXPECT_LT(valid, Texts * 4 / 5);
}

} // namespace
