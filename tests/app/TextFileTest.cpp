#include "TextFile.h"

#include "Map.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

namespace {

std::string Read(std::string_view bytes) {
    TempDir dir;
    return ReadTextFile(dir.Write("f.txt", bytes));
}

TEST(ReadTextFile, EveryLineEndsInCrLf) {
    EXPECT_EQ(Read("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(Read("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(Read("a\r\nb"), "a\r\nb\r\n"); // no line end on the last line: the same text
    EXPECT_EQ(Read(""), "");
    EXPECT_EQ(Read("\n"), "\r\n");
    EXPECT_EQ(Read("a\r\r\nb"), "a\r\nb\r\n"); // CR CR LF: CR then the line end, both cut
    EXPECT_EQ(Read("a\rb\n"), "a\rb\r\n");     // a lone CR inside a line stays
    EXPECT_EQ(Read("a\t\n"), "a\t\r\n");
}

TEST(ReadTextFile, LongLinesAreSplitAt999Characters) {
    const std::string k999(999, 'x');
    EXPECT_EQ(Read(k999 + "y\n"), k999 + "\r\ny\r\n");
    // Exactly 999 characters and a line feed: the line feed is a piece of its own.
    EXPECT_EQ(Read(k999 + "\n"), k999 + "\r\n\r\n");
    // 998 characters and CR LF: text mode has turned CR LF into one line feed
    // before the split, so the line stays whole.
    const std::string k998(998, 'x');
    EXPECT_EQ(Read(k998 + "\r\nz\r\n"), k998 + "\r\nz\r\n");
    EXPECT_EQ(Read(std::string(2500, 'q')), std::string(999, 'q') + "\r\n" + std::string(999, 'q') +
                                                "\r\n" + std::string(502, 'q') + "\r\n");
}

TEST(ReadTextFile, NulEndsItsPiece) {
    EXPECT_EQ(Read(std::string("ab\0cd\nef\n", 9)), "ab\r\nef\r\n");
}

TEST(ReadTextFile, UnreadableFilesGiveAnEmptyTextAndAReason) {
    TempDir dir;
    EXPECT_EQ(ReadTextFile(dir.Path() + "/missing.txt"), "");
    std::string text = "old";
    std::string error;
    EXPECT_FALSE(ReadTextFile(dir.Path() + "/missing.txt", text, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(text, "");
    EXPECT_FALSE(ReadTextFile(dir.Path(), text, error)); // a directory
    EXPECT_EQ(error, "Is a directory");
}

TEST(ReadTextFile, ReadingOnlyTheLinesThatCountGivesTheSameMap) {
    // Random texts of numbers, tabs, blanks, every kind of line end, NULs
    // and over-long lines: the first 57 lines give the same map as the whole
    // file, and are the start of what the whole file gives.
    TempDir dir;
    std::mt19937 random(20261208);
    const std::string fields[] = {"1.5", "2", "-3e2", "x", "", " ", "7,25", std::string(1, '\0')};
    const std::string ends[] = {"\r\n", "\n", "\r", "\n\r", "\t\r\n", " \n"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int lines = 40 + static_cast<int>(random() % 40);
        for (int line = 0; line < lines; ++line) {
            const int count = static_cast<int>(random() % 9);
            for (int f = 0; f < count; ++f) {
                text += fields[random() % std::size(fields)];
                text += '\t';
            }
            if (random() % 25 == 0) {
                text += std::string(1200, '7'); // over-long: split at 999
            }
            text += ends[random() % std::size(ends)];
        }
        const std::string path = dir.Write("t.txt", text);
        std::string whole, start, error;
        ASSERT_TRUE(ReadTextFile(path, whole, error));
        ASSERT_TRUE(ReadTextFile(path, start, error, 57));
        EXPECT_EQ(whole.compare(0, start.size(), start), 0) << round;
        Map a, b;
        ParseMap(whole, a);
        ParseMap(start, b);
        ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << round;
    }
}

TEST(StripLineEnd, CutsTrailingCrAndLfOnly) {
    char text[] = "ab \t\r\n\r\n";
    StripLineEnd(text);
    EXPECT_STREQ(text, "ab \t");
    char empty[] = "\r\n";
    StripLineEnd(empty);
    EXPECT_STREQ(empty, "");
    std::string s = "x\n\r";
    StripLineEnd(s);
    EXPECT_EQ(s, "x");
}

} // namespace
