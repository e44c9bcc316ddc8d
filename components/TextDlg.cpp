#include "TextDlg.h"

#include "Fonts.h"
#include "Palette.h"
#include "QtColor.h"
#include "TextForm.h"
#include "VynExport.h"

#include <QCoreApplication>

#include <algorithm>
#include <exception>
#include <memory>

namespace Textdlg {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TTextDlg"});
}
} // namespace Textdlg

TTextDlg::TTextDlg(QObject* owner) : QObject(owner) {}

void TTextDlg::InitDialog(std::string caption, std::string line1, std::string line2,
                          std::string line3, std::string line4, int type) {
    Taal = std::clamp(Taal, 0, 1);
    TFormText* const form = Form.data();
    if (form == nullptr) {
        return;
    }
    form->TextCaption = std::move(caption);
    form->TextLine1 = std::move(line1);
    form->TextLine2 = std::move(line2);
    form->TextLine3 = std::move(line3);
    form->TextLine4 = std::move(line4);
    form->YesString = YesString;
    form->NoString = NoString;
    form->MinHeight = MinHeight;
    form->MinWidth = MinWidth;
    form->DlgType = type;
    form->Taal = Taal;
    form->Center = Center;
    form->UseDefault = UseDefault;
    if (Color == TColor{0}) {
        Color = clBtnFace;
    }
    form->setAutoFillBackground(true);
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, ToQColor(Color, palette));
    form->setPalette(palette);
    for (QLabel* label : {form->Label1, form->Label2, form->Label3, form->Label4}) {
        QFont font = DialogFont();
        font.setPointSize(FontSize);
        font.setBold(FontStyle.Contains(TFontStyle::fsBold));
        font.setItalic(FontStyle.Contains(TFontStyle::fsItalic));
        font.setUnderline(FontStyle.Contains(TFontStyle::fsUnderline));
        font.setStrikeOut(FontStyle.Contains(TFontStyle::fsStrikeOut));
        label->setFont(font);
        QPalette text = label->palette();
        text.setColor(QPalette::WindowText, ToQColor(FontColor, text));
        label->setPalette(text);
    }
}

int TTextDlg::ShowModal(int type, std::string caption, std::string line1, std::string line2,
                        std::string line3, std::string line4) {
    // The form is deleted here, once, however the box ended; a form that
    // went by itself meanwhile is not deleted again.
    auto* const form = new TFormText;
    const QPointer<TFormText> alive(form);
    Form = form;
    // Filled before the box's event loop runs, so that nothing can be thrown
    // inside it; a box that cannot be filled is not shown.
    try {
        InitDialog(std::move(caption), std::move(line1), std::move(line2), std::move(line3),
                   std::move(line4), type);
        form->Modal = 1;
        form->ApplyBorderIcons();
    } catch (const std::exception&) {
        delete form;
        return idCancel;
    }
    const int result = form->exec();
    delete alive.data();
    // exec gives 0 when the box went without a button (closed by the
    // program): the close result.
    return result == 0 ? idCancel : result;
}

int TTextDlg::ShowModal(std::string text, std::string caption, int type) {
    return ShowModal(type, std::move(caption), std::move(text), "", "", "");
}

int TTextDlg::MessageBoxA(std::string text, std::string caption, int type) {
    return ShowModal(type, std::move(caption), std::move(text), "", "", "");
}

int TTextDlg::Show(int type, std::string caption, std::string line1, std::string line2,
                   std::string line3, std::string line4) {
    // Each call makes a new box; an earlier one stays up on its own.
    auto* form = new TFormText;
    Form = form;
    try {
        InitDialog(std::move(caption), std::move(line1), std::move(line2), std::move(line3),
                   std::move(line4), type);
        form->Modal = 0;
        form->ApplyBorderIcons();
    } catch (const std::exception&) {
        delete form;
        return idCancel;
    }
    // A box left up belongs to the application, and goes when it ends.
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, form,
                [form] { delete form; });
    }
    if (!form->isVisible()) {
        form->show();
    }
    return idOk;
}

int TTextDlg::Show(std::string text, std::string caption, int type) {
    return Show(type, std::move(caption), std::move(text), "", "", "");
}

void TTextDlg::Hide() {
    if (Form != nullptr) {
        Form->hide();
    }
}

void TTextDlg::SetFontStyleProperty(TFontStyleFlags flags) {
    TFontStyles styles;
    for (const TFontStyle style : {TFontStyle::fsBold, TFontStyle::fsItalic,
                                   TFontStyle::fsUnderline, TFontStyle::fsStrikeOut}) {
        if (flags.testFlag(static_cast<TFontStyleFlag>(style))) {
            styles += style;
        }
    }
    FontStyle = styles;
}
