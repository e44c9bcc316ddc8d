// The gallery as a user works it: message boxes, language, grid and export.

#include "Gallery.h"

#include "TextForm.h"
#include "VynDBEdit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>

#include <memory>

namespace {

class Gallery : public testing::Test {
protected:
    Gallery() : gallery(std::make_unique<TGallery>()) {
        gallery->show();
        QApplication::processEvents();
    }
    ~Gallery() override {
        // The boxes left up go with the test.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<TFormText*>(window)) {
                delete box;
            }
        }
    }
    void ChooseButtons(const QString& set) {
        auto* sets = gallery->findChildren<QComboBox*>().front();
        sets->setCurrentIndex(sets->findText(set));
    }
    QString Result() const { return gallery->MessageResult->text(); }

    std::unique_ptr<TGallery> gallery;
};

TEST_F(Gallery, NonModalBoxesStandApartAndSayWhatClosesThem) {
    ChooseButtons(QStringLiteral("OK"));
    gallery->ShowNonModal();
    QPointer<TFormText> first = gallery->Message().Form;
    gallery->ShowNonModal();
    QPointer<TFormText> second = gallery->Message().Form;
    ASSERT_TRUE(first != nullptr && second != nullptr && first != second);
    EXPECT_EQ(second->pos(), first->pos() + QPoint(24, 24));
    EXPECT_EQ(Result(), QStringLiteral("Non-modal box 2 up (Show returned 1): its OK closes it"));
    second->ButtonOK->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second == nullptr);
    EXPECT_EQ(Result(), QStringLiteral("Non-modal box 2 closed with OK"));
    // A set without OK: the line says how the box goes.
    ChooseButtons(QStringLiteral("Yes, No"));
    gallery->ShowNonModal();
    EXPECT_EQ(Result(), QStringLiteral("Non-modal box 3 up (Show returned 1): no OK, only Hide "
                                       "removes it"));
    EXPECT_EQ(gallery->Message().Form->pos(), first->pos() + QPoint(24, 24));
}

TEST_F(Gallery, LanguageSwitchesTheCaptionsAndTheDialogsButKeepsResults) {
    ChooseButtons(QStringLiteral("OK"));
    gallery->ShowNonModal();
    const QString result = Result();
    gallery->ApplyLanguage(1);
    EXPECT_EQ(gallery->windowTitle(), QStringLiteral("VYN-componenten"));
    EXPECT_EQ(gallery->LanguageLine->text(), QStringLiteral("Taal: Nederlands"));
    EXPECT_EQ(Result(), result); // each line its own
    EXPECT_EQ(gallery->SerialSetup().Taal, 1);
    EXPECT_EQ(gallery->Message().Taal, 1);
    int dutch = 0;
    for (QPushButton* button : gallery->findChildren<QPushButton*>()) {
        dutch += button->text() == QStringLiteral("Taal...") ||
                 button->text() == QString::fromUtf8("Seri\xC3\xABle instellingen...");
    }
    EXPECT_EQ(dutch, 2);
    gallery->ApplyLanguage(0);
    EXPECT_EQ(gallery->LanguageLine->text(), QStringLiteral("Language: English"));
    EXPECT_EQ(gallery->SerialSetup().Taal, 0);
}

// Where the gallery does not fit the screen's available area (a laptop's),
// it scrolls in a window that does; where it fits, it is the window itself.
TEST(GalleryOnScreens, ScrollsWhereItDoesNotFit) {
    for (const QSize screen : {QSize(1366, 768 - 32), QSize(1280, 720 - 32), QSize(1920, 1200)}) {
        auto* gallery = new TGallery;
        const std::unique_ptr<QWidget> window(GalleryWindow(gallery, QRect(QPoint(0, 0), screen)));
        const QSize least = gallery->minimumSizeHint();
        const bool fits =
            least.width() + 16 <= screen.width() && least.height() + 48 <= screen.height();
        EXPECT_EQ(window.get() == gallery, fits) << screen.width() << "x" << screen.height();
        if (!fits) {
            window->show();
            QApplication::processEvents();
            EXPECT_LE(window->height() + 48, screen.height());
            EXPECT_GE(gallery->height(), least.height()); // scrolled, not squeezed
            EXPECT_EQ(window->windowTitle(), QStringLiteral("VYN components"));
            gallery->ApplyLanguage(1);
            EXPECT_EQ(window->windowTitle(), QStringLiteral("VYN-componenten"));
        }
    }
}

