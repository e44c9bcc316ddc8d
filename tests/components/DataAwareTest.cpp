#include "PrintDBGrid.h"
#include "VynDBEdit.h"
#include "VynDBLookupComboBox.h"
#include "VynDBMemo.h"
#include "VynRadioButton.h"

#include "QtColor.h"
#include "QtText.h"
#include "support/SqliteFile.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSqlQuery>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>

#include <functional>
#include <memory>
#include <vector>

namespace {

QRgb System(QWidget* w, TColor color) {
    return ToQColor(color, QApplication::palette(w)).rgb() & 0xFFFFFF;
}
QRgb Shown(QWidget* w) {
    return w->palette().color(QPalette::Base).rgb() & 0xFFFFFF;
}

// The colour rules of the edit controls as call sequences: each step and the
// colour it leaves on screen.
template <class Edit> void CheckColourRules(Edit& e, TColor initialRO) {
    const struct {
        const char* What;
        std::function<void()> Step;
        TColor Expected;
    } steps[] = {
        {"new", [] {}, clWindow},
        {"read-only", [&] { e.SetReadOnly(true); }, initialRO},
        {"Color while read-only", [&] { e.SetColorRW(clYellow); }, initialRO},
        {"editable again", [&] { e.SetReadOnly(false); }, clYellow},
        {"disabled wins", [&] { e.SetEnabled(false); }, clBtnFace},
        {"read-only while disabled", [&] { e.SetReadOnly(true); }, clBtnFace},
        {"ColorRO while disabled", [&] { e.SetColorRO(clRed); }, clBtnFace},
        {"enabled", [&] { e.SetEnabled(true); }, clRed},
        {"disabled through Qt", [&] { e.setEnabled(false); }, clBtnFace},
        {"enabled through Qt", [&] { e.setEnabled(true); }, clRed},
    };
    for (const auto& step : steps) {
        step.Step();
        EXPECT_EQ(Shown(&e), System(&e, step.Expected)) << step.What;
    }
    EXPECT_EQ(ColorValue(e.GetColor()), ColorValue(clYellow)); // the stored colour
}

TEST(DataAware, ColourRulesOfTheEdits) {
    TVynDBEdit edit;
    CheckColourRules(edit, clInfoBk);
    TVynDBMemo memo;
    CheckColourRules(memo, clInfoBk);

    // The lookup list's colours are plain: they show at the next ReadOnly.
    TVynDBLookupComboBox combo;
    EXPECT_EQ(ColorValue(combo.ShownColor()), ColorValue(clWindow));
    combo.ColorRW = clYellow;
    combo.ColorRO = clRed;
    EXPECT_EQ(ColorValue(combo.ShownColor()), ColorValue(clWindow));
    combo.SetReadOnly(true);
    EXPECT_EQ(ColorValue(combo.ShownColor()), ColorValue(clRed));
    EXPECT_EQ(combo.palette().color(QPalette::Button).rgb() & 0xFFFFFF, 0xFF0000u);
    combo.setEnabled(false); // no recolouring
    EXPECT_EQ(ColorValue(combo.ShownColor()), ColorValue(clRed));
    combo.SetReadOnly(false);
    EXPECT_EQ(ColorValue(combo.ShownColor()), ColorValue(clYellow));
}

void Move(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// Dragging selects text in an edit, unless the hyperlink look has it.
TEST(DataAware, DraggingSelectsTextExceptOnAHyperlink) {
    for (const bool link : {false, true}) {
        TVynDBEdit edit;
        edit.resize(200, 24);
        edit.setText(QStringLiteral("some text to select"));
        if (link) {
            edit.OnClick = [](QObject*) {};
            edit.SetReadOnly(true);
        }
        edit.show();
        const QPoint from(3, 12);
        const QPoint to(150, 12);
        QMouseEvent press(QEvent::MouseButtonPress, from, edit.mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &press);
        QMouseEvent move(QEvent::MouseMove, to, edit.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&edit, &move);
        EXPECT_EQ(edit.hasSelectedText(), !link) << (link ? "hyperlink" : "plain");
        QMouseEvent release(QEvent::MouseButtonRelease, to, edit.mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &release);
        if (QWidget::mouseGrabber() != nullptr) {
            QWidget::mouseGrabber()->releaseMouse();
        }
    }
}

TEST(DataAware, HyperlinkLookOnlyWithAClickHandler) {
    TVynDBEdit plain;
    plain.setText("text");
    plain.resize(100, 20);
    const QColor text = plain.palette().color(QPalette::Text);
    plain.SetReadOnly(true);
    const Qt::CursorShape usual = plain.cursor().shape(); // a read-only edit's
    EXPECT_FALSE(plain.font().underline());
    EXPECT_EQ(plain.palette().color(QPalette::Text), text);
    Move(&plain, {5, 5});
    EXPECT_FALSE(plain.Hovering());
    EXPECT_EQ(plain.cursor().shape(), usual);

    TVynDBEdit link;
    link.resize(100, 20);
    int clicks = 0;
    link.OnClick = [&](QObject*) { ++clicks; };
    link.SetReadOnly(true);
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::Text).rgb() & 0xFFFFFF, 0x0000FFu);
    Move(&link, {5, 5}); // empty text: the cursor stays
    EXPECT_FALSE(link.Hovering());
    EXPECT_EQ(link.cursor().shape(), usual);
    link.setText("https://example.invalid");
    Move(&link, {5, 5});
    EXPECT_TRUE(link.Hovering());
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    Move(&link, {6, 6}); // still inside: nothing
    EXPECT_TRUE(link.Hovering());
    Move(&link, {150, 5}); // outside
    EXPECT_FALSE(link.Hovering());
    EXPECT_EQ(link.cursor().shape(), usual);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), link.mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), link.mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&link, &press);
    QApplication::sendEvent(&link, &release);
    EXPECT_EQ(clicks, 1);
    link.SetReadOnly(false);
    EXPECT_FALSE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::Text).rgb() & 0xFFFFFF, 0u);
}

