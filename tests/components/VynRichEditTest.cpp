#include "VynRichEdit.h"

#include "Clipboard.h"
#include "Palette.h"
#include "QtColor.h"
#include "support/FixedClock.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

#include <string>
#include <vector>

namespace {

// A run as the document holds it.
struct DocRun {
    std::string Text;
    QColor Color;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    QString Family;
    qreal Size = 0;
};

std::vector<DocRun> Runs(const TVynRichEdit& view) {
    std::vector<DocRun> runs;
    for (QTextBlock block = view.document()->firstBlock(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat format = f.charFormat();
            runs.push_back({f.text().toStdString(), format.foreground().color(),
                            format.fontWeight() >= QFont::Bold, format.fontItalic(),
                            format.fontUnderline(), format.fontStrikeOut(),
                            format.fontFamilies().toStringList().value(0), format.fontPointSize()});
        }
        if (block.next().isValid()) {
            runs.push_back({"\n", {}, false, false, false, false, {}, 0});
        }
    }
    return runs;
}

QColor Q(TColor c) {
    return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

class View : public testing::Test {
protected:
    View() { view.EnableColors = true; }
    TVynRichEdit view;
};

TEST(VynRichEditDefaults, PublishedProperties) {
    TVynRichEdit v;
    EXPECT_EQ(v.DebugLevel, 1);
    EXPECT_TRUE(v.ShowTime);
    EXPECT_FALSE(v.ShowTimeHund || v.ShowLevel || v.ShowModule || v.ShowLinenr);
    EXPECT_EQ(v.MaxLines, 1000);
    EXPECT_FALSE(v.SuppressAnsi);
    EXPECT_FALSE(v.EnableColors);
    EXPECT_EQ(ColorValue(v.ColorComment), 0x008000u);
    EXPECT_EQ(ColorValue(v.ColorRx), 0x000000u);
    EXPECT_EQ(ColorValue(v.ColorTx), 0xFF0000u);
    EXPECT_EQ(ColorValue(v.ColorWarning), 0x000080u);
    EXPECT_EQ(ColorValue(v.ColorError), 0x0000FFu);
    EXPECT_EQ(ColorValue(v.ColorTimestamp), 0x800080u);
    const TColor types[] = {clGreen, clBlack, clBlue, clMaroon, clRed, clPurple};
    for (int t = 0; t < 6; ++t) {
        EXPECT_EQ(ColorValue(v.Type2Color(t)), ColorValue(types[t]));
    }
    EXPECT_EQ(ColorValue(v.Type2Color(6)), 0u);
    EXPECT_EQ(ColorValue(v.Type2Color(-1)), 0u);

    bool registered = false;
    for (const TComponentInfo& c : RegisteredComponents()) {
        registered = registered || (c.ClassName == "TVynRichEdit" && c.Page == "VYN");
    }
    EXPECT_TRUE(registered);
}

TEST_F(View, ColourCodesBecomeRunsInTheDocument) {
    view.PrintText(std::string("x=[G]1.5[/]\r\n[R]a[=B]b[=i]c[/]d[0x00ff80]e"));
    const std::vector<DocRun> runs = Runs(view);
    ASSERT_EQ(runs.size(), 8u);
    EXPECT_EQ(runs[0].Text, "x=");
    EXPECT_EQ(runs[0].Color, Q(clBlack));
    EXPECT_EQ(runs[1].Text, "1.5");
    EXPECT_EQ(runs[1].Color, Q(clGreen));
    EXPECT_EQ(runs[2].Text, "\n"); // CR LF is one line break
    EXPECT_EQ(runs[3].Text, "a");
    EXPECT_EQ(runs[3].Color, Q(clRed));
    EXPECT_FALSE(runs[3].Bold);
    EXPECT_EQ(runs[4].Text, "b");
    EXPECT_TRUE(runs[4].Bold);
    EXPECT_EQ(runs[4].Color, Q(clRed));
    EXPECT_EQ(runs[5].Text, "c"); // styles are only added
    EXPECT_TRUE(runs[5].Bold && runs[5].Italic);
    EXPECT_EQ(runs[6].Text, "d"); // reset: black, no style
    EXPECT_FALSE(runs[6].Bold || runs[6].Italic);
    EXPECT_EQ(runs[6].Color, Q(clBlack));
    EXPECT_EQ(runs[7].Color, QColor(0x80, 0xFF, 0x00)); // 0x00BBGGRR
    EXPECT_EQ(view.Text(), "x=1.5\r\nabcde");
}

TEST_F(View, OnlyParsingPrintsHonourCodes) {
    view.EnableColors = false;
    view.PrintText(std::string("[R]x"));
    view.EnableColors = true;
    view.PrintText(clBlue, "[R]%d", 5);
    view.PrintText(2, "[G]");
    EXPECT_EQ(view.Text(), "[R]x[R]5[G]");
    const std::vector<DocRun> runs = Runs(view);
    EXPECT_EQ(runs[0].Color, Q(clBlack));
    EXPECT_EQ(runs[1].Color, Q(clBlue));
    EXPECT_EQ(runs.back().Color, Q(view.ColorTx));

    view.Clear();
    view.PrintText("[R]%s", "a");
    view.PrintText(std::string("b")); // each call starts black
    EXPECT_EQ(Runs(view)[1].Color, Q(clBlack));

    view.Clear();
    view.SuppressAnsi = true;
    view.PrintText(std::string("\x1b[31mred"));
    EXPECT_EQ(view.Text(), "red");
}

TEST_F(View, FontNameAndSizeCarryOnToLaterRuns) {
    view.DoPrint(clRed, "Courier", 14, TFontStyle::fsUnderline, "a");
    view.DoPrint(clBlue, "b");
    view.PrintText(clGreen, "", 0, TFontStyles(TFontStyle::fsStrikeOut), "%s", "c");
    const std::vector<DocRun> runs = Runs(view);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Family, "Courier");
    EXPECT_EQ(runs[0].Size, 14);
    EXPECT_TRUE(runs[0].Underline);
    EXPECT_EQ(runs[1].Family, "Courier");
    EXPECT_EQ(runs[1].Size, 14);
    EXPECT_FALSE(runs[1].Underline); // the style is always set
    EXPECT_EQ(runs[1].Color, Q(clBlue));
    EXPECT_TRUE(runs[2].StrikeOut);
    EXPECT_EQ(runs[2].Family, "Courier");
}

TEST_F(View, FormattedTextIsCutAt999Characters) {
    const std::string long1200(1200, 'x');
    view.PrintText("%s", long1200.c_str());
    EXPECT_EQ(view.Text().size(), 999u);
    view.Clear();
    view.PrintText(std::string(long1200)); // not formatted: whole
    EXPECT_EQ(view.Text().size(), 1200u);
}

TEST_F(View, DebugLinesWithEveryPrefixSwitch) {
    FixedClock clock({.Hour = 9, .Minute = 5, .Second = 7, .Milliseconds = 456});
    view.PrintDebug("serial", 120, 1, 1, "hello %d\r\n\r\n", 42);
    EXPECT_EQ(view.Text(), "09:05:07 hello 42\r\n");

    view.Clear();
    view.ShowTimeHund = view.ShowLevel = view.ShowModule = view.ShowLinenr = true;
    view.PrintDebug("serial", 120, 4, 1, "x");
    EXPECT_EQ(view.Text(), "09:05:07.45 [1]  serial         120 x\r\n");
    const std::vector<DocRun> runs = Runs(view);
    EXPECT_EQ(runs[0].Color, Q(view.ColorTimestamp));
    EXPECT_EQ(runs[1].Color, Q(clGray));
    ASSERT_EQ(runs.size(), 4u); // time, the grey parts (one format), text, line break
    EXPECT_EQ(runs[2].Text, "x");
    EXPECT_EQ(runs[2].Color, Q(view.ColorError));

    view.Clear();
    view.ShowTime = false;
    view.ShowModule = false;
    view.PrintDebug("averyverylongmodule", -1, 0, 0, "y");
    EXPECT_EQ(view.Text(), "[0]  4294967295 y\r\n");

    view.Clear();
    view.ShowLevel = view.ShowLinenr = false;
    view.ShowModule = true;
    view.PrintDebug("averyverylongmodule", 0, 0, 0, "z");
    EXPECT_EQ(view.Text(), "averyverylongmodule z\r\n");
}

TEST_F(View, DebugLevelAndEmptyTextPrintNothing) {
    view.ShowTime = false;
    view.PrintDebug(0, 2, "too detailed");
    view.PrintDebug(0, 1, "%s", "");
    view.DoPrintDebug("m", 1, 0, 1, nullptr);
    EXPECT_EQ(view.Text(), "");
    view.PrintDebug(3, "w");
    view.PrintDebug("plain");
    view.PrintDebugColor(2, 1, "[R]r\n");
    view.PrintDebug(0, 1, "\r\n"); // only line breaks: an empty line
    EXPECT_EQ(view.Text(), "w\r\nplain\r\nr\r\n\r\n");
    const std::vector<DocRun> runs = Runs(view);
    EXPECT_EQ(runs[0].Color, Q(view.ColorWarning));
    EXPECT_EQ(runs[2].Color, Q(view.ColorComment));
    EXPECT_EQ(runs[4].Color, Q(clRed)); // colour codes, type ignored
}

TEST_F(View, MaxLinesTrimsTheOldestBeforeEachAppend) {
    view.MaxLines = 3;
    for (int i = 0; i < 5; ++i) {
        view.PrintText("line %d\n", i);
    }
    // Trimmed before each append: the view may hold one line more until the next.
    EXPECT_EQ(view.blockCount(), 4);
    EXPECT_EQ(view.Text(), "line 2\r\nline 3\r\nline 4\r\n");

    // Runs printed in one call are trimmed between them as well.
    view.Clear();
    view.MaxLines = 1;
    view.PrintText(std::string("x\n[/]y\n[/]z"));
    EXPECT_EQ(view.Text(), "z");

    view.Clear();
    view.MaxLines = 0;
    for (int i = 0; i < 1500; ++i) {
        view.PrintText("%d\n", i);
    }
    EXPECT_EQ(view.blockCount(), 1501);
}

TEST_F(View, EveryLoneCrIsALineBreak) {
    const struct {
        const char* Text;
        int Lines;
        const char* Back;
    } cases[] = {
        {"a\r\r\nb", 3, "a\r\n\r\nb"}, // a lone CR before a CR LF
        {"a\n\rb", 3, "a\r\n\r\nb"},   // LF CR: two
        {"a\r\nb", 2, "a\r\nb"},
        {"a\rb\r", 3, "a\r\nb\r\n"},
    };
    for (const auto& c : cases) {
        view.Clear();
        view.PrintText(std::string(c.Text));
        EXPECT_EQ(view.blockCount(), c.Lines) << c.Text;
        EXPECT_EQ(view.Text(), c.Back) << c.Text;
    }
    view.Clear();
    view.MaxLines = 2;
    view.PrintText(std::string("a\r\r\nb"));
    view.PrintText(std::string("c"));
    EXPECT_EQ(view.Text(), "\r\nbc");
}

TEST_F(View, LongFirstLineGoesIn243CharacterPieces) {
    view.MaxLines = 2;
    view.PrintText(std::string(500, 'a') + "\nb\n");
    EXPECT_EQ(view.blockCount(), 3);
    view.PrintText(std::string("c")); // one piece, then the count is unchanged: stop
    EXPECT_EQ(view.Text(), std::string(257, 'a') + "\r\nb\r\nc");
    view.PrintText(std::string("d"));
    EXPECT_EQ(view.Text(), std::string(14, 'a') + "\r\nb\r\ncd");
    view.PrintText(std::string("e"));
    EXPECT_EQ(view.Text(), "b\r\ncde");

    // A negative limit must not hang on a view of one empty line.
    view.Clear();
    view.MaxLines = -1;
    view.PrintText(std::string("x"));
    view.PrintText(std::string("y"));
    EXPECT_LE(view.Text().size(), 1u);
}

TEST_F(View, WindowsTextShowsAsUnicodeAndComesBackAsBytes) {
    view.PrintText(std::string("5 \xB5s \x80\r\nnext"));
    EXPECT_EQ(view.toPlainText(), QString::fromUtf8("5 \xC2\xB5s \xE2\x82\xAC\nnext"));
    EXPECT_EQ(view.Text(), "5 \xB5s \x80\r\nnext");
}

TEST(Clipboard, OffersUtf8AndTheOriginalBytes) {
    const std::string text = "Duration/\xB5s\r\n1.0\t2.0\r\n";
    ASSERT_TRUE(SetClipboardText(text));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text().toUtf8().toStdString(), "Duration/\xC2\xB5s\r\n1.0\t2.0\r\n");
    EXPECT_EQ(data->data(kCp1252MimeType).toStdString(), text);
    EXPECT_EQ(GetClipboardText(), text);
}

