#pragma once
/// \class TVynRichEdit VynRichEdit.h <vyn/VynRichEdit.h>
/// TVynRichEdit: a read-mostly output view that only ever appends at its end.
/// Each appended run carries a colour, a style set and optionally a font name
/// and size. On top of that it prints formatted text, text with inline colour
/// codes ("[R]red[/]", see ColorCodeParser.h) and debug lines with a prefix of
/// time, level, module and line number, filtered by DebugLevel. It keeps at
/// most MaxLines lines by deleting the oldest before every append.
///
/// All text arguments are Windows-1252 bytes. GUI thread only. Nothing
/// reports failure: formatted text longer than 999 characters is cut, codes
/// that are not codes are printed as text.
///
/// Built on QPlainTextEdit: its document holds per-run colour, style, font
/// family and size like a rich-text control, while its line-by-line layout
/// only lays out what is shown, which keeps whole reports cheap to print.
/// Undo is off: an output view has nothing to undo.

#include "Color.h"
#include "FontStyles.h"
#include "QtColor.h"
#include "VynExport.h"

#include <QPlainTextEdit>

#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QTextBlock;
class QTextLine;

class VYN_EXPORT TVynRichEdit : public QPlainTextEdit {
    Q_OBJECT
    // The published properties, for Qt's property system and Qt Designer;
    // each reads and writes the field of its name. Colours are QColor there.
    Q_PROPERTY(int DebugLevel MEMBER DebugLevel)
    Q_PROPERTY(bool ShowTime MEMBER ShowTime)
    Q_PROPERTY(bool ShowTimeHund MEMBER ShowTimeHund)
    Q_PROPERTY(bool ShowLevel MEMBER ShowLevel)
    Q_PROPERTY(bool ShowModule MEMBER ShowModule)
    Q_PROPERTY(bool ShowLinenr MEMBER ShowLinenr)
    Q_PROPERTY(int MaxLines MEMBER MaxLines)
    Q_PROPERTY(bool SuppressAnsi MEMBER SuppressAnsi)
    Q_PROPERTY(bool EnableColors MEMBER EnableColors)
    Q_PROPERTY(
        QColor ColorComment READ ColorCommentProperty WRITE setColorComment RESET ResetColorComment)
    Q_PROPERTY(QColor ColorRx READ ColorRxProperty WRITE setColorRx RESET ResetColorRx)
    Q_PROPERTY(QColor ColorTx READ ColorTxProperty WRITE setColorTx RESET ResetColorTx)
    Q_PROPERTY(
        QColor ColorWarning READ ColorWarningProperty WRITE setColorWarning RESET ResetColorWarning)
    Q_PROPERTY(QColor ColorError READ ColorErrorProperty WRITE setColorError RESET ResetColorError)
    Q_PROPERTY(QColor ColorTimestamp READ ColorTimestampProperty WRITE setColorTimestamp RESET
                   ResetColorTimestamp)

public:
    /// An empty, read-write view with the default properties.
    explicit TVynRichEdit(QWidget* parent = nullptr);

    // Published properties. Plain fields: a change affects later prints only.
    int DebugLevel = 1;        ///< debug lines above this level are not printed
    bool ShowTime = true;      ///< debug lines begin with the local time
    bool ShowTimeHund = false; ///< the time has hundredths of a second
    bool ShowLevel = false;    ///< the prefix has the line's level
    bool ShowModule = false;   ///< the prefix has the module name
    bool ShowLinenr = false;   ///< the prefix has the line number
    int MaxLines = 1000;       ///< the most lines kept; 0: no limit
    bool SuppressAnsi = false; ///< ANSI escape sequences are dropped
    bool EnableColors = false; ///< colour codes ("[R]...[/]") are obeyed
    ///@{
    /// The colour of a message type (see Type2Color).
    TColor ColorComment = clGreen;
    TColor ColorRx = clBlack;
    TColor ColorTx = clBlue;
    TColor ColorWarning = clMaroon;
    TColor ColorError = clRed;
    TColor ColorTimestamp = clPurple;
    ///@}

    ///@{
    /// Setters of the names uic calls for a form's properties.
    void setDebugLevel(int value) { DebugLevel = value; }
    void setShowTime(bool value) { ShowTime = value; }
    void setShowTimeHund(bool value) { ShowTimeHund = value; }
    void setShowLevel(bool value) { ShowLevel = value; }
    void setShowModule(bool value) { ShowModule = value; }
    void setShowLinenr(bool value) { ShowLinenr = value; }
    void setMaxLines(int value) { MaxLines = value; }
    void setSuppressAnsi(bool value) { SuppressAnsi = value; }
    void setEnableColors(bool value) { EnableColors = value; }
    ///@}
    ///@{
    /// The colour properties' accessors: read, write (as the field) and reset
    /// to the default, as QColor.
    QColor ColorCommentProperty() const { return PropertyColor(ColorComment); }
    void setColorComment(const QColor& color) { ColorComment = FromQColor(color); }
    void ResetColorComment() { ColorComment = clGreen; }
    QColor ColorRxProperty() const { return PropertyColor(ColorRx); }
    void setColorRx(const QColor& color) { ColorRx = FromQColor(color); }
    void ResetColorRx() { ColorRx = clBlack; }
    QColor ColorTxProperty() const { return PropertyColor(ColorTx); }
    void setColorTx(const QColor& color) { ColorTx = FromQColor(color); }
    void ResetColorTx() { ColorTx = clBlue; }
    QColor ColorWarningProperty() const { return PropertyColor(ColorWarning); }
    void setColorWarning(const QColor& color) { ColorWarning = FromQColor(color); }
    void ResetColorWarning() { ColorWarning = clMaroon; }
    QColor ColorErrorProperty() const { return PropertyColor(ColorError); }
    void setColorError(const QColor& color) { ColorError = FromQColor(color); }
    void ResetColorError() { ColorError = clRed; }
    QColor ColorTimestampProperty() const { return PropertyColor(ColorTimestamp); }
    void setColorTimestamp(const QColor& color) { ColorTimestamp = FromQColor(color); }
    void ResetColorTimestamp() { ColorTimestamp = clPurple; }
    ///@}

