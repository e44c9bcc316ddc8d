#include "TextFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
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