class Bound : public testing::Test {
protected:
    Bound() {
        db.Exec("CREATE TABLE pumps (id INTEGER PRIMARY KEY, name TEXT, note TEXT, maker INTEGER)");
        db.Exec("CREATE TABLE makers (code INTEGER PRIMARY KEY, label TEXT)");
        db.Exec("INSERT INTO pumps VALUES (1, 'CP1', 'first', 10), (2, 'CP4', 'second', 20)");
        db.Exec("INSERT INTO makers VALUES (10, 'North'), (20, 'South'), (30, 'East')");
        pumps.Database = makers.Database = db.Database();
        pumps.TableName = "pumps";
        makers.TableName = "makers";
        pumps.Open();
        makers.Open();
        source.DataSet = &pumps;
        list.DataSet = &makers;
    }
    std::string Stored(const char* sql) {
        TDataSet check;
        check.Database = db.Database();
        check.SQL = sql;
        check.Open();
        return check.Fields(0)->AsString();
    }

    SqliteFile db;
    TDataSet pumps;
    TDataSet makers;
    TDataSource source;
    TDataSource list;
};

TEST_F(Bound, EditsFollowTheCursorAndWriteBack) {
    TVynDBEdit edit;
    TVynDBMemo memo;
    TVynDBLookupComboBox combo;
    edit.Bind(&source, "name");
    memo.Bind(&source, "note");
    makers.SetRecNo(3); // the list is read without moving this
    combo.SetList(&list, "code", "label");
    combo.Bind(&source, "maker");
    EXPECT_EQ(FromQString(edit.text()), "CP1");
    EXPECT_EQ(FromQString(memo.toPlainText()), "first");
    EXPECT_EQ(FromQString(combo.currentText()), "North");
    pumps.Next();
    EXPECT_EQ(FromQString(edit.text()), "CP4");
    EXPECT_EQ(FromQString(combo.currentText()), "South");
    EXPECT_EQ(makers.RecNo(), 3); // the list's own cursor is left where it was

    edit.setText("CP4S");
    edit.setModified(true);
    emit edit.editingFinished();
    EXPECT_EQ(Stored("SELECT name FROM pumps WHERE id = 2"), "CP4S");
    memo.setPlainText("changed");
    memo.document()->setModified(true); // as typing would
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&memo, &out);
    EXPECT_EQ(Stored("SELECT note FROM pumps WHERE id = 2"), "changed");
    emit combo.activated(2);
    EXPECT_EQ(Stored("SELECT maker FROM pumps WHERE id = 2"), "30");
    EXPECT_EQ(FromQString(combo.currentText()), "East");

    // Read-only controls write nothing.
    edit.SetReadOnly(true);
    edit.setText("no");
    edit.setModified(true);
    emit edit.editingFinished();
    combo.SetReadOnly(true);
    emit combo.activated(0);
    EXPECT_EQ(Stored("SELECT name || maker FROM pumps WHERE id = 2"), "CP4S30");
}

