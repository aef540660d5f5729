#include <gtest/gtest.h>

#include "common/Text.h"

using namespace zorvex;

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(val("12abc"), 12);
    EXPECT_EQ(val("  -3.25 "), -3.25);
    EXPECT_EQ(val("1 2"), 12);
    EXPECT_EQ(val("1.5e2x"), 150);
    EXPECT_EQ(val("2D1"), 20);
    EXPECT_EQ(val(".5"), 0.5);
    EXPECT_EQ(val("1.2.3"), 1.2);
    EXPECT_EQ(val("&H1F"), 31);
    EXPECT_EQ(val("&o17"), 15);
}

TEST(Val, GivesZeroWithoutANumber) {
    EXPECT_EQ(val(""), 0);
    EXPECT_EQ(val("abc"), 0);
    EXPECT_EQ(val("-"), 0);
    EXPECT_EQ(val("e5"), 0);
    EXPECT_EQ(val("5e"), 5);
}

TEST(Format, FixedRoundsTheExactValueHalfToEven) {
    EXPECT_EQ(formatFixed(2.25, 1), "2.2");
    EXPECT_EQ(formatFixed(2.75, 1), "2.8");
    EXPECT_EQ(formatFixed(0.35, 1), "0.3");  // 0.35 is stored slightly below
    EXPECT_EQ(formatFixed(20, 1), "20.0");
    EXPECT_EQ(formatFixed(-0.04, 1), "0.0");
    EXPECT_EQ(formatFixed(-1.25, 1), "-1.2");
}

TEST(Format, DigitsPadWithZeros) {
    EXPECT_EQ(formatDigits(12, 5), "00012");
    EXPECT_EQ(formatDigits(7, 2), "07");
    EXPECT_EQ(formatDigits(123456, 5), "123456");
}

TEST(Format, ShortestFormReadsBack) {
    EXPECT_EQ(formatShortest(3.0), "3");
    EXPECT_EQ(formatShortest(2.125), "2.125");
    EXPECT_EQ(formatShortest(0.5), "0.5");
    EXPECT_EQ(formatShortest(-1.235), "-1.235");
    EXPECT_EQ(formatShortest(0.0001), "0.0001");
    EXPECT_EQ(formatShortest(-0.0), "0");
}

TEST(CodePage, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(cp1252ToUtf8("\xE9"), "\xC3\xA9");
}

TEST(CodePage, ReplacesWhatItCannotHold) {
    EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD"), "?");      // a CJK character
    EXPECT_EQ(utf8ToCp1252("a\xFF" "b"), "a?b");         // malformed UTF-8
    EXPECT_EQ(utf8ToCp1252("\xC3"), "?");               // truncated sequence
    EXPECT_EQ(utf8ToCp1252("\xC0\x80"), "??");          // an overlong NUL is no character
}

TEST(CodePage, ValidUtf8IsWellFormedAndShortest) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"", true}, {"plain", true}, {"\xC2\xB5M", true}, {"\xE2\x82\xAC", true}, {"\xF0\x9F\x90\x9B", true},
        {"\xFF", false}, {"\xC3", false}, {"\xC3(", false}, {"\xC0\xAF", false},  // cut, broken, overlong
        {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},               // a surrogate, past U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(isValidUtf8(c.text), c.valid) << ::testing::PrintToString(std::string(c.text));
}

TEST(NumberRuns, JoinsNeighboursAndStopsAfterTheShownRuns) {
    const struct {
        std::vector<int> numbers;
        const char* text;
    } cases[] = {
        {{}, ""}, {{5}, "5"}, {{2, 3, 4, 7}, "2-4, 7"}, {{1, 3, 5}, "1, 3, 5"}, {{8, 9}, "8-9"},
    };
    for (const auto& c : cases) EXPECT_EQ(numberRuns(c.numbers), c.text);
    EXPECT_EQ(numberRuns({1, 3, 5, 7}, 2), "1, 3, ...");
}