// The test program sits in the build tree's bin/, beside the built reference.

TEST_F(Gallery, LinksTheApiReferenceInEitherLanguage) {
    const QString index = ReferenceIndexPath();
    ASSERT_TRUE(index.endsWith(QStringLiteral("/docs/reference/html/index.html")))
        << index.toStdString();
    EXPECT_TRUE(gallery->ReferenceLink->text().startsWith(
        QStringLiteral("API reference: <a href=\"file://")));
    gallery->ApplyLanguage(1);
    EXPECT_TRUE(gallery->ReferenceLink->text().startsWith(QStringLiteral("API-naslag: <a href=")));
    EXPECT_TRUE(gallery->ReferenceLink->text().contains(index.toHtmlEscaped()));
}

TEST_F(Gallery, GridShowsEveryRecordAndColumn) {
    TDBGrid* grid = gallery->Grid;
    const int rows = grid->model()->rowCount();
    ASSERT_EQ(rows, 3);
    EXPECT_GE(grid->viewport()->height(), rows * grid->verticalHeader()->defaultSectionSize());
    EXPECT_LE(grid->horizontalHeader()->length(), grid->viewport()->width());
}

TEST_F(Gallery, ExportSaysWhyItFailedAndRemembersTheFolder) {
    TempDir dir;
    const QString folder = QString::fromStdString(dir.Path());
    EXPECT_NE(gallery->SaveFolder(), QDir::tempPath());
    const QString missing = folder + QStringLiteral("/gone/pumps.txt");
    gallery->SaveExport(missing, false);
    EXPECT_EQ(gallery->ExportStatus->text(),
              QStringLiteral("Could not write %1: No such file or directory").arg(missing));
    gallery->SaveExport(folder + QStringLiteral("/pumps.csv"), true);
    EXPECT_EQ(gallery->ExportStatus->text(), QStringLiteral("Saved %1/pumps.csv").arg(folder));
    EXPECT_EQ(gallery->SaveFolder(), folder);
    // A folder name with a character beyond ASCII is the folder meant.
    const QString accented = folder + QString::fromUtf8("/caf\xC3\xA9");
    ASSERT_TRUE(QDir().mkpath(accented));
    gallery->SaveExport(accented + QStringLiteral("/pumps.txt"), false);
    EXPECT_TRUE(QFile::exists(accented + QStringLiteral("/pumps.txt")))
        << gallery->ExportStatus->text().toStdString();
    EXPECT_TRUE(TGallery::SaveFilter(true).startsWith(QStringLiteral("CSV files (*.csv)")));
    EXPECT_TRUE(TGallery::SaveFilter(false).startsWith(QStringLiteral("Text files (*.txt)")));
}

// A name the table refuses: the gallery goes on and says why.
TEST_F(Gallery, ShowsAWriteTheDatabaseRefused) {
    auto* name = gallery->findChildren<TVynDBEdit*>().front();
    name->setText(QStringLiteral("much too long a name"));
    name->setModified(true);
    emit name->editingFinished();
    EXPECT_TRUE(gallery->ExportStatus->text().startsWith(QStringLiteral("Not stored: ")));
    EXPECT_TRUE(gallery->ExportStatus->text().contains(QStringLiteral("CHECK constraint")));
    EXPECT_EQ(name->text(), QStringLiteral("much too long a name"));
}

} // namespace
