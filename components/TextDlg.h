#pragma once
/// \class TTextDlg TextDlg.h <vyn/TextDlg.h>
/// TTextDlg: a message box with a caption, up to four lines, an optional icon
/// and one of eight button sets, captions in English (Taal 0) or Dutch (1).
/// Type flags, the common message-box numbering: the low four bits pick
/// the buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel,
/// 4 Yes/No, 5 Retry/Cancel, 8 Yes/Retry/No, 15 none; others OK), bits 4 to 7
/// the icon (0x10 error, 0x20 confirmation, 0x30 warning, 0x40 information;
/// 0x50 and up a blank icon column). Results: OK 1, Cancel 2, Abort 3, Retry
/// 4, Ignore 5, Yes 6, No 7.
///
/// ShowModal returns the pressed button (2 when the window was closed or
/// anything failed). Show leaves a box up until its OK button and returns at
/// once (1, or 2 on failure); Hide hides the box of the last Show. Form is the
/// window of the most recent call while it exists, and null once it is gone.
/// Texts are Windows-1252. GUI thread only.

#include "Color.h"
#include "FontStyles.h"
#include "QtColor.h"
#include "QtText.h"
#include "VynExport.h"

#include <QObject>
#include <QPointer>

#include <string>

class TFormText;

class VYN_EXPORT TTextDlg : public QObject {
    Q_OBJECT
    // The published properties, for Qt's property system: each reads and
    // writes its field (texts as Windows-1252; colours as QColor, system
    // colours as the application's palette shows them; FontStyle as flags).
    Q_PROPERTY(QColor Color READ ColorProperty WRITE SetColorProperty RESET ResetColor)
    Q_PROPERTY(int MinHeight MEMBER MinHeight)
    Q_PROPERTY(int MinWidth MEMBER MinWidth)
    Q_PROPERTY(int Taal MEMBER Taal)
    Q_PROPERTY(bool Center MEMBER Center)
    Q_PROPERTY(int FontSize MEMBER FontSize)
    Q_PROPERTY(TFontStyleFlags FontStyle READ FontStyleProperty WRITE SetFontStyleProperty)
    Q_PROPERTY(
        QColor FontColor READ FontColorProperty WRITE SetFontColorProperty RESET ResetFontColor)
    Q_PROPERTY(QString YesString READ YesStringProperty WRITE SetYesStringProperty)
    Q_PROPERTY(QString NoString READ NoStringProperty WRITE SetNoStringProperty)
    Q_PROPERTY(bool UseDefault MEMBER UseDefault)

public:
    /// TFontStyles for the property system.
    enum TFontStyleFlag { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TFontStyleFlags, TFontStyleFlag)
    Q_FLAG(TFontStyleFlags)

public:
    /// A dialog with the default properties; it shows nothing until called.
    explicit TTextDlg(QObject* owner = nullptr);

    // Published properties, read when a box is shown.
    TColor Color = clBtnFace;        ///< the box's background; 0 becomes clBtnFace
    int MinHeight = 0;               ///< the least outer height, in pixels
    int MinWidth = 0;                ///< the least outer width, in pixels
    int Taal = 0;                    ///< the captions' language, clamped to 0..1
    bool Center = false;             ///< the lines are centred, else left-aligned
    int FontSize = 8;                ///< the lines' size, in points
    TFontStyles FontStyle;           ///< the lines' styles
    TColor FontColor = clWindowText; ///< the lines' colour
    std::string YesString;           ///< the Yes button's caption when not empty
    std::string NoString;            ///< the No button's caption when not empty
    bool UseDefault = true;          ///< the set's first button is the default (Enter)

    ///@{
    /// The accessors of the Qt properties that are no plain fields: colours
    /// as QColor (reset to clBtnFace, clWindowText), FontStyle as flags,
    /// YesString and NoString as QString.
    QColor ColorProperty() const { return PropertyColor(Color); }
    void SetColorProperty(const QColor& color) { Color = FromQColor(color); }
    void ResetColor() { Color = clBtnFace; }
    QColor FontColorProperty() const { return PropertyColor(FontColor); }
    void SetFontColorProperty(const QColor& color) { FontColor = FromQColor(color); }
    void ResetFontColor() { FontColor = clWindowText; }
    TFontStyleFlags FontStyleProperty() const { return TFontStyleFlags(FontStyle.Bits()); }
    void SetFontStyleProperty(TFontStyleFlags flags);
    QString YesStringProperty() const { return ToQString(YesString); }
    void SetYesStringProperty(const QString& text) { YesString = FromQString(text); }
    QString NoStringProperty() const { return ToQString(NoString); }
    void SetNoStringProperty(const QString& text) { NoString = FromQString(text); }
    ///@}

    /// The window of the most recent call while it exists.
    QPointer<TFormText> Form;

    /// Shows a modal box of `type` (see above) and returns the button
    /// pressed: 2 when the window was closed or could not be shown.
    int ShowModal(int type, std::string caption, std::string line1, std::string line2,
                  std::string line3, std::string line4);
    ///@{
    /// ShowModal with one line.
    int ShowModal(std::string text, std::string caption, int type);
    int MessageBoxA(std::string text, std::string caption, int type);
    ///@}
    /// Shows a box that stays up until its OK button and returns at once: 1,
    /// or 2 when it could not be shown. Each call makes a new box.
    int Show(int type, std::string caption, std::string line1, std::string line2, std::string line3,
             std::string line4);
    /// Show with one line.
    int Show(std::string text, std::string caption, int type);

    /// Hides the box of the last Show; nothing when it is gone or there is
    /// none.
    void Hide();
    /// Copies the call and the properties into Form.
    void InitDialog(std::string caption, std::string line1, std::string line2, std::string line3,
                    std::string line4, int type);
};
