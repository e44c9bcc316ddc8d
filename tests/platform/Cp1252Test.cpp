#include "Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, MicroSignAndEuro) {
    EXPECT_EQ(Cp1252ToUtf8("\xB5s"), "\xC2\xB5s");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC 5 \xC2\xB5s \xC3\xAB"), "\x80 5 \xB5s \xEB");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xE2\x88\x9E"), "?");       // infinity sign
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x"); // outside the BMP
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");             // cut short
    EXPECT_EQ(Utf8ToCp1252("\xFFz"), "?z");
    EXPECT_EQ(UnicodeToCp1252(0x20AC), 0x80);
    EXPECT_EQ(UnicodeToCp1252(0x263A), -1);
}

} // namespace
