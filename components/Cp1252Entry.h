#pragma once
/// \file Cp1252Entry.h
/// What the library's edits whose text is Windows-1252 (TVynMemo) take from
/// the user: only text that has a byte in that code page. (The data-aware
/// edits keep the database's Unicode text as it is and need no such gate.)
/// Typed characters, pasted and dropped text and input-method text that hold
/// a character without one are refused as a whole (nothing of them is taken,
/// so no "?" appears later and nothing is half pasted), and the edit says why
/// in a tooltip at its text cursor: "Not taken: "Ω" (U+03A9) has no
/// Windows-1252 byte". LastRefusal() keeps that text until an entry is taken.
/// `Base` is QPlainTextEdit or QLineEdit, or derived from one. Text set by
/// the program is not checked.
/// GUI thread only.

#include "VynExport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QToolTip>

#include <type_traits>

/// The first character of the text that has no Windows-1252 byte, or 0.
VYN_EXPORT char32_t FirstWithoutCp1252Byte(const QString& text);
/// Why an entry holding that character was not taken.
VYN_EXPORT QString Cp1252RefusalText(char32_t character);

/// An edit (`Base`) that takes only text with Windows-1252 bytes from the
/// user; see the file's description.
template <class Base> class TCp1252Entry : public Base {
    static constexpr bool kPlain = std::is_base_of_v<QPlainTextEdit, Base>;
    static_assert(kPlain || std::is_base_of_v<QLineEdit, Base>);

public:
    using Base::Base;

    /// Why the last entry was refused, or empty when the last was taken.
    const QString& LastRefusal() const { return m_refusal; }

protected:
    /// A typed character or a keyboard paste: refused when it has no byte.
    void keyPressEvent(QKeyEvent* event) override {
        const bool paste = event->matches(QKeySequence::Paste);
        if (Refused(paste ? QApplication::clipboard()->text() : event->text())) {
            event->accept();
            return;
        }
        Base::keyPressEvent(event);
    }

    /// An input method's text: refused when it has no byte.
    void inputMethodEvent(QInputMethodEvent* event) override {
        if (Refused(event->commitString())) {
            event->accept();
            return;
        }
        Base::inputMethodEvent(event);
    }

    /// Dropped text: refused when it has no byte.
    void dropEvent(QDropEvent* event) override {
        const QMimeData* dropped = event->mimeData();
        if (dropped != nullptr && dropped->hasText() && Refused(dropped->text())) {
            event->ignore();
            return;
        }
        Base::dropEvent(event);
    }

    /// A line edit inserts the menu's Paste and the middle button's selection
    /// without an event of its own: they are checked here. A plain-text edit
    /// passes all of its pastes through insertFromMimeData.
    void contextMenuEvent(QContextMenuEvent* event) override {
        if constexpr (kPlain) {
            Base::contextMenuEvent(event);
        } else {
            QMenu* menu = this->createStandardContextMenu();
            if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
                QObject::disconnect(paste, &QAction::triggered, nullptr, nullptr);
                QPointer<TCp1252Entry> self(this);
                QObject::connect(paste, &QAction::triggered, menu, [self] {
                    if (self != nullptr && !self->Refused(QApplication::clipboard()->text())) {
                        self->paste();
                    }
                });
            }
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(event->globalPos());
        }
    }

    /// A line edit's middle-button paste: refused when it has no byte.
    void mouseReleaseEvent(QMouseEvent* event) override {
        if constexpr (!kPlain) {
            if (event->button() == Qt::MiddleButton &&
                Refused(QApplication::clipboard()->text(QClipboard::Selection))) {
                event->accept();
                return;
            }
        }
        Base::mouseReleaseEvent(event);
    }

    /// Refuses the text when it holds a character without a byte, and says
    /// so; otherwise forgets an earlier refusal.
    bool Refused(const QString& text) {
        const char32_t bad = FirstWithoutCp1252Byte(text);
        if (bad == 0) {
            m_refusal.clear();
            return false;
        }
        m_refusal = Cp1252RefusalText(bad);
        QPoint at = this->cursorRect().bottomLeft();
        if constexpr (kPlain) {
            at = this->viewport()->mapToGlobal(at);
        } else {
            at = this->mapToGlobal(at);
        }
        QToolTip::showText(at, m_refusal, this);
        return true;
    }

private:
    QString m_refusal;
};

/// A plain-text edit's paste, from the keyboard, the menu, the middle button
/// or a drop, all come here.
template <class Base> class TCp1252PlainEntry : public TCp1252Entry<Base> {
public:
    using TCp1252Entry<Base>::TCp1252Entry;

protected:
    /// Every paste and drop of a plain-text edit: refused when it has no byte.
    void insertFromMimeData(const QMimeData* source) override {

        if (source != nullptr && source->hasText() && this->Refused(source->text())) {
            return;
        }
        TCp1252Entry<Base>::insertFromMimeData(source);
    }
};