// A write that fails throws nothing out of the edit: the user's text stays,
// still modified (not stored), red with the reason as tooltip, StoreFailed
// says why, and the database is as it was. Three ways to fail: the driver
// refuses the post, text that is no integer, a read-only query.
TEST_F(Bound, AFailedWriteStaysInTheEditAndSaysWhy) {
    db.Exec("CREATE TABLE checked (id INTEGER PRIMARY KEY, name TEXT CHECK (length(name) < 6), "
            "n INTEGER)");
    db.Exec("INSERT INTO checked VALUES (1, 'short', 7)");
    TDataSet table;
    table.Database = db.Database();
    table.TableName = "checked";
    table.Open();
    TDataSet query;
    query.Database = db.Database();
    query.SQL = "SELECT id, name, n FROM checked";
    query.Open();
    TDataSource tableSource;
    tableSource.DataSet = &table;
    TDataSource querySource;
    querySource.DataSet = &query;
    const struct {
        const char* What;
        TDataSource* Source;
        const char* Field;
        QString Typed;
        const char* Reason; // a part of what the edit says
    } cases[] = {
        {"refused by the driver", &tableSource, "name", QStringLiteral("far too long"),
         "CHECK constraint failed"},
        {"no integer", &tableSource, "n", QStringLiteral("12a"), "\"12a\" is not a whole number"},
        {"read-only query", &querySource, "name", QStringLiteral("other"), "read-only"},
    };
    for (const auto& c : cases) {
        TVynDBEdit edit;
        TVynDBMemo memo;
        edit.Bind(c.Source, c.Field);
        memo.Bind(c.Source, c.Field);
        const std::string before = Stored("SELECT name || '/' || n FROM checked");
        std::vector<QString> said;
        QObject::connect(&edit, &TDBEdit::StoreFailed,
                         [&](const QString& e) { said.push_back(e); });
        QObject::connect(&memo, &TDBMemo::StoreFailed,
                         [&](const QString& e) { said.push_back(e); });
        edit.setText(c.Typed);
        edit.setModified(true);
        EXPECT_NO_THROW(emit edit.editingFinished()) << c.What;
        EXPECT_EQ(edit.text(), c.Typed) << c.What;
        EXPECT_TRUE(edit.isModified()) << c.What;
        EXPECT_TRUE(edit.toolTip().startsWith(QStringLiteral("Not stored: "))) << c.What;
        EXPECT_TRUE(edit.StoreError().contains(QLatin1String(c.Reason)))
            << c.What << ": " << edit.StoreError().toStdString();
        EXPECT_EQ(edit.palette().color(QPalette::Text).rgb() & 0xFFFFFF, 0xC00000u) << c.What;
        memo.setPlainText(c.Typed);
        memo.document()->setModified(true);
        QFocusEvent out(QEvent::FocusOut);
        EXPECT_NO_THROW(QApplication::sendEvent(&memo, &out)) << c.What;
        EXPECT_EQ(memo.toPlainText(), c.Typed) << c.What;
        EXPECT_TRUE(memo.document()->isModified()) << c.What;
        ASSERT_EQ(said.size(), 2u) << c.What;
        EXPECT_TRUE(said[1].contains(QLatin1String(c.Reason))) << c.What;
        EXPECT_EQ(Stored("SELECT name || '/' || n FROM checked"), before) << c.What;
        // A text that can be stored ends the state.
        if (c.Source == &tableSource) {
            edit.setText(c.Field == std::string("n") ? QStringLiteral("12")
                                                     : QStringLiteral("tiny"));
            edit.setModified(true);
            emit edit.editingFinished();
            EXPECT_TRUE(edit.StoreError().isEmpty()) << c.What;
            EXPECT_FALSE(edit.isModified()) << c.What;
            EXPECT_TRUE(edit.toolTip().isEmpty()) << c.What;
        }
    }
    EXPECT_EQ(Stored("SELECT name || '/' || n FROM checked"), "tiny/12");

    // The lookup list shows what is stored and says why the choice is not.
    TVynDBLookupComboBox combo;
    combo.SetList(&list, "code", "label");
    combo.Bind(&querySource, "n");
    std::vector<QString> said;
    QObject::connect(&combo, &TDBLookupComboBox::StoreFailed,
                     [&](const QString& e) { said.push_back(e); });
    EXPECT_NO_THROW(emit combo.activated(1));
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(combo.StoreError().contains(QLatin1String("read-only")));
}

