#pragma once
// TExplainPanel: the explanation of one cell, shown on a page of the window
// right under the report or heat map it explains, which gives up the
// panel's height while it is shown. The text is the command line's
// `mapwright explain`, one step a line, selectable and copyable. GUI thread
// only.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

class TExplainPanel : public QWidget {
    Q_OBJECT

public:
    explicit TExplainPanel(QWidget* parent = nullptr);

    QLabel* LabelExplainHeading = nullptr;
    QPlainTextEdit* TextExplain = nullptr;
    QToolButton* ButtonCloseExplain = nullptr;

    // Shows the panel on `page` under `beside`, a child of the page laid
    // out by its anchors or by the page itself; a widget it was under before
    // gets its height back.
    void ShowUnder(QWidget* page, QWidget* beside);
    // Hides the panel and gives the widget its height back.
    void HideAway();
    QWidget* Beside() const { return m_beside; }
    // The panel's height on the page.
    int PanelHeight() const;

    void SetExplanation(const QString& heading, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Release();
    void Place();
    // Makes the page lay out its children again for its size.
    static void ResendResize(QWidget* page);

    QPointer<QWidget> m_page;
    QPointer<QWidget> m_beside;
    int m_bottomGap = 0; // from the widget's bottom to the page's, unclamped
    int m_rightGap = 0;  // from its right edge to the page's
};
