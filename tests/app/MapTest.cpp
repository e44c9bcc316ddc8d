#include "Map.h"
#include "LiteralParseMap.h"
#include "support/ReferenceNumber.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <locale.h>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

std::unique_ptr<Map> Parse(std::string_view text) {
    auto map = std::make_unique<Map>();
    ParseMap(text, *map);
    return map;
}

// A report as one line a finding, for comparing and for failure messages.
std::string Describe(const ParseReport& r) {
    std::string out = std::to_string(r.XCount) + "x" + std::to_string(r.YCount) + " +" +
                      std::to_string(r.IgnoredX) + "x +" + std::to_string(r.IgnoredRows) + "\n";
    for (const ParseFinding& f : r.Findings) {
        out += std::to_string(static_cast<int>(f.Kind)) + " " + std::to_string(f.Line) + ":" +
               std::to_string(f.Field) + " '" + f.Text + "' " + std::to_string(f.Value) + " " +
               std::to_string(f.Values) + "\n";
    }
    return out;
}

bool SameBytes(const Map& a, const Map& b) {
    return std::memcmp(&a, &b, sizeof(Map)) == 0;
}

// A complete small map as the program writes it: 3 X values, 2 rows.
const std::string kSmall = "Title (3, 2)\r\n"
                           "\r\n"
                           "Description\r\n"
                           "\r\n"
                           "\t\tmm3\r\n"
                           "\t\t1.0\t2.0\t3.0\r\n"
                           "1/min\t1000\t10\t20\t30\r\n"
                           "\t2000\t40\t50\t60\r\n";

TEST(GetLine, BreaksOfEveryKind) {
    struct Case {
        const char* text;
        int index;
        const char* line;
        bool last;
    };
    const Case cases[] = {
        {"a\r\nb", 0, "a", false},
        {"a\r\nb", 1, "b", true},
        {"a\r\nb", 7, "b", true},   // past the end: the final line
        {"a\r\n", 0, "a", true},    // a break at the very end ends no line
        {"a\r\n\r\n", 1, "", true}, // two pairs at the end: one more, empty line
        {"a\nb", 1, "b", true},
        {"a\rb", 1, "b", true},
        {"a\n\rb", 0, "a", false}, // LF CR is one break
        {"a\n\rb", 1, "b", true},
        {"a\r\rb", 1, "", false}, // CR CR: two breaks, an empty line between
        {"a\r\rb", 2, "b", true},
        {"a\n\nb", 1, "", false},
        {"a\n\r\nb", 1, "", false}, // LF CR, then a lone LF
        {"a\n\r\nb", 2, "b", true},
        {"a\r\n\r\nb", 1, "", false},   // CR LF CR LF: two breaks
        {"a\t\r\nb", 0, "a\t", false},  // lines other than the final are not trimmed
        {"x \t\x01\r\n", 0, "x", true}, // the final line loses all codes <= 32
        {"\xB5 \t", 0, "\xB5", true},   // bytes above 127 are not blanks
        {"", 0, "", true},
        {"", 3, "", true},
    };
    for (const Case& c : cases) {
        const TextPiece got = GetLine(c.index, c.text);
        EXPECT_EQ(got.Text, c.line)
            << "text " << testing::PrintToString(std::string(c.text)) << " line " << c.index;
        EXPECT_EQ(got.Last, c.last)
            << "text " << testing::PrintToString(std::string(c.text)) << " line " << c.index;
    }
}

TEST(GetField, FieldsAndTrimming) {
    EXPECT_EQ(GetField(0, "a\tb\tc", '\t').Text, "a");
    EXPECT_FALSE(GetField(0, "a\tb\tc", '\t').Last);
    EXPECT_EQ(GetField(2, "a\tb\tc", '\t').Text, "c");
    EXPECT_TRUE(GetField(2, "a\tb\tc", '\t').Last);
    EXPECT_EQ(GetField(9, "a\tb\tc", '\t').Text, "c");      // past the end: the final field
    EXPECT_EQ(GetField(1, "a\t b \tc ", '\t').Text, " b "); // not trimmed
    EXPECT_EQ(GetField(2, "a\t b \tc \x02", '\t').Text, "c");
    EXPECT_EQ(GetField(1, "a\t", '\t').Text, ""); // a trailing separator: one more, empty field
    EXPECT_TRUE(GetField(1, "a\t", '\t').Last);
    EXPECT_EQ(GetField(0, "", '\t').Text, "");
    EXPECT_EQ(GetField(1, "a;b", ';').Text, "b");
}

