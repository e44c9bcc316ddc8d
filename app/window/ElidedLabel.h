#pragma once
// TElidedLabel: a one-line label that shows as much of its text as fits,
// ending in "…" when it does not, and the whole text in its tooltip (with any
// details added below it). It elides again whenever its width changes.

#include <QLabel>
#include <QResizeEvent>

class TElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit TElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
    }

    // Sets the whole text; returns false (and does nothing) when both are
    // unchanged, so that a caller may call it on every keystroke.
    bool SetFullText(const QString& text, const QString& details = {}) {
        const QString tip = details.isEmpty() ? text : text + QStringLiteral("\n\n") + details;
        if (text == m_full && tip == toolTip()) {
            return false;
        }
        m_full = text;
        setToolTip(tip);
        Elide();
        return true;
    }
    const QString& FullText() const { return m_full; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        if (event->size().width() != event->oldSize().width()) {
            Elide();
        }
    }

private:
    void Elide() { setText(fontMetrics().elidedText(m_full, Qt::ElideRight, width())); }

    QString m_full;
};
