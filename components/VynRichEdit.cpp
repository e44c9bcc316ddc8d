#include "VynRichEdit.h"

#include "ColorCodeParser.h"
#include "Cp1252.h"
#include "LineEnd.h"
#include "Palette.h"
#include "QtColor.h"
#include "QtText.h"
#include "VynExport.h"
#include "VynUtil.h"
#include "WidgetClasses.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <QVarLengthArray>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <vector>

namespace Vynrichedit {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynRichEdit"});
    RegisterWidgetClass<TVynRichEdit>("TVynRichEdit", "VynRichEdit.h",
                                      "Rich-text log view: colour codes, debug lines, a line limit",
                                      QSize(320, 200));
}
} // namespace Vynrichedit

namespace {

// A rich-text control reports a line with its paragraph mark, at most this
// many characters at a time.
constexpr int kLineReadLimit = 243;

// Appends runs at the end of a view as one edit, then puts the caret at the
// end and scrolls it into view once.
//
// Consecutive runs in the same format are inserted as one piece whenever the
// trim before the later run could not have removed anything (the view holds
// no more than MaxLines lines by then), so the result is the same as
// appending them one by one.
//
// A run takes its font name and size from the text before the caret unless
// it names them; after a run of our own that is the run's own format, so the
// base format is read from the document only once. Formats are kept per
// colour and style and reused: Qt looks a format up by its cached hash, so a
// reused format costs little.
class TAppender {
public:
    explicit TAppender(TVynRichEdit& view) : m_view(view), m_cursor(view.document()) {
        m_cursor.beginEditBlock();
        m_firstBlock = view.document()->lastBlock().blockNumber();
    }
    ~TAppender() {
        Flush();
        // Keep the shaped glyphs of new lines: a line is laid out once (when
        // the edit ends, to size the scroll bars) and then painted.
        for (QTextBlock block = m_view.document()->findBlockByNumber(m_firstBlock); block.isValid();
             block = block.next()) {
            block.layout()->setCacheEnabled(true);
        }
        m_cursor.endEditBlock();
        // A caret already at the end moves along with text inserted there, so
        // it only needs to be put there when it was elsewhere.
        const QTextCursor caret = m_view.textCursor();
        if (!caret.atEnd() || caret.hasSelection()) {
            m_view.moveCursor(QTextCursor::End);
        }
        // The caret is on the last line now: scroll down first, or finding
        // the caret would lay out every line from the top one shown.
        QScrollBar* vertical = m_view.verticalScrollBar();
        vertical->setValue(vertical->maximum());
        m_view.ensureCursorVisible();
    }
    TAppender(const TAppender&) = delete;
    TAppender& operator=(const TAppender&) = delete;

    void Append(TColor color, const char* fontName, int size, TFontStyles style,
                std::string_view text) {
        const bool newFont = (fontName != nullptr && fontName[0] != '\0') || size > 0;
        const bool sameFormat =
            m_pendingValid && !newFont && color == m_pendingColor && style == m_pendingStyle;
        const int maxLines = m_view.MaxLines;
        const bool trimWouldAct =
            maxLines != 0 && m_view.document()->blockCount() + m_pendingBreaks > maxLines;
        if (!sameFormat || trimWouldAct) {
            Flush();
            m_view.RemoveOldestLines();
            if (newFont) {
                SetFont(fontName, size);
            }
            m_pendingValid = true;
            m_pendingColor = color;
            m_pendingStyle = style;
        }
        AppendViewText(text);
    }

private:
    void SetFont(const char* fontName, int size) {
        EnsureBase();
        if (fontName != nullptr && fontName[0] != '\0') {
            m_base.setFontFamilies(QStringList{ToQString(fontName)});
        }
        if (size > 0) {
            m_base.setFontPointSize(size);
        }
        m_formats.clear();
    }

    void EnsureBase() {
        if (!m_haveBase) {
            m_cursor.movePosition(QTextCursor::End);
            m_base = m_cursor.charFormat();
            m_haveBase = true;
        }
    }