TEST(TextToNumber, AcceptsOnlyPlainDecimals) {
    for (const char* s : {"1,5", "1.5", "+1.5", " 1.5 ", "  1,5", "15e-1", "0.15E1", "1,5e0"}) {
        EXPECT_EQ(TextToNumber(s), 1.5) << s;
    }
    EXPECT_EQ(TextToNumber("2e3"), 2000.0);
    EXPECT_EQ(TextToNumber(".5"), 0.5);
    EXPECT_EQ(TextToNumber("5."), 5.0);
    EXPECT_EQ(TextToNumber("-12.25"), -12.25);
    EXPECT_EQ(TextToNumber("007"), 7.0);
    for (const char* s :
         {"1,5,0", "1.000,5", "1.5.0", "abc",  "-",     "+",     "",      " ",      ".",   "1e",
          "1e+",   "e5",      "inf",   "-inf", "nan",   "0x10",  "\t1",   "1\t",    "\n1", "1\x0b",
          "1 2",   "12.5 x",  "--1",   "1-",   "1,5.0", "1e5.5", "1e400", "-1e400", "1 e5"}) {
        EXPECT_EQ(TextToNumber(s), 0.0) << testing::PrintToString(std::string(s));
    }
    EXPECT_TRUE(std::signbit(TextToNumber("-0")));
    EXPECT_EQ(TextToNumber("1e-400"), 0.0);
}

TEST(TextToNumber, LongExponentsAreReadAsTheLibraryReadsThem) {
    // A long mantissa can balance an exponent of any length.
    const std::string balanced = "0." + std::string(999'999, '0') + "1e1000005";
    EXPECT_EQ(TextToNumber(balanced), 100000.0);
    const std::string big = "123" + std::string(1'000'010, '0') + "e-1000010";
    EXPECT_EQ(TextToNumber(big), 123.0);
    for (const std::string text :
         {"1e0000000000000000000001", "25e-0000000000000000000001", "1e1000000", "5e-1000000",
          "1e99999999999999999999", "0e99999999999999999999", "-0,5E+0000000000002"}) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(TextToNumber(text)),
                  std::bit_cast<std::uint64_t>(ReferenceNumber(text)))
            << text;
    }
}

TEST(TextToNumber, MatchesExtendedConversionBitForBit) {
    std::mt19937_64 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto digits = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            s += static_cast<char>('0' + pick(10));
        }
        return s;
    };
    // Well-formed numbers of every length and scale, then arbitrary strings.
    for (int i = 0; i < 60000; ++i) {
        std::string s;
        if (pick(4) == 0) {
            s += pick(2) ? "-" : "+";
        }
        s += digits(pick(22));
        if (pick(2)) {
            s += pick(3) ? "." : ",";
            s += digits(pick(22));
        }
        if (pick(3) == 0) {
            s += pick(2) ? "e" : "E";
            if (pick(2)) {
                s += pick(2) ? "-" : "+";
            }
            s += std::to_string(pick(340));
        }
        if (pick(5) == 0) {
            s += " ";
        }
        const double got = TextToNumber(s);
        const double want = ReferenceNumber(s);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(want)) << s;
    }
    const char alphabet[] = "0123456789.,eE+- x\t";
    for (int i = 0; i < 30000; ++i) {
        std::string s;
        const int length = pick(9);
        for (int k = 0; k < length; ++k) {
            s += alphabet[pick(sizeof alphabet - 1)];
        }
        const double got = TextToNumber(s);
        const double want = ReferenceNumber(s);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(want))
            << testing::PrintToString(s);
    }
}

TEST(ParseMap, ReadsAxesAndValues) {
    const auto m = Parse(kSmall);
    ASSERT_EQ(m->XCount, 3);
    ASSERT_EQ(m->YCount, 2);
    EXPECT_EQ(m->XAxis[2], 3.0);
    EXPECT_EQ(m->YAxis[1], 2000.0);
    EXPECT_EQ(m->Value[0][0], 10.0);
    EXPECT_EQ(m->Value[2][1], 60.0); // X index outer, row inner
    EXPECT_EQ(m->Value[1][1], 50.0);
}

TEST(ParseMap, IncompleteTextsLeaveCountsAtZero) {
    EXPECT_EQ(Parse("")->XCount, 0);
    EXPECT_EQ(Parse("")->YCount, 0);
    const auto headerOnly = Parse("a\r\nb\r\nc\r\nd\r\ne\r\n\t\t1\t2\r\n");
    EXPECT_EQ(headerOnly->XCount, 2);
    EXPECT_EQ(headerOnly->YCount, 0);
    const auto noAxis = Parse("a\r\nb\r\nc\r\nd\r\ne\r\n\t\r\nx\t1000\t5\r\n");
    EXPECT_EQ(noAxis->XCount, 0);
    EXPECT_EQ(noAxis->YCount, 1);
}

