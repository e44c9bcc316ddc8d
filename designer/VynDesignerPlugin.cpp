#include "VynDesignerPlugin.h"

#include <QPainter>
#include <QPixmap>

#include <utility>

namespace {

// A name for the first instance on a form: "TStatusLed" gives "statusLed".
QString ObjectName(const std::string& className) {
    QString name = QString::fromStdString(
        className.size() > 1 && className[0] == 'T' ? className.substr(1) : className);
    if (!name.isEmpty()) {
        name[0] = name[0].toLower();
    }
    return name;
}

} // namespace

QIcon WidgetBoxIcon(const std::string& className) {
    if (className == "TStatusLed") {
        return QIcon(QStringLiteral(":/bitmaps/LED_GREEN"));
    }
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor frame(90, 90, 90);
    if (className == "TRxTxPanel") {
        p.drawImage(QRect(6, 1, 10, 10), QImage(QStringLiteral(":/bitmaps/LEDSMALL_GREEN")));
        p.drawImage(QRect(6, 11, 10, 10), QImage(QStringLiteral(":/bitmaps/LEDSMALL_WHITE")));
    } else if (className == "TVynRadioButton") {
        p.setPen(frame);
        p.setBrush(QColor(236, 236, 236));
        p.drawEllipse(QRectF(3, 3, 16, 16));
        p.setBrush(frame);
        p.drawEllipse(QRectF(8, 8, 6, 6));
    } else {
        // An edit: a box, text lines inside, and what tells the kinds apart.
        const bool readOnlyKind = className.find("DB") != std::string::npos;
        p.setPen(frame);
        p.setBrush(readOnlyKind ? QColor(255, 255, 225) : QColor(255, 255, 255));
        p.drawRect(QRectF(1.5, 3.5, 19, 15));
        if (className == "TVynDBLookupComboBox" || className == "TVynDBEdit") {
            p.drawLine(QPointF(4, 11), QPointF(className == "TVynDBEdit" ? 18 : 12, 11));
            if (className == "TVynDBLookupComboBox") {
                p.setBrush(frame);
                p.drawPolygon(QPolygonF({QPointF(14, 9), QPointF(19, 9), QPointF(16.5, 13)}));
            }
        } else {
            const QColor lines[] = {QColor(0, 128, 0), QColor(0, 0, 255), QColor(255, 0, 0)};
            const bool coloured = className == "TVynRichEdit";
            for (int i = 0; i < 3; ++i) {
                p.setPen(coloured ? lines[i] : frame);
                p.drawLine(QPointF(4, 7.5 + 4 * i), QPointF(17 - 3 * (i % 2), 7.5 + 4 * i));
            }
        }
    }
    return QIcon(pixmap);
}

TVynWidgetPlugin::TVynWidgetPlugin(TWidgetClass widgetClass, QObject* parent)
    : QObject(parent), m_class(std::move(widgetClass)) {}

QString TVynWidgetPlugin::name() const {
    return QString::fromStdString(m_class.ClassName);
}

QString TVynWidgetPlugin::group() const {
    return QStringLiteral("VYN");
}

QString TVynWidgetPlugin::toolTip() const {
    return QString::fromStdString(m_class.Description);
}

QString TVynWidgetPlugin::whatsThis() const {
    return QString::fromStdString(m_class.ClassName + ": " + m_class.Description +
                                  ". Declared in <vyn/" + m_class.Header + ">.");
}

QString TVynWidgetPlugin::includeFile() const {
    return QString::fromStdString("<vyn/" + m_class.Header + ">");
}

QIcon TVynWidgetPlugin::icon() const {
    return WidgetBoxIcon(m_class.ClassName);
}

QWidget* TVynWidgetPlugin::createWidget(QWidget* parent) {
    return m_class.Create(parent);
}

void TVynWidgetPlugin::initialize(QDesignerFormEditorInterface* /*core*/) {
    m_initialized = true;
}

QString TVynWidgetPlugin::domXml() const {
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n")
        .arg(name(), ObjectName(m_class.ClassName))
        .arg(m_class.DefaultSize.width())
        .arg(m_class.DefaultSize.height());
}

TVynDesignerPlugins::TVynDesignerPlugins(QObject* parent) : QObject(parent) {
    for (const TWidgetClass& widgetClass : WidgetClasses()) {
        m_widgets.append(new TVynWidgetPlugin(widgetClass, this));
    }
}