    // The text as the view holds it: CR LF is one line break (Qt would see
    // two), a lone CR or LF is one too.
    void AppendViewText(std::string_view text) {
        const qsizetype old = m_pending.size();
        m_pending.resize(old + static_cast<qsizetype>(text.size()));
        QChar* data = m_pending.data() + old;
        qsizetype length = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                continue;
            }
            if (c == '\r' || c == '\n') {
                // Every break goes in as LF: a lone CR left as it is would
                // join a following CR LF's LF into one break in Qt.
                ++m_pendingBreaks;
                data[length++] = QLatin1Char('\n');
                continue;
            }
            data[length++] =
                QChar(static_cast<char16_t>(Cp1252ToUnicode(static_cast<unsigned char>(c))));
        }
        m_pending.truncate(old + length);
    }

    void Flush() {
        if (!m_pendingValid) {
            return;
        }
        if (!m_pending.isEmpty()) {
            EnsureBase();
            if (!m_cursor.atEnd()) {
                m_cursor.movePosition(QTextCursor::End);
            }
            m_cursor.insertText(m_pending, Format(m_pendingColor, m_pendingStyle));
        }
        m_pending.resize(0); // keeps the buffer for the next run
        m_pendingBreaks = 0;
        m_pendingValid = false;
    }

    const QTextCharFormat& Format(TColor color, TFontStyles style) {
        for (const Entry& e : m_formats) {
            if (e.Color == color && e.Style == style) {
                return e.Format;
            }
        }
        QTextCharFormat format = m_base;
        format.setForeground(ToQColor(color, m_view.palette()));
        format.setFontWeight(style.Contains(TFontStyle::fsBold) ? QFont::Bold : QFont::Normal);
        format.setFontItalic(style.Contains(TFontStyle::fsItalic));
        format.setFontUnderline(style.Contains(TFontStyle::fsUnderline));
        format.setFontStrikeOut(style.Contains(TFontStyle::fsStrikeOut));
        m_formats.push_back({color, style, format});
        return m_formats.back().Format;
    }

    struct Entry {
        TColor Color;
        TFontStyles Style;
        QTextCharFormat Format;
    };

    TVynRichEdit& m_view;
    QTextCursor m_cursor;
    int m_firstBlock = 0;
    QTextCharFormat m_base;
    bool m_haveBase = false;
    std::vector<Entry> m_formats;

    QString m_pending;
    int m_pendingBreaks = 0;
    bool m_pendingValid = false;
    TColor m_pendingColor = clBlack;
    TFontStyles m_pendingStyle;
};

} // namespace

TVynRichEdit::TVynRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(false);
    // Tab stops every half inch, as rich-text controls have them.
    setTabStopDistance(48);
    UseFastFont();
    // Each print changes the scroll bars' range; a bar that says it paints
    // all of itself spares the widgets beneath it (the page around a view) a
    // repaint every time. Overlay (transient) bars do not cover their area.
    if (style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this) == 0) {
        for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
            bar->setAttribute(Qt::WA_OpaquePaintEvent);
            bar->parentWidget()->setAttribute(Qt::WA_OpaquePaintEvent);
        }
    }
}

void TVynRichEdit::UseFastFont() {
    // The view shows Windows-1252 text, Latin script only: glyphs need no
    // shaping and kerning adds nothing to columns of numbers, but both cost
    // time on every line laid out and painted.
    QFont f = font();
    if (!(f.styleStrategy() & QFont::PreferNoShaping) || f.kerning()) {
        f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::PreferNoShaping));
        f.setKerning(false);
        setFont(f);
    }
}

void TVynRichEdit::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UseFastFont();
    }
}

TColor TVynRichEdit::Type2Color(int type) const {
    switch (type) {
    case 0: return ColorComment;
    case 1: return ColorRx;
    case 2: return ColorTx;
    case 3: return ColorWarning;
    case 4: return ColorError;
    case 5: return ColorTimestamp;
    default: return clBlack;
    }
}

void TVynRichEdit::DoPrint(TColor color, const char* fontName, int size, TFontStyles style,
                           const char* text) {
    FlushDeferred();
    TAppender appender(*this);
    appender.Append(color, fontName, size, style, text != nullptr ? text : "");
}

void TVynRichEdit::DoPrint(TColor color, const char* text) {
    DoPrint(color, "", 0, TFontStyles(), text);
}

void TVynRichEdit::DoPrint(const char* text) {
    AppendParsed(text != nullptr ? text : "");
}

void TVynRichEdit::AppendParsed(std::string_view text) {
    if (m_deferWhileHidden && !isVisible()) {
        m_deferred.push_back({std::string(text), EnableColors, SuppressAnsi, MaxLines});
        return;
    }
    FlushDeferred();
    AppendParsedNow(text);
}

void TVynRichEdit::AppendParsedNow(std::string_view text) {
    TAppender appender(*this);
    ParseColorCodes(
        text, {.EnableColors = EnableColors, .SuppressAnsi = SuppressAnsi},
        [&](const TColorRun& run) { appender.Append(run.Color, nullptr, 0, run.Style, run.Text); });
}

