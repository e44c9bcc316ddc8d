#pragma once
/// \class TFormText TextForm.h <vyn/TextForm.h>
/// TFormText: the window of TTextDlg, laid out afresh each time it is shown
/// (FormShow) from its fields: a caption, up to four lines, an optional icon
/// and one of eight button sets. Modal, every button ends it with its result
/// (OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7) and closing it
/// gives 2, except for the sets without a close command (Abort/Retry/Ignore
/// and Yes/No), which only a button ends. Non-modal, only OK closes it, and
/// it frees itself. The lines are plain text, never markup. Its owner
/// deletes it (TTextDlg deletes the boxes it left up when the application
/// ends). A box never grows beyond the screen's available area:
/// lines too long for it wrap, and text still too high scrolls above the
/// buttons, which stay in view. GUI thread only.

#include "VynExport.h"
#include "ui_FormText.h"

#include <QDialog>
#include <QImage>
#include <QScrollArea>

#include <string>

/// Button results, the common message-box values callers compare with.
///@{
inline constexpr int idOk = 1;
inline constexpr int idCancel = 2;
inline constexpr int idAbort = 3;
inline constexpr int idRetry = 4;
inline constexpr int idIgnore = 5;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;
///@}

class VYN_EXPORT TFormText : public QDialog, public Ui::FormText {
    Q_OBJECT

public:
    /// A hidden, empty box with the four message icons loaded.
    explicit TFormText(QWidget* parent = nullptr);
    ~TFormText() override;

    int ButtonsLeft = 0; ///< where FormShow put the buttons' row, in pixels
    int ButtonsTop = 0;  ///< where FormShow put the buttons' row, in pixels
    ///@{
    /// The message icons (MTERROR, ...), loaded by the constructor.
    QImage IconError;
    QImage IconWarning;
    QImage IconInformation;
    QImage IconConfirmation;
    ///@}
    // What FormShow lays out (TTextDlg::InitDialog copies them in).
    std::string TextCaption; ///< the window title (Windows-1252)
    ///@{
    /// A line of text (Windows-1252); empty lines take no room.
    std::string TextLine1;
    std::string TextLine2;
    std::string TextLine3;
    std::string TextLine4;
    ///@}
    std::string YesString;  ///< the Yes button's caption when not empty
    std::string NoString;   ///< the No button's caption when not empty
    int MinHeight = 0;      ///< the least outer height, in pixels
    int MinWidth = 0;       ///< the least outer width, in pixels
    int DlgType = 0;        ///< the type flags: buttons and icon (TTextDlg)
    int Taal = 0;           ///< the captions' language: 0 English, 1 Dutch
    bool Center = false;    ///< the lines are centred
    int Modal = 0;          ///< nonzero: every button ends the box (exec)
    bool UseDefault = true; ///< the set's first button is the default

    /// Hides the form until it is shown.
    void FormCreate();
    /// The layout; runs each time the form is shown.
    void FormShow();
    /// Frees the form when it closes.
    void FormClose();
    /// The OK button of a non-modal box: closes and frees it.
    void ButtonOKClick();

    /// The button Esc presses in the current set, or nullptr.
    QPushButton* CancelButton() const { return m_cancel; }
    /// Whether the current set lets the window be closed.
    bool CanClose() const;
    /// The window's title-bar buttons for Modal and the set: a close command
    /// only on a modal box whose set has one. Call before showing.
    void ApplyBorderIcons();

    /// Esc: presses the set's Cancel button; nothing in a set without one.
    void reject() override;

protected:
    /// Lays the box out (FormShow) when it is shown.
    void showEvent(QShowEvent* event) override;
    /// The window's close command: 2 for a modal box whose set has one,
    /// refused otherwise (a non-modal box closes by its OK button only).
    void closeEvent(QCloseEvent* event) override;

private:
    void ButtonClick(int result);

    QPushButton* m_cancel = nullptr;
    bool m_closingByOk = false;
    /// Holds the labels when their text is higher than the screen allows.
    QScrollArea* m_scroll = nullptr;
};

/// The button captions in English (taal 0) and Dutch (1), Windows-1252:
/// "OK", "Cancel", "&Yes", "&No", "&Retry", "&Abort", "&Ignore" by result
/// order OK 1 ... No 7 (index = result).
VYN_EXPORT const char* TextDlgButtonCaption(int result, int taal);
