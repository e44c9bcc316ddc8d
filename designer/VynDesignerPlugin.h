#pragma once
// The VYN widgets in Qt Designer's widget box, group "VYN": one entry for
// every class of WidgetClasses() (the library's component list), with its
// icon, tooltip, include file <vyn/Header.h> and size on a form. Designer
// loads this collection from its plugins folder (designer/).

#include "WidgetClasses.h"

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

class TVynWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    TVynWidgetPlugin(TWidgetClass widgetClass, QObject* parent);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return m_initialized; }
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

private:
    TWidgetClass m_class;
    bool m_initialized = false;
};

class TVynDesignerPlugins : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit TVynDesignerPlugins(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return m_widgets; }

private:
    QList<QDesignerCustomWidgetInterface*> m_widgets;
};

// The icon of a class in the widget box: the lamps' own images for the
// lamps, small drawings of the control for the rest.
QIcon WidgetBoxIcon(const std::string& className);
