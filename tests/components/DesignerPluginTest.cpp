// The Qt Designer plugin as Designer loads it: every VYN widget in the
// widget box's group "VYN", with its include file, icon and tooltip, made
// through the plugin.

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

#include <QFile>
#include <QPluginLoader>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(DesignerPlugin, PutsEveryVynWidgetInTheWidgetBox) {
    QPluginLoader loader(QStringLiteral(VYN_DESIGNER_PLUGIN));
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    ASSERT_NE(collection, nullptr);
    const struct {
        const char* Name;
        const char* Header;
    } expected[] = {
        {"TVynRichEdit", "VynRichEdit.h"},
        {"TVynMemo", "VynMemo.h"},
        {"TStatusLed", "StatusLed.h"},
        {"TRxTxPanel", "RxTxPanel.h"},
        {"TVynDBEdit", "VynDBEdit.h"},
        {"TVynDBMemo", "VynDBMemo.h"},
        {"TVynDBLookupComboBox", "VynDBLookupComboBox.h"},
        {"TVynRadioButton", "VynRadioButton.h"},
    };
    const QList<QDesignerCustomWidgetInterface*> widgets = collection->customWidgets();
    ASSERT_EQ(widgets.size(), static_cast<qsizetype>(std::size(expected)));
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        QDesignerCustomWidgetInterface* w = widgets[i];
        const std::string name = expected[i].Name;
        SCOPED_TRACE(name);
        EXPECT_EQ(w->name().toStdString(), name);
        EXPECT_EQ(w->group(), QStringLiteral("VYN"));
        EXPECT_EQ(w->includeFile().toStdString(), "<vyn/" + std::string(expected[i].Header) + ">");
        EXPECT_TRUE(QFile::exists(QStringLiteral(MAPWRIGHT_SOURCE_DIR "/components/") +
                                  QString::fromLatin1(expected[i].Header)));
        EXPECT_FALSE(w->icon().isNull());
        EXPECT_FALSE(w->toolTip().isEmpty());
        EXPECT_FALSE(w->isContainer());
        EXPECT_NE(w->domXml().indexOf(QStringLiteral("class=\"%1\"").arg(w->name())), -1);
        const std::unique_ptr<QWidget> made(w->createWidget(nullptr));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(std::string(made->metaObject()->className()), name);
    }
    // The lamp's icon is the green lamp itself: not a blank picture.
    EXPECT_FALSE(widgets[2]->icon().pixmap(16, 16).toImage().allGray());
}

} // namespace