void TVynRichEdit::FlushDeferred() {
    if (m_deferred.empty()) {
        return;
    }
    std::vector<TDeferredPrint> deferred;
    deferred.swap(m_deferred);
    const bool enableColors = EnableColors;
    const bool suppressAnsi = SuppressAnsi;
    const int maxLines = MaxLines;
    for (const TDeferredPrint& print : deferred) {
        EnableColors = print.EnableColors;
        SuppressAnsi = print.SuppressAnsi;
        MaxLines = print.MaxLines;
        AppendParsedNow(print.Text);
    }
    EnableColors = enableColors;
    SuppressAnsi = suppressAnsi;
    MaxLines = maxLines;
}

void TVynRichEdit::SetDeferWhileHidden(bool defer) {
    m_deferWhileHidden = defer;
    if (!defer) {
        FlushDeferred();
    }
}

void TVynRichEdit::showEvent(QShowEvent* event) {
    FlushDeferred();
    QPlainTextEdit::showEvent(event);
}

void TVynRichEdit::RemoveOldestLines() {
    if (MaxLines == 0) {
        return;
    }
    QTextDocument* doc = document();
    const int atEntry = doc->blockCount();
    int count = atEntry;
    while (count > MaxLines) {
        int n = std::min(doc->firstBlock().length(), kLineReadLimit);
        if (n <= 0) {
            n = 40;
        }
        const int before = doc->characterCount();
        QTextCursor cursor(doc);
        cursor.setPosition(0);
        cursor.setPosition(std::min(n, before - 1), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        count = doc->blockCount();
        // A pass that removed nothing would repeat for ever (a negative
        // MaxLines on a view with one empty line).
        if (count == atEntry || doc->characterCount() == before) {
            break;
        }
    }
}

void TVynRichEdit::PrintTimestamp(const char* module, int line, int level) {
    if (ShowTime) {
        DoPrint(ColorTimestamp, "", 0, TFontStyles(),
                FormatText("%s ", LocalTimeText(ShowTimeHund).c_str()).c_str());
    }
    if (ShowLevel) {
        DoPrint(clGray, "", 0, TFontStyles(), FormatText("[%d]  ", level).c_str());
    }
    if (ShowModule) {
        DoPrint(clGray, "", 0, TFontStyles(),
                FormatText("%-12s ", module != nullptr ? module : "").c_str());
    }
    if (ShowLinenr) {
        DoPrint(clGray, "", 0, TFontStyles(),
                FormatText("%5u ", static_cast<unsigned>(line)).c_str());
    }
}

void TVynRichEdit::PrintDebugLine(const char* module, int line, int type, int level,
                                  const char* text, bool parse) {
    if (level > DebugLevel || text == nullptr || text[0] == '\0') {
        return;
    }
    PrintTimestamp(module, line, level);
    const std::string message(TrimLineEnd(text));
    if (parse) {
        AppendParsed(message);
        AppendParsed("\n");
    } else {
        const TColor color = Type2Color(type);
        DoPrint(color, message.c_str());
        DoPrint(color, "\n");
    }
}

void TVynRichEdit::DoPrintDebug(const char* module, int line, int type, int level,
                                const char* text) {
    PrintDebugLine(module, line, type, level, text, false);
}

void TVynRichEdit::DoPrintDebugColor(const char* module, int line, int type, int level,
                                     const char* text) {
    PrintDebugLine(module, line, type, level, text, true);
}

void TVynRichEdit::PrintText(TColor color, const char* fontName, int size, TFontStyles style,
                             const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrint(color, fontName, size, style, text.c_str());
}

void TVynRichEdit::PrintText(TColor color, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrint(color, text.c_str());
}

void TVynRichEdit::PrintText(int type, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrint(Type2Color(type), text.c_str());
}

void TVynRichEdit::PrintText(const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    AppendParsed(text);
}

void TVynRichEdit::PrintText(char* text) {
    AppendParsed(text != nullptr ? text : "");
}

void TVynRichEdit::PrintText(const std::string& text) {
    AppendParsed(text);
}

void TVynRichEdit::PrintDebug(const char* module, int line, int type, int level, const char* format,
                              ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebug(module, line, type, level, text.c_str());
}

void TVynRichEdit::PrintDebug(int type, int level, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebug("", 0, type, level, text.c_str());
}

void TVynRichEdit::PrintDebug(int type, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebug("", 0, type, 0, text.c_str());
}

void TVynRichEdit::PrintDebug(const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebug("", 0, 0, 0, text.c_str());
}

void TVynRichEdit::PrintDebugColor(const char* module, int line, int type, int level,
                                   const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebugColor(module, line, type, level, text.c_str());
}

void TVynRichEdit::PrintDebugColor(int type, int level, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebugColor("", 0, type, level, text.c_str());
}

void TVynRichEdit::PrintDebugColor(int type, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebugColor("", 0, type, 0, text.c_str());
}

void TVynRichEdit::PrintDebugColor(const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    DoPrintDebugColor("", 0, 0, 0, text.c_str());
}

void TVynRichEdit::Clear() {
    m_deferred.clear();
    clear();
}

std::string TVynRichEdit::Text() const {
    // Printing what was put off changes nothing anyone can see.
    const_cast<TVynRichEdit*>(this)->FlushDeferred();
    const QString raw = document()->toRawText();
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(blockCount()));
    for (const QChar c : raw) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == u'\n') {
            out += "\r\n";
        } else {
            const int byte = UnicodeToCp1252(u);
            out += byte < 0 ? '?' : static_cast<char>(byte);
        }
    }
    return out;
}

