#include "Anchors.h"

#include <QEvent>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <algorithm>

#include <vector>

namespace {

struct TAnchored {
    QPointer<QWidget> Control;
    unsigned Anchors;
    QRect Designed;
    QSize DesignedParent;
};

// Lives as a child of the parent and follows its resize events.
class TAnchorKeeper : public QObject {
public:
    static constexpr const char* kName = "mapwright-anchor-keeper";

    explicit TAnchorKeeper(QWidget* parent) : QObject(parent) {
        setObjectName(QString::fromLatin1(kName));
        parent->installEventFilter(this);
    }

    void Add(const TAnchored& anchored) {
        m_anchored.push_back(anchored);
        Place(m_anchored.back(), static_cast<QWidget*>(parent())->size());
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Resize) {
            const QSize size = static_cast<QWidget*>(parent())->size();
            for (const TAnchored& a : m_anchored) {
                Place(a, size);
            }
        }
        return false;
    }

private:
    static void Place(const TAnchored& a, QSize parentSize) {
        if (a.Control == nullptr) {
            return;
        }
        QRect r = a.Designed;
        const int rightMargin = a.DesignedParent.width() - a.Designed.right() - 1;
        const int bottomMargin = a.DesignedParent.height() - a.Designed.bottom() - 1;
        if ((a.Anchors & akRight) != 0) {
            if ((a.Anchors & akLeft) != 0) {
                r.setWidth(std::max(0, parentSize.width() - rightMargin - r.left()));
            } else {
                r.moveLeft(parentSize.width() - rightMargin - r.width());
            }
        }
        if ((a.Anchors & akBottom) != 0) {
            if ((a.Anchors & akTop) != 0) {
                r.setHeight(std::max(0, parentSize.height() - bottomMargin - r.top()));
            } else {
                r.moveTop(parentSize.height() - bottomMargin - r.height());
            }
        }
        a.Control->setGeometry(r);
    }

    std::vector<TAnchored> m_anchored;
};

} // namespace

void SetAnchors(QWidget* control, unsigned anchors, QSize designedParentSize) {
    QWidget* parent = control->parentWidget();
    if (parent == nullptr) {
        return;
    }
    // Found by name: the keeper has no meta-object of its own to cast by.
    auto* keeper = static_cast<TAnchorKeeper*>(parent->findChild<QObject*>(
        QString::fromLatin1(TAnchorKeeper::kName), Qt::FindDirectChildrenOnly));
    if (keeper == nullptr) {
        keeper = new TAnchorKeeper(parent);
    }
    keeper->Add({control, anchors, control->geometry(), designedParentSize});
}