// The database's text reaches the edit and goes back as it is, Unicode and
// all: no code page in between.
TEST_F(Bound, UnicodeTextIsShownAndStoredAsItIs) {
    db.Exec("UPDATE pumps SET name = '\xCE\xA9 \xE2\x88\x92 5' WHERE id = 1"); // "Ω − 5"
    pumps.Open();
    TVynDBEdit edit;
    TVynDBMemo memo;
    edit.Bind(&source, "name");
    memo.Bind(&source, "name");
    const QString omega = QString::fromUtf8("\xCE\xA9 \xE2\x88\x92 5");
    EXPECT_EQ(edit.text(), omega);
    EXPECT_EQ(memo.toPlainText(), omega);
    edit.setText(omega + QStringLiteral("!"));
    edit.setModified(true);
    emit edit.editingFinished();
    QSqlQuery q(db.Database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT name FROM pumps WHERE id = 1")) && q.next());
    EXPECT_EQ(q.value(0).toString(), omega + QStringLiteral("!"));
    // The Windows-1252 interface says what it could not carry.
    pumps.Open();
    std::string text;
    EXPECT_FALSE(pumps.FieldByName("name")->AsStringExact(text));
    EXPECT_EQ(text, "? ? 5!");
    EXPECT_TRUE(pumps.FieldByName("note")->AsStringExact(text));
    EXPECT_EQ(text, "first");
}

// Binding anew drops the earlier binding; reading the lookup list moves no
// cursor; a data set or source destroyed first leaves its controls empty.
TEST_F(Bound, BindingsLastAsLongAsTheirObjects) {
    TDataSet other;
    other.Database = db.Database();
    other.TableName = "pumps";
    other.Open();
    TDataSource otherSource;
    otherSource.DataSet = &other;
    TDBGrid grid;
    grid.SetDataSource(&source);
    grid.SetDataSource(&otherSource); // moved from pumps to other
    TVynDBEdit edit;
    edit.Bind(&source, "name");
    edit.Bind(&otherSource, "name");
    pumps.Next(); // the earlier data set moves nothing now
    EXPECT_EQ(other.RecNo(), 1);
    EXPECT_EQ(edit.text(), QStringLiteral("CP1"));
    other.Next();
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(edit.text(), QStringLiteral("CP4"));

    int moves = 0;
    QObject::connect(&makers, &TDataSet::CurrentChanged, [&] { ++moves; });
    TVynDBLookupComboBox combo;
    combo.SetList(&list, "code", "label");
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(moves, 0);

    {
        auto gone = std::make_unique<TDataSet>();
        gone->Database = db.Database();
        gone->TableName = "pumps";
        gone->Open();
        TDataSource goneSource;
        goneSource.DataSet = gone.get();
        TVynDBEdit orphan;
        TDBGrid orphanGrid;
        orphan.Bind(&goneSource, "name");
        orphanGrid.SetDataSource(&goneSource);
        EXPECT_EQ(orphan.text(), QStringLiteral("CP1"));
        gone.reset();
        EXPECT_EQ(orphan.text(), QString());
        EXPECT_EQ(orphan.Field(), nullptr);
        orphan.setText(QStringLiteral("x"));
        orphan.setModified(true);
        emit orphan.editingFinished(); // nothing to write to: said, not thrown
        EXPECT_FALSE(orphan.StoreError().isEmpty());
        EXPECT_EQ(orphanGrid.Columns.Items(0)->Field(), nullptr);
        TPrintDBGrid printer;
        printer.DBGrid = &orphanGrid;
        EXPECT_FALSE(printer.SaveToTextFile((db.Folder() + "/x.txt").c_str()));
    }
}

// The columns are what the grid shows, and they outlive a reopen.
TEST_F(Bound, GridShowsItsColumnsAndKeepsThemOverAReopen) {
    TDBGrid grid;
    grid.SetDataSource(&source);
    ASSERT_EQ(grid.Columns.Count(), 4); // one per field
    grid.Columns.Clear();
    TColumn* name = grid.AddColumn("name");
    TColumn* id = grid.AddColumn("id"); // later Adds leave `name` valid
    name->DisplayName = "Pump";
    id->Alignment = taRightJustify;
    const QHeaderView* header = grid.horizontalHeader();
    const auto shown = [&] {
        std::vector<std::string> titles;
        for (int visual = 0; visual < header->count(); ++visual) {
            const int section = header->logicalIndex(visual);
            if (!header->isSectionHidden(section)) {
                titles.push_back(
                    grid.model()->headerData(section, Qt::Horizontal).toString().toStdString());
            }
        }
        return titles;
    };
    EXPECT_EQ(shown(), (std::vector<std::string>{"Pump", "id"}));
    const QModelIndex cell = grid.model()->index(0, 0); // the id field
    EXPECT_TRUE(grid.model()->data(cell, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
    pumps.Close();
    pumps.Open();
    ASSERT_EQ(grid.Columns.Count(), 2);
    EXPECT_EQ(grid.Columns.Items(0), name);
    EXPECT_EQ(name->DisplayName, "Pump");
    EXPECT_EQ(shown(), (std::vector<std::string>{"Pump", "id"}));
    EXPECT_NE(name->Field(), nullptr);
}

QRgb CircleInside(TVynRadioButton& b) {
    const QImage image = b.grab().toImage();
    const QRect inside = b.CircleInside();
    // Off the check mark: near the inside's left edge, on its middle line.
    return image.pixel(inside.left() + 1, inside.center().y()) & 0xFFFFFF;
}

TEST(RadioButton, ReadOnlyRulesAndTheCircle) {
    QWidget parent;
    auto* a = new TVynRadioButton(QStringLiteral("a"), &parent);
    auto* b = new TVynRadioButton(QStringLiteral("b"), &parent);
    b->move(0, 30);
    parent.show();
    a->SetChecked(true);
    b->SetReadOnly(true);
    b->SetChecked(true); // refused, and a stays checked
    EXPECT_FALSE(b->GetChecked());
    EXPECT_TRUE(a->GetChecked());
    b->click(); // the user's click: refused too
    EXPECT_FALSE(b->GetChecked());
    b->setFocus();
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent spaceUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(b, &space);
    QApplication::sendEvent(b, &spaceUp);
    EXPECT_FALSE(b->GetChecked());
    b->ForceChecked();
    EXPECT_TRUE(b->GetChecked());
    EXPECT_FALSE(a->GetChecked());
    b->SetChecked(false); // unchecking works, even in an exclusive group
    EXPECT_FALSE(b->GetChecked());

    const struct {
        const char* What;
        std::function<void()> Step;
        TColor Expected;
    } steps[] = {
        {"read-only", [] {}, clBtnFace},
        {"editable", [&] { b->SetReadOnly(false); }, clWindow},
        {"BgColorRO while editable", [&] { b->SetColorRO(clRed); }, clWindow},
        {"read-only again", [&] { b->SetReadOnly(true); }, clRed},
        {"disabled wins", [&] { b->SetEnabled(false); }, clBtnFace},
        {"enabled", [&] { b->SetEnabled(true); }, clRed},
        {"BgColor",
         [&] {
             b->SetColorRW(clYellow);
             b->SetReadOnly(false);
         },
         clYellow},
    };
    for (const auto& step : steps) {
        step.Step();
        EXPECT_EQ(CircleInside(*b), System(b, step.Expected)) << step.What;
    }
}

// The chosen colour fills the circle's inside right up to the ring, in every
// style there is and at any device pixel ratio: every pixel that a plain
// radio button of the style paints in its base colour (a green no style
// uses for anything else) is in the chosen colour, and that inside is most
// of the circle.
TEST(RadioButton, FillReachesTheRingInEveryStyleAndPixelRatio) {
    ASSERT_FALSE(QStyleFactory::keys().isEmpty());
    const auto draw = [](QRadioButton& button, QStyle* style, qreal ratio) {
        button.setStyle(style);
        button.resize(button.sizeHint());
        QImage image(button.size() * ratio, QImage::Format_ARGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        button.render(&image);
        return image;
    };
    const QRgb green = qRgb(0, 255, 0);
    for (const QString& key : QStyleFactory::keys()) {
        std::unique_ptr<QStyle> style(QStyleFactory::create(key));
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            QRadioButton plain(QStringLiteral("Metric"));
            QPalette palette = plain.palette();
            palette.setColor(QPalette::Base, green);
            plain.setPalette(palette);
            const QImage reference = draw(plain, style.get(), ratio);
            QStyleOptionButton option;
            option.initFrom(&plain);
            const QRect indicator =
                style->subElementRect(QStyle::SE_RadioButtonIndicator, &option, &plain);
            for (const bool readOnly : {false, true}) {
                TVynRadioButton button(QStringLiteral("Metric"));
                button.SetColorRW(clRed);
                button.SetColorRO(clBlue);
                button.SetReadOnly(readOnly);
                const QImage image = draw(button, style.get(), ratio);
                ASSERT_EQ(image.size(), reference.size());
                const QRgb fill = readOnly ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
                const std::string what = key.toStdString() + " at " + std::to_string(ratio) +
                                         (readOnly ? ", read-only" : "");
                int inside = 0;
                int wrong = 0;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        if (reference.pixel(x, y) == green) {
                            ++inside;
                            wrong += image.pixel(x, y) != fill ? 1 : 0;
                        }
                    }
                }
                EXPECT_EQ(wrong, 0) << what;
                const double circle =
                    3.14159 * indicator.width() * indicator.width() / 4 * ratio * ratio;
                EXPECT_GT(inside, circle / 4) << what;
            }
        }
    }
}

} // namespace