void TVynRichEdit::paintEvent(QPaintEvent* event) {
    if (!isReadOnly()) {
        QPlainTextEdit::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    m_standardPaintLines = 0;
    const QRect exposed = event->rect();
    const QTextCursor cursor = textCursor();
    const int selectionStart = cursor.hasSelection() ? cursor.selectionStart() : -1;
    const int selectionEnd = cursor.hasSelection() ? cursor.selectionEnd() : -1;
    const QBrush highlight = palette().brush(QPalette::Highlight);
    const QColor highlightedText = palette().color(QPalette::HighlightedText);

    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF bounds = blockBoundingRect(block).translated(offset);
        if (bounds.top() > exposed.bottom()) {
            break;
        }
        offset.ry() += bounds.height();
        if (!block.isVisible() || bounds.bottom() < exposed.top()) {
            continue;
        }
        const QTextLayout* layout = block.layout();
        const QPointF position = bounds.topLeft() + layout->position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const QRectF lineRect = line.rect().translated(position);
            if (lineRect.bottom() < exposed.top() || lineRect.top() > exposed.bottom()) {
                continue;
            }
            if (!PaintLineClipped(painter, block, line, position, exposed, selectionStart,
                                  selectionEnd)) {
                // Whatever the shortcut cannot map (other scripts, fallback
                // fonts, ligatures) is drawn the standard way.
                ++m_standardPaintLines;
                QList<QTextLayout::FormatRange> selections;
                const int blockStart = block.position();
                if (selectionStart >= 0 && selectionEnd > blockStart &&
                    selectionStart < blockStart + block.length()) {
                    QTextLayout::FormatRange range;
                    range.start = std::max(0, selectionStart - blockStart);
                    range.length =
                        std::min(block.length(), selectionEnd - blockStart) - range.start;
                    range.format.setBackground(highlight);
                    range.format.setForeground(highlightedText);
                    selections.append(range);
                }
                painter.save();
                painter.setClipRect(lineRect);
                layout->draw(&painter, position, selections, lineRect);
                painter.restore();
            }
        }
    }
}