    /// The colour of a message type: 0 comment, 1 received, 2 transmitted,
    /// 3 warning, 4 error, 5 timestamp; any other type is black.
    TColor Type2Color(int type) const;

    /// Appends one run. An empty font name keeps the current font name; a size
    /// of 0 or less keeps the current size.
    void DoPrint(TColor color, const char* fontName, int size, TFontStyles style, const char* text);
    /// Appends one run in the current font.
    void DoPrint(TColor color, const char* text);
    /// Appends the runs of a text with colour codes (when EnableColors) and
    /// ANSI sequences (dropped when SuppressAnsi).
    void DoPrint(const char* text);

    /// One debug line: the prefix, the text without its trailing line breaks in
    /// the colour of its type, then one line break. Nothing when the level is
    /// above DebugLevel or the text is empty.
    void DoPrintDebug(const char* module, int line, int type, int level, const char* text);
    /// The same with the text parsed for colour codes; the type is ignored.
    void DoPrintDebugColor(const char* module, int line, int type, int level, const char* text);
    /// The debug prefix alone.
    void PrintTimestamp(const char* module, int line, int level);

    /// Deletes lines from the top until at most MaxLines are left.
    void RemoveOldestLines();

    ///@{
    /// Formats (printf, at most 999 characters) and appends: one run in the
    /// colour, font and style given, in the colour of a message type, or
    /// (without either) parsed for colour codes as DoPrint(text).
    void PrintText(TColor color, const char* fontName, int size, TFontStyles style,
                   const char* format, ...) __attribute__((format(printf, 6, 7)));
    void PrintText(TColor color, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void PrintText(int type, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void PrintText(const char* format, ...) __attribute__((format(printf, 2, 3)));
    ///@}
    /// Appends the text as DoPrint(text), not formatted.
    void PrintText(char* text);
    /// Appends the text as DoPrint(text), not formatted and not cut.
    void PrintText(const std::string& text);

    ///@{
    /// Formats (printf) and prints one debug line as DoPrintDebug. Left out:
    /// the module (empty), the line (0), the level (0) and the type (0).
    void PrintDebug(const char* module, int line, int type, int level, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    void PrintDebug(int type, int level, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    void PrintDebug(int type, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void PrintDebug(const char* format, ...) __attribute__((format(printf, 2, 3)));
    ///@}

    ///@{
    /// Formats (printf) and prints one debug line as DoPrintDebugColor, with
    /// the same defaults as PrintDebug.
    void PrintDebugColor(const char* module, int line, int type, int level, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    void PrintDebugColor(int type, int level, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    void PrintDebugColor(int type, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void PrintDebugColor(const char* format, ...) __attribute__((format(printf, 2, 3)));
    ///@}

    /// Empties the view.
    void Clear();

    /// The whole text as Windows-1252 with CR LF line ends.
    std::string Text() const;

    /// With this on, texts printed through the colour-code parser while the
    /// view is hidden are kept and only put into the document when the view is
    /// shown, when Text() is read or when anything else is printed, in their
    /// order and with the settings they were printed with, so the result is the
    /// same. A window that reprints many views that are not on screen saves
    /// the work. Off by default: while it is on, the document itself (as Qt's
    /// own accessors show it) of a hidden view can lag behind Text().
    void SetDeferWhileHidden(bool defer);
    /// Whether hidden prints are deferred (SetDeferWhileHidden).
    bool GetDeferWhileHidden() const { return m_deferWhileHidden; }

    /// How many lines the last paint of a read-only view had to draw the
    /// standard, unclipped way (text the clipped way cannot map). Diagnostic.
    int StandardPaintLines() const { return m_standardPaintLines; }

protected:
    /// Keeps the font unshaped and unkerned when it is changed.
    void changeEvent(QEvent* event) override;
    /// Puts the prints deferred while hidden into the document.
    void showEvent(QShowEvent* event) override;

    /// Read-only views paint only the glyphs of each line that fall into the
    /// exposed columns: unwrapped report lines are mostly outside the viewport.
    /// Editable views paint as usual (caret, input method).
    void paintEvent(QPaintEvent* event) override;

private:
    struct TDeferredPrint {
        std::string Text;
        bool EnableColors;
        bool SuppressAnsi;
        int MaxLines;
    };

    void FlushDeferred();
    void AppendParsedNow(std::string_view text);
    void UseFastFont();
    bool PaintLineClipped(QPainter& painter, const QTextBlock& block, const QTextLine& line,
                          const QPointF& position, const QRect& exposed, int selectionStart,
                          int selectionEnd);
    void AppendParsed(std::string_view text);
    void PrintDebugLine(const char* module, int line, int type, int level, const char* text,
                        bool parse);

    int m_standardPaintLines = 0;
    bool m_deferWhileHidden = false;
    std::vector<TDeferredPrint> m_deferred;
};
