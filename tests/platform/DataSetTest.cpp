#include "DataSet.h"

#include "support/SqliteFile.h"

#include <gtest/gtest.h>

namespace {

class Data : public testing::Test {
protected:
    Data() {
        db.Exec("CREATE TABLE parts (id INTEGER PRIMARY KEY, name TEXT NOT NULL, rate REAL, "
                "price REAL, ok BOOLEAN, made DATE, note BLOB)");
        db.Exec("INSERT INTO parts VALUES (1, 'Nozzle \xC2\xB5', 2.5, 12.3456, 1, '2026-12-08', "
                "'ab'), (2, 'Pump', 0.1, -0.005, 0, NULL, NULL)");
        set.Database = db.Database();
        set.TableName = "parts";
        set.SetFieldType("price", ftCurrency);
    }

    SqliteFile db;
    TDataSet set;
};

TEST_F(Data, FieldsReadTheCurrentRecordInTheToolkitsTerms) {
    set.Open();
    ASSERT_EQ(set.FieldCount(), 7);
    EXPECT_EQ(set.RecordCount(), 2);
    EXPECT_EQ(set.RecNo(), 1);
    const struct {
        const char* Field;
        TFieldType Type;
        const char* First;
        const char* Second;
    } rows[] = {
        {"id", ftInteger, "1", "2"},
        {"name", ftString, "Nozzle \xB5", "Pump"}, // Windows-1252
        {"rate", ftFloat, "2.5", "0.1"},           // shortest that reads back
        {"PRICE", ftCurrency, "12.3456", "-0.005"},
        {"ok", ftBoolean, "True", "False"},
        {"made", ftString, "2026-12-08", ""}, // SQLite declares no date type
    };
    for (const auto& row : rows) {
        TField* field = set.FieldByName(row.Field);
        ASSERT_NE(field, nullptr) << row.Field;
        EXPECT_EQ(field->DataType, row.Type) << row.Field;
        set.First();
        EXPECT_EQ(field->AsString(), row.First) << row.Field;
        set.Next();
        EXPECT_EQ(field->AsString(), row.Second) << row.Field;
    }
    EXPECT_TRUE(set.FieldByName("made")->IsNull());
    EXPECT_EQ(set.FieldByName("price")->AsCurrencyUnits(), -50);
    EXPECT_EQ(set.FieldByName("rate")->Alignment, taRightJustify);
    EXPECT_EQ(set.FieldByName("name")->Alignment, taLeftJustify);
    EXPECT_EQ(set.FieldByName("nosuch"), nullptr);
    EXPECT_FALSE(set.Eof());
    set.Next();
    EXPECT_TRUE(set.Eof());
    EXPECT_EQ(set.RecNo(), 2);
}

TEST_F(Data, RecordCountIsExactBeyondTheDriversBatches) {
    db.Exec("WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
            "INSERT INTO parts (id, name) SELECT i, 'x' FROM n");
    set.Open();
    EXPECT_EQ(set.RecordCount(), 1000);
    TDataSet query;
    query.Database = db.Database();
    query.SQL = "SELECT id FROM parts WHERE id > 10";
    query.Open();
    EXPECT_EQ(query.RecordCount(), 990);
    int walked = 0;
    for (query.First(); !query.Eof(); query.Next()) {
        ++walked;
    }
    EXPECT_EQ(walked, 990);
}

TEST_F(Data, EditsArePostedAndErrorsAreThrown) {
    set.Open();
    set.SetRecNo(2);
    set.FieldByName("name")->SetAsString("Rail \xB5");
    set.FieldByName("rate")->SetAsString("3,25");
    set.Post();
    EXPECT_EQ(set.RecNo(), 2);
    TDataSet again;
    again.Database = db.Database();
    again.SQL = "SELECT name, rate FROM parts WHERE id = 2";
    again.Open();
    EXPECT_EQ(again.Fields(0)->AsString(), "Rail \xB5");
    EXPECT_EQ(again.Fields(1)->AsString(), "3.25");

    // A query is read-only; the driver's refusal and bad SQL come as errors.
    EXPECT_THROW(again.Fields(0)->SetAsString("x"), EDatabaseError);
    set.SetValueAt(1, QVariant()); // name is NOT NULL
    try {
        set.Post();
        ADD_FAILURE() << "a refused post passed as a success";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("NOT NULL"), std::string::npos) << e.what();
    }
    set.Open();
    EXPECT_EQ(set.RecordCount(), 2);
    TDataSet bad;
    bad.Database = db.Database();
    bad.SQL = "SELECT nothing FROM nowhere";
    EXPECT_THROW(bad.Open(), EDatabaseError);
    EXPECT_FALSE(bad.Active());
}

// Date and time fields (stated where SQLite declares no such type) read
// in their fixed forms.
TEST_F(Data, DatesAndTimesReadInTheirFixedForms) {
    db.Exec("CREATE TABLE log (d TEXT, t TEXT, dt TEXT)");
    db.Exec("INSERT INTO log VALUES ('2024-02-29', '07:05:09', '2024-02-29T23:59:58')");
    TDataSet log;
    log.Database = db.Database();
    log.TableName = "log";
    log.SetFieldType("d", ftDate);
    log.SetFieldType("t", ftTime);
    log.SetFieldType("dt", ftDateTime);
    log.Open();
    EXPECT_EQ(log.FieldByName("d")->AsString(), "2024-02-29");
    EXPECT_EQ(log.FieldByName("t")->AsString(), "07:05:09");
    EXPECT_EQ(log.FieldByName("dt")->AsString(), "2024-02-29 23:59:58");
}

// Text that is no value of the field's type is refused, and nothing changes;
// the cases run in order on the first record.
TEST_F(Data, TextThatIsNoValueOfTheTypeIsRefused) {
    set.Open();
    const struct {
        const char* Field;
        const char* Text;
        bool Taken;
        const char* Reads;
    } cases[] = {
        {"id", "12a", false, "1"},     {"id", " 12 ", true, "12"},
        {"id", "", true, ""},          {"ok", "yes", false, "True"},
        {"ok", "0", true, "False"},    {"rate", "2,75", true, "2.75"},
        {"rate", "1e", false, "2.75"}, {"rate", "nan", false, "2.75"},
    };
    for (const auto& c : cases) {
        TField* field = set.FieldByName(c.Field);
        if (c.Taken) {
            EXPECT_NO_THROW(field->SetAsString(c.Text)) << c.Field << " " << c.Text;
        } else {
            EXPECT_THROW(field->SetAsString(c.Text), EDatabaseError) << c.Field << " " << c.Text;
        }
        EXPECT_EQ(field->AsString(), c.Reads) << c.Field << " " << c.Text;
    }
}

} // namespace