bool TVynRichEdit::PaintLineClipped(QPainter& painter, const QTextBlock& block,
                                    const QTextLine& line, const QPointF& position,
                                    const QRect& exposed, int selectionStart, int selectionEnd) {
    if (block.textDirection() != Qt::LeftToRight) {
        return false;
    }
    const int blockStart = block.position();
    const int lineStart = line.textStart();
    const int lineEnd = lineStart + line.textLength();
    const QString text = block.text();

    // The characters whose glyphs can reach into the exposed columns. Every
    // TAB moves on to at least the next tab stop, so the text after the m-th
    // TAB of a line starts at m tab stops or further right: past the m-th TAB
    // with m stops beyond the exposed right edge nothing can show. Asking
    // the line itself is exact but walks every item before the position.
    const qreal left = exposed.left() - position.x();
    const qreal right = exposed.right() - position.x();
    const int from = left <= line.x() ? lineStart : std::max(lineStart, line.xToCursor(left) - 1);
    int to = lineEnd;
    const qreal stop = tabStopDistance();
    if (stop > 0) {
        // One stop more than needed, whichever origin the stops are counted from.
        const qsizetype tabsToSkip =
            static_cast<qsizetype>(std::max<qreal>(0, right - line.x()) / stop) + 2;
        qsizetype tabs = 0;
        for (int k = lineStart; k < lineEnd; ++k) {
            if (text.at(k) == u'\t' && ++tabs == tabsToSkip) {
                to = k;
                break;
            }
        }
    } else {
        to = std::min(lineEnd, line.xToCursor(right) + 1);
    }
    if (from >= to) {
        return true;
    }

    // Qt shapes a line in items that never cross a TAB or a change of format;
    // for plain Latin text each becomes one glyph run with one glyph per
    // character. Rebuild that segmentation from the fragments to know each
    // run's colour, and give up if the runs turn out otherwise.
    struct Segment {
        int Start;
        int End;
        QColor Color;
        bool Underline;
        bool StrikeOut;
    };
    QVarLengthArray<Segment, 64> segments;
    const QColor defaultText = palette().color(QPalette::Text);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int fragStart = fragment.position() - blockStart;
        const int fragEnd = fragStart + fragment.length();
        if (fragEnd <= from) {
            continue;
        }
        if (fragStart >= to) {
            break;
        }
        const QTextCharFormat format = fragment.charFormat();
        const QBrush brush = format.foreground();
        const QColor color = brush.style() == Qt::NoBrush ? defaultText : brush.color();
        const bool underline = format.fontUnderline();
        const bool strikeOut = format.fontStrikeOut();
        int start = fragStart;
        for (int k = fragStart; k <= fragEnd; ++k) {
            if (k == fragEnd || text.at(k) == u'\t') {
                if (k > start && k > from && start < to) {
                    segments.append({start, k, color, underline, strikeOut});
                }
                start = k + 1;
            }
        }
    }
    if (segments.isEmpty()) {
        return true;
    }
    // Whole items only, so each run maps onto one segment.
    const int runFrom = segments.front().Start;
    const int runTo = segments.back().End;
    QList<QGlyphRun> runs = line.glyphRuns(runFrom, runTo - runFrom);
    if (runs.size() != segments.size()) {
        return false;
    }
    for (qsizetype i = 0; i < runs.size(); ++i) {
        if (runs[i].glyphIndexes().size() != segments[i].End - segments[i].Start) {
            return false;
        }
    }

    const QColor highlightedText = palette().color(QPalette::HighlightedText);
    const int selFrom = selectionStart - blockStart;
    const int selTo = selectionEnd - blockStart;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const Segment& segment = segments[i];
        const bool selected = selectionStart >= 0 && segment.Start < selTo && segment.End > selFrom;
        // Glyph runs carry no decorations of their own here.
        auto decorate = [&] {
            if (!segment.Underline && !segment.StrikeOut) {
                return;
            }
            const QRawFont font = runs[i].rawFont();
            const QRectF glyphs = runs[i].boundingRect().translated(position);
            const qreal baseline = position.y() + runs[i].positions().front().y();
            const qreal thickness = std::max<qreal>(1.0, font.lineThickness());
            if (segment.Underline) {
                painter.fillRect(QRectF(glyphs.left(), baseline + font.underlinePosition(),
                                        glyphs.width(), thickness),
                                 segment.Color);
            }
            if (segment.StrikeOut) {
                painter.fillRect(
                    QRectF(glyphs.left(), baseline - font.xHeight() / 2, glyphs.width(), thickness),
                    segment.Color);
            }
        };
        if (!selected) {
            painter.setPen(segment.Color);
            painter.drawGlyphRun(position, runs[i]);
            decorate();
            continue;
        }
        // A run the selection touches: highlight its selected part and draw
        // the glyphs there in the highlighted text colour.
        const int a = std::max(segment.Start, selFrom);
        const int b = std::min(segment.End, selTo);
        const qreal x1 = line.cursorToX(a);
        const qreal x2 = line.cursorToX(b);
        const QRectF band(position.x() + x1, position.y() + line.y(), x2 - x1, line.height());
        painter.fillRect(band, palette().brush(QPalette::Highlight));
        painter.save();
        painter.setClipRect(band);
        painter.setPen(highlightedText);
        painter.drawGlyphRun(position, runs[i]);
        painter.restore();
        painter.save();
        painter.setClipRegion(QRegion(exposed) - band.toAlignedRect());
        painter.setPen(segment.Color);
        painter.drawGlyphRun(position, runs[i]);
        painter.restore();
        decorate();
    }
    // Selected line breaks and TABs show as highlight too.
    if (selectionStart >= 0 && selFrom < to && selTo > from) {
        for (int k = std::max(from, selFrom); k < std::min(to, selTo); ++k) {
            if (text.at(k) == u'\t') {
                const qreal x1 = line.cursorToX(k);
                const qreal x2 = line.cursorToX(k + 1);
                painter.fillRect(
                    QRectF(position.x() + x1, position.y() + line.y(), x2 - x1, line.height()),
                    palette().brush(QPalette::Highlight));
            }
        }
    }
    return true;
}