TEST(ParseMap, LineEndingsAndTrailingBreaks) {
    const auto crlf = Parse(kSmall);
    const std::string noFinal = kSmall.substr(0, kSmall.size() - 2);
    EXPECT_TRUE(SameBytes(*Parse(noFinal), *crlf));

    auto replaceAll = [](std::string s, const std::string& from, const std::string& to) {
        for (std::size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size()) {
            s.replace(p, from.size(), to);
        }
        return s;
    };
    for (const char* ending : {"\n", "\r", "\n\r"}) {
        EXPECT_TRUE(SameBytes(*Parse(replaceAll(kSmall, "\r\n", ending)), *crlf))
            << testing::PrintToString(std::string(ending));
    }

    // Two CR LF pairs at the end: one more, empty line, which stores nothing.
    const auto extra = Parse(kSmall + "\r\n");
    EXPECT_EQ(extra->YCount, 2);
    EXPECT_TRUE(SameBytes(*extra, *crlf));
}

TEST(ParseMap, TrailingTabAddsAFieldExceptOnTheFinalLine) {
    std::string text = kSmall;
    text.replace(text.find("3.0\r\n"), 5, "3.0\t\r\n");
    const auto m = Parse(text);
    EXPECT_EQ(m->XCount, 4);
    EXPECT_EQ(m->XAxis[3], 0.0);

    auto onRow = std::make_unique<Map>();
    onRow->Value[3][0] = 99;
    std::string rowText = kSmall;
    rowText.replace(rowText.find("30\r\n"), 4, "30\t\r\n");
    ParseMap(rowText, *onRow);
    EXPECT_EQ(onRow->Value[3][0], 0.0); // the empty field stores 0

    auto finalLine = std::make_unique<Map>();
    finalLine->Value[3][1] = 99;
    ParseMap(kSmall.substr(0, kSmall.size() - 2) + "\t", *finalLine);
    EXPECT_EQ(finalLine->Value[3][1], 99.0); // trimmed away: nothing stored
    EXPECT_EQ(finalLine->XCount, 3);
}

TEST(ParseMap, KeepsWhatTheTextDoesNotSupply) {
    auto m = std::make_unique<Map>();
    ParseMap(kSmall, *m);
    // A blank line among the rows keeps that row as it was but still counts.
    std::string text = kSmall;
    text.replace(text.find("\t2000\t40\t50\t60"), 14, "");
    text += "\t3000\t70\t80\t90\r\n";
    ParseMap(text, *m);
    EXPECT_EQ(m->YCount, 3);
    EXPECT_EQ(m->YAxis[1], 2000.0);
    EXPECT_EQ(m->Value[0][1], 40.0);
    EXPECT_EQ(m->Value[0][2], 70.0);

    // A short row keeps the previous contents at the missing X indexes.
    ParseMap("h\r\nh\r\nh\r\nh\r\nh\r\n\t\t1\t2\t3\r\nu\t5\t7", *m);
    EXPECT_EQ(m->Value[0][0], 7.0);
    EXPECT_EQ(m->Value[1][0], 20.0);
    EXPECT_EQ(m->Value[2][0], 30.0);
    EXPECT_EQ(Parse("h\r\nh\r\nh\r\nh\r\nh\r\n\t\t1\t2\t3\r\nu\t5\t7")->Value[2][0], 0.0);
}

TEST(ParseMap, HeaderLinesAndFirstFieldsAreNeverConverted) {
    auto m = std::make_unique<Map>();
    m->XAxis[0] = 0;
    ParseMap("1\t2\t3\r\n4\t5\t6\t7\r\n\r\n\t8\t9\r\n\t\t\t\r\nx\t9\t1\r\n7\t100\t2", *m);
    EXPECT_EQ(m->XCount, 1);
    EXPECT_EQ(m->XAxis[0], 1.0);
    EXPECT_EQ(m->YCount, 1);
    EXPECT_EQ(m->YAxis[0], 100.0);
    EXPECT_EQ(m->Value[0][0], 2.0);
}

TEST(ParseMap, SurplusBeyondFiftyIsIgnored) {
    std::string text = "h\r\nh\r\nh\r\nh\r\nh\r\n\t";
    for (int x = 0; x < 70; ++x) {
        text += "\t" + std::to_string(x);
    }
    text += "\r\n";
    for (int y = 0; y < 80; ++y) {
        text += "\t" + std::to_string(1000 + y);
        for (int x = 0; x < 75; ++x) {
            text += "\t" + std::to_string(y * 100 + x);
        }
        text += "\r\n";
    }
    auto m = std::make_unique<Map>();
    ParseMap(text, *m);
    EXPECT_EQ(m->XCount, kMaxAxis);
    EXPECT_EQ(m->YCount, kMaxAxis);
    EXPECT_EQ(m->XAxis[49], 49.0);
    EXPECT_EQ(m->YAxis[49], 1049.0);
    EXPECT_EQ(m->Value[49][49], 4949.0);
    auto literal = std::make_unique<Map>();
    ParseMapLiteral(text, *literal);
    EXPECT_TRUE(SameBytes(*m, *literal));
}