TEST(VynRichEditPaint, ClippedPaintMatchesTheStandardOne) {
    TVynRichEdit view;
    view.EnableColors = true;
    view.setLineWrapMode(QPlainTextEdit::NoWrap);
    view.resize(400, 200);
    std::string text;
    for (int row = 0; row < 20; ++row) {
        text += "\t[G]" + std::to_string(1000 + row) + "[/]";
        for (int col = 0; col < 30; ++col) {
            text += (col % 3 == 0   ? "\t[R]"
                     : col % 3 == 1 ? "\t[B]"
                                    : "\t") +
                    std::to_string(row * col) + ".5[/]";
        }
        text += "\r\n";
    }
    view.PrintText(text);
    view.show();
    view.setReadOnly(true);
    QApplication::processEvents();
    const QImage clipped = view.viewport()->grab().toImage();
    EXPECT_EQ(view.StandardPaintLines(), 0); // every line took the clipped way
    view.setReadOnly(false);
    view.setTextInteractionFlags(Qt::TextSelectableByMouse); // no caret
    QApplication::processEvents();
    const QImage standard = view.viewport()->grab().toImage();
    ASSERT_EQ(clipped.size(), standard.size());
    EXPECT_TRUE(clipped == standard);
}

} // namespace

namespace {

TEST(VynRichEditDeferred, HiddenViewsPrintWhenShownOrRead) {
    TVynRichEdit view; // never shown: hidden
    view.EnableColors = true;
    view.SetDeferWhileHidden(true);
    view.MaxLines = 2;
    view.PrintText(std::string("old\n"));
    view.Clear();
    view.PrintText(std::string("[R]a\nb\n"));
    view.EnableColors = false; // settings at print time count
    view.PrintText(std::string("[G]c\n"));
    EXPECT_EQ(view.document()->isEmpty(), true); // nothing done yet
    // As if printed one by one: trimmed to MaxLines before each append.
    EXPECT_EQ(view.Text(), "b\r\n[G]c\r\n");
    EXPECT_EQ(view.Text(), "b\r\n[G]c\r\n");

    view.Clear();
    view.PrintText(std::string("x"));
    view.DoPrint(clBlue, "y"); // anything else prints what waits first
    EXPECT_EQ(view.toPlainText(), "xy");

    view.Clear();
    view.PrintText(std::string("z"));
    view.show();
    EXPECT_EQ(view.toPlainText(), "z");
}

} // namespace
