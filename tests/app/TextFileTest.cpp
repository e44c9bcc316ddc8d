#include "TextFile.h"

#include "Map.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const struct {
        std::string_view Bytes;
        std::string_view Text;
    } cases[] = {
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb", "a\r\nb\r\n"}, // no line end on the last line: the same text
        {"", ""},
        {"\n", "\r\n"},
        {"a\r\r\nb", "a\r\nb\r\n"},     // CR CR LF: one break, as some tools write it
        {"a\rb\n", "a\r\nb\r\n"},       // a lone CR is a break, as in a pane
        {"a\n\rb\n\r", "a\r\nb\r\n"},   // LF CR is one break
        {"a\r\rb", "a\r\n\r\nb\r\n"},   // two lone CRs: an empty line between
        {"a\n\nb", "a\r\n\r\nb\r\n"},   // two LFs too
        {"a\r\n\rb", "a\r\n\r\nb\r\n"}, // CR LF, then a lone CR
        {"a\t\n", "a\t\r\n"},
        {std::string_view("ab\0cd\nef\n", 9), "ab\r\nef\r\n"}, // NUL ends its line's text
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.Bytes), c.Text) << testing::PrintToString(std::string(c.Bytes));
    }
}

// A CR-only file and lines of any length up to the bound are read whole: the
// demo SOI map with CR, LF or LF CR line ends, and padded values, give the map
// the original gives.
TEST(ReadTextFile, LinesAreReadWholeWhateverTheirEnds) {
    const std::string original =
        ReadTextFile(std::string(MAPWRIGHT_SOURCE_DIR) + "/app/demo/DemoSOI.txt");
    ASSERT_GT(original.size(), 999u); // more than lines used to be cut at
    Map expected;
    ParseMap(original, expected);
    auto replaced = [&original](std::string_view end) {
        std::string out;
        for (std::size_t at = 0, next; at < original.size(); at = next + 2) {
            next = original.find("\r\n", at);
            out.append(original, at, next - at);
            out += end;
        }
        return out;
    };
    for (const std::string_view end : {"\r", "\n", "\n\r", "\r\r\n"}) {
        Map m;
        ParseMap(Read(replaced(end)), m);
        EXPECT_EQ(std::memcmp(&m, &expected, sizeof m), 0)
            << testing::PrintToString(std::string(end));
    }
    const std::string padded = std::string(5000, ' ') + "12.345678901";
    Map m;
    ParseMap(Read("t\r\n\r\n\r\n\r\n\r\n\t\t1\t2\r\n\t10\t" + padded + "\t7\r\n"), m);
    EXPECT_EQ(m.YCount, 1);
    EXPECT_EQ(m.Value[0][0], 12.345678901);
    EXPECT_EQ(m.Value[1][0], 7);
}

TEST(ReadTextFile, ALineBeyondTheBoundIsCutAndReported) {
    TempDir dir;
    const std::string longLine = std::string(kMaxLineLength + 10, '9');
    const std::string path = dir.Write("f.txt", "a\n" + longLine + "\nb\n");
    std::string text, error;
    TTextFileLimits limits;
    ASSERT_TRUE(ReadTextFile(path, text, error, static_cast<std::size_t>(-1), &limits));
    EXPECT_EQ(text, "a\r\n" + longLine.substr(0, kMaxLineLength) + "\r\nb\r\n");
    ASSERT_EQ(limits.LongLines.size(), 1u);
    EXPECT_EQ(limits.LongLines[0].Line, 2u);
    EXPECT_EQ(limits.LongLines[0].Length, kMaxLineLength + 10);
    EXPECT_FALSE(limits.Cut);
    EXPECT_EQ(limits.Lines, 3u);
    // Exactly at the bound: whole, not reported.
    const std::string atBound(kMaxLineLength, '8');
    ASSERT_TRUE(ReadTextFile(dir.Write("g.txt", atBound), text, error, 57, &limits));
    EXPECT_EQ(text, atBound + "\r\n");
    EXPECT_TRUE(limits.LongLines.empty());
    // Stopping at maxLines says whether anything was left.
    ASSERT_TRUE(ReadTextFile(dir.Write("h.txt", "1\n2\n3\n"), text, error, 2, &limits));
    EXPECT_EQ(text, "1\r\n2\r\n");
    EXPECT_TRUE(limits.Cut);
    ASSERT_TRUE(ReadTextFile(dir.Write("i.txt", "1\n2"), text, error, 2, &limits));
    EXPECT_FALSE(limits.Cut);
    // A file of exactly maxLines lines, whatever its breaks, was read whole.
    const struct {
        const char* Text;
        bool Cut;
    } ends[] = {
        {"1\r\n2\r\n", false}, {"1\n2\n", false},       {"1\r2\r", false},
        {"1\n2\n\r", false},   {"1\r\n2\r\r\n", false}, {"1\r\n2\r\n\r\n", true},
        {"1\r\n2\r\nx", true}, {"1\n2\n\n", true},
    };
    for (const auto& e : ends) {
        ASSERT_TRUE(ReadTextFile(dir.Write("j.txt", e.Text), text, error, 2, &limits));
        EXPECT_EQ(limits.Cut, e.Cut) << e.Text;
        EXPECT_EQ(text, "1\r\n2\r\n") << e.Text;
    }
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
                text += std::string(1200, '7'); // longer than lines used to be
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
        // Without NULs (which end a line's text only in a file) the file reads
        // as the same text pasted into a pane does, but for CR CR LF.
        std::string pasted = text;
        pasted.erase(std::remove(pasted.begin(), pasted.end(), '\0'), pasted.end());
        for (std::size_t at; (at = pasted.find("\r\r\n")) != std::string::npos;) {
            pasted.erase(at, 1);
        }
        const std::string noNul = dir.Write("p.txt", pasted);
        ASSERT_TRUE(ReadTextFile(noNul, whole, error));
        ParseMap(whole, a);
        ParseMap(pasted, b);
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