// Texts built from the characters that matter to the line and field
// machines, parsed both ways into maps that start with the same contents.
TEST(ParseMap, SinglePassEqualsLineByLineReading) {
    std::mt19937 rng(2024);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::vector<std::string> pieces = {"\t",  "\r", "\n", "\r\n", "\n\r", "1",   "2.5",
                                             "-3,", " ",  "x",  "\t\t", "7e1",  "\x01"};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = pick(200);
        for (int k = 0; k < n; ++k) {
            text += pieces[static_cast<std::size_t>(pick(static_cast<int>(pieces.size())))];
        }
        auto fast = std::make_unique<Map>();
        auto literal = std::make_unique<Map>();
        for (int i = 0; i < kMaxAxis; ++i) {
            fast->XAxis[i] = literal->XAxis[i] = -i;
            fast->Value[i][i] = literal->Value[i][i] = i;
        }
        auto reported = std::make_unique<Map>(*fast);
        ParseMap(text, *fast);
        ParseMapLiteral(text, *literal);
        ASSERT_TRUE(SameBytes(*fast, *literal)) << testing::PrintToString(text);

        // The report's pass stores the same, and finds what the line-by-line
        // reading finds.
        auto reference = std::make_unique<Map>(*reported);
        ParseReport report;
        ParseReport expected;
        ParseMap(text, *reported, report);
        ParseMapLiteral(text, *reference, expected);
        ASSERT_TRUE(SameBytes(*reported, *fast)) << testing::PrintToString(text);
        ASSERT_EQ(Describe(report), Describe(expected)) << testing::PrintToString(text);
    }
}

// What the report says of texts with each kind of fault, in the window's
// words: kind, line:field, the text as written.
TEST(ParseReport, SaysWhatWasNotRead) {
    const std::string head = "h\r\nh\r\nh\r\nh\r\nh\r\n";
    struct Case {
        std::string text;
        const char* report;
    };
    std::string wide = head + "\t";
    for (int x = 0; x < 53; ++x) {
        wide += "\t" + std::to_string(x + 1);
    }
    wide += "\t\r\n\t1\t5";
    std::string tall = head + "\t\t1\r\n";
    for (int y = 0; y < 52; ++y) {
        tall += "\t" + std::to_string(y + 1) + "\t5\r\n";
    }
    tall += "no row here\r\n\t \r\n";
    const Case cases[] = {
        {kSmall, "3x2 +0x +0\n"},
        // A typo in a cell, a number beyond a double in another.
        {head + "\t\t1\t2\t3\r\n\t1000\t1,2.3\t2\t3\r\n\t2000\t4\t1e999\tl,25",
         "3x2 +0x +0\n0 6:2 '1,2.3' 0.000000 0\n1 7:3 '1e999' 0.000000 0\n"
         "0 7:4 'l,25' 0.000000 0\n"},
        // Empty cells are no finding; a sign alone is.
        {head + "\t\t1\t2\r\n\t1000\t\t-", "2x1 +0x +0\n0 6:3 '-' 0.000000 0\n"},
        // Short rows, a line with no Y value among the rows.
        {head + "\t\t1\t2\t3\r\n\t1000\t1\r\nnothing\r\n\t3000\t1\t2\t3",
         "3x3 +0x +0\n2 6:3 '' 1000.000000 1\n2 7:1 '' 0.000000 0\n"},
        // Axes that do not rise: the X value, then the row's Y value.
        {head + "\t\t1\t3\t3\t2\r\n\t900\t1\t1\t1\t1\r\n\t800\t1\t1\t1\t1",
         "4x2 +0x +0\n3 5:4 '3' 3.000000 0\n3 5:5 '2' 2.000000 0\n4 7:1 '800' 800.000000 0\n"},
        // A trailing TAB on the X axis line makes an X value of 0.
        {head + "\t\t1\t2\t\r\n\t1\t1\t1\t1", "3x1 +0x +0\n3 5:4 '' 0.000000 0\n"},
        // Beyond fifty X values (the empty one after the last TAB is not
        // counted), beyond fifty rows (the line without a TAB, and the blank
        // one, are not rows).
        {wide, "50x1 +3x +0\n2 6:3 '' 1.000000 1\n"},
        {tall, "1x50 +0x +2\n"},
    };
    for (const Case& c : cases) {
        auto map = std::make_unique<Map>();
        ParseReport report;
        ParseMap(c.text, *map, report);
        EXPECT_EQ(Describe(report), c.report) << testing::PrintToString(c.text);
        EXPECT_EQ(report.AllRead(), std::string(c.report) == "3x2 +0x +0\n");
    }
}

} // namespace
