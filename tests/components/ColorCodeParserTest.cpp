#include "ColorCodeParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr TColorCodeOptions kColors{.EnableColors = true, .SuppressAnsi = false};

std::vector<TColorRun> Runs(std::string_view text, TColorCodeOptions options = kColors) {
    return ParseColorCodes(text, options);
}

void ExpectRun(const TColorRun& run, std::string_view text, TColor color, TFontStyles style = {}) {
    EXPECT_EQ(run.Text, text);
    EXPECT_EQ(ColorValue(run.Color), ColorValue(color)) << run.Text;
    EXPECT_EQ(run.Style, style) << run.Text;
}

TEST(ColorCodes, ReportLine) {
    const auto runs = Runs("x=[G]1.5[/]\r\n");
    ASSERT_EQ(runs.size(), 3u);
    ExpectRun(runs[0], "x=", clBlack);
    ExpectRun(runs[1], "1.5", clGreen);
    ExpectRun(runs[2], "\r\n", clBlack);
}

TEST(ColorCodes, OffMeansLiteral) {
    const auto runs = Runs("[R]red", {});
    ASSERT_EQ(runs.size(), 1u);
    ExpectRun(runs[0], "[R]red", clBlack);
}

TEST(ColorCodes, LettersHexAndStyles) {
    ExpectRun(Runs("[r]a")[0], "a", clRed);
    ExpectRun(Runs("[0x00FF80]a")[0], "a", TColor{0x00FF80});
    ExpectRun(Runs("[0Xabcdef]a")[0], "a", TColor{0xABCDEF});
    ExpectRun(Runs("[0x12zz34]a")[0], "a", TColor{0x12}); // stops at the first non-digit
    const char* letters = "ABFGILMNOPRSTWYZ";
    const TColor colors[] = {clAqua,   clBlue,  clFuchsia, clGreen,  clLime, clGray,
                             clMaroon, clNavy,  clOlive,   clPurple, clRed,  clSilver,
                             clTeal,   clWhite, clYellow,  clBlack};
    for (int i = 0; i < 16; ++i) {
        TColor c{};
        ASSERT_TRUE(ColorFromLetter(letters[i], c));
        EXPECT_EQ(ColorValue(c), ColorValue(colors[i])) << letters[i];
    }

    const auto runs = Runs("[R]a[=B]b[/]c");
    ASSERT_EQ(runs.size(), 3u);
    ExpectRun(runs[0], "a", clRed);
    ExpectRun(runs[1], "b", clRed, TFontStyle::fsBold);
    ExpectRun(runs[2], "c", clBlack);
    ExpectRun(Runs("[=i][=U][=s]x")[0], "x", clBlack,
              TFontStyles(TFontStyle::fsItalic) + TFontStyle::fsUnderline +
                  TFontStyle::fsStrikeOut);
}

TEST(ColorCodes, WhatIsNotACodeIsText) {
    EXPECT_EQ(StripColorCodes("[Q]", kColors), "Q");   // not a colour letter
    EXPECT_EQ(StripColorCodes("a[]b", kColors), "ab"); // empty code
    EXPECT_EQ(StripColorCodes("[word]", kColors), "word");
    EXPECT_EQ(StripColorCodes("[=X]", kColors), "=X");
    EXPECT_EQ(StripColorCodes("[[x", kColors), "[x"); // two brackets: one literal
    EXPECT_EQ(StripColorCodes("[ab[c", kColors), "ab[c");
    EXPECT_EQ(StripColorCodes("[123456789]", kColors), "123456789");
    // Ten characters without a closing bracket: ordinary text from there on.
    EXPECT_EQ(StripColorCodes("[0123456789]x", kColors), "0123456789]x");
    EXPECT_EQ(StripColorCodes("ok[open", kColors), "ok"); // open at the end: lost
}

TEST(ColorCodes, AnsiSequences) {
    EXPECT_EQ(StripColorCodes("\x1b[31mred", {.EnableColors = true, .SuppressAnsi = true}), "red");
    EXPECT_EQ(StripColorCodes("\x1b[31mred", {.EnableColors = false, .SuppressAnsi = true}), "red");
    EXPECT_EQ(StripColorCodes("\x1b"
                              "1",
                              {.EnableColors = false, .SuppressAnsi = false}),
              "\x1b"
              "1");
}

TEST(ColorCodes, EveryCallStartsInBlack) {
    ExpectRun(Runs("[R]a")[0], "a", clRed);
    ExpectRun(Runs("b")[0], "b", clBlack);
}

} // namespace
