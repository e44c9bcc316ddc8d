// The data-aware layer against a real server: a private PostgreSQL cluster
// (support/PgCluster.h), as SQLite is tested elsewhere.

#include "DBGrid.h"
#include "PrintDBGrid.h"

#include "support/Files.h"
#include "support/PgCluster.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <string>

namespace {

class Postgres : public testing::Test {
protected:
    static void SetUpTestSuite() { cluster = new PgCluster; }
    static void TearDownTestSuite() {
        delete cluster;
        cluster = nullptr;
    }
    void SetUp() override {
        if (!cluster->Skipped().empty()) {
            GTEST_SKIP() << "no PostgreSQL: " << cluster->Skipped();
        }
        static int count = 0;
        name = QStringLiteral("pg-%1").arg(++count);
        db = cluster->Connection(name);
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        Exec("DROP TABLE IF EXISTS t");
        Exec("CREATE TABLE t (id serial PRIMARY KEY, small smallint, whole integer, big bigint, "
             "real8 double precision, amount numeric(16,2), exact numeric, yes boolean, "
             "day date, at time, stamp timestamp, words text, bytes bytea)");
        Exec("INSERT INTO t (small, whole, big, real8, amount, exact, yes, day, at, stamp, words, "
             "bytes) VALUES (-7, 123456, 9007199254740993, 0.1, -99999999999999.99, "
             "12345678901234567890.123456789, true, '2026-12-08', '13:45:10', "
             "'2026-12-08 13:45:10', 'Düse', 'ab'), "
             "(NULL, NULL, NULL, NULL, 0.005, NULL, false, NULL, NULL, NULL, NULL, NULL)");
    }
    void TearDown() override {
        data.Close();
        data.Database = QSqlDatabase();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    void Exec(const char* sql) {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QString::fromUtf8(sql))) << q.lastError().text().toStdString();
    }

    static PgCluster* cluster;
    QString name;
    QSqlDatabase db;
    TDataSet data;
};
PgCluster* Postgres::cluster = nullptr;

TEST_F(Postgres, EveryFieldTypeAndExactDecimals) {
    data.Database = db;
    data.TableName = "t";
    data.Open();
    ASSERT_EQ(data.RecordCount(), 2);
    data.First();
    const struct {
        const char* Field;
        TFieldType Type;
        std::string Text;
    } fields[] = {
        {"small", ftSmallint, "-7"},
        {"whole", ftInteger, "123456"},
        {"big", ftLargeint, "9007199254740993"}, // beyond a double's 53 bits
        {"real8", ftFloat, "0.1"},
        {"amount", ftFMTBcd, "-99999999999999.99"},
        {"exact", ftFMTBcd, "12345678901234567890.123456789"},
        {"yes", ftBoolean, "True"},
        {"day", ftDate, "2026-12-08"},
        {"at", ftTime, "13:45:10"},
        {"stamp", ftDateTime, "2026-12-08 13:45:10"},
        {"words", ftString,
         "D\xFC"
         "se"}, // Windows-1252
        {"bytes", ftBlob, "ab"},
    };
    for (const auto& f : fields) {
        TField* field = data.FieldByName(f.Field);
        ASSERT_NE(field, nullptr) << f.Field;
        EXPECT_EQ(field->DataType, f.Type) << f.Field;
        EXPECT_EQ(field->AsString(), f.Text) << f.Field;
    }
    TField* amount = data.FieldByName("amount");
    EXPECT_EQ(amount->AsCurrencyUnits(), -999999999999999900);
    EXPECT_EQ(amount->Alignment, taRightJustify);
    data.Next();
    EXPECT_EQ(amount->AsString(), "0.01"); // numeric(16,2) rounded it on the server
    EXPECT_EQ(data.FieldByName("small")->AsString(), "");
    EXPECT_EQ(data.FieldByName("yes")->AsString(), "False");

    // A query keeps the digits too.
    TDataSet query;
    query.Database = db;
    query.SQL = "SELECT exact, amount * 3 AS tripled FROM t ORDER BY id";
    query.Open();
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_EQ(query.FieldByName("exact")->AsString(), "12345678901234567890.123456789");
    EXPECT_EQ(query.FieldByName("tripled")->AsString(), "-299999999999999.97");
}

TEST_F(Postgres, TheExportWritesTheExactDigits) {
    QLocale::setDefault(QLocale::c());
    data.Database = db;
    data.SQL = "SELECT id, amount, words FROM t ORDER BY id";
    data.Open();
    TDataSource source;
    source.DataSet = &data;
    TDBGrid grid;
    grid.SetDataSource(&source);
    TPrintDBGrid printer;
    printer.DBGrid = &grid;
    TempDir dir;
    const std::string path = dir.Path() + "/t.csv";
    ASSERT_TRUE(printer.SaveToCsvFile(path.c_str()));
    EXPECT_EQ(Slurp(path), "\"id\";\"amount\";\"words\"\r\n"
                           "\"1\";\"-99999999999999.99\";\"D\xFC"
                           "se\"\r\n"
                           "\"2\";\"0.01\";\"\"\r\n");
}

// Run last: they stop and freeze the server.
TEST_F(Postgres, ZAServerThatGoesOrHangsIsAnErrorNotAHang) {
    data.Database = db;
    data.TableName = "t";
    data.Open();
    data.First();
    TField* words = data.FieldByName("words");
    words->SetAsString("changed");
    cluster->Stop();
    EXPECT_THROW(data.Post(), EDatabaseError);
    EXPECT_EQ(words->AsString(), "D\xFC"
                                 "se"); // the edit reverted, not half-stored

    ASSERT_TRUE(cluster->Start());
    cluster->Freeze();
    TDataSet frozen;
    frozen.Database = cluster->Connection(name + "-frozen");
    frozen.ConnectTimeoutSeconds = 2;
    frozen.TableName = "t";
    QElapsedTimer clock;
    clock.start();
    try {
        frozen.Open();
        ADD_FAILURE() << "opened on a frozen server";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot open the database"), std::string::npos);
    }
    EXPECT_LT(clock.elapsed(), 30000); // bounded, not for ever
    cluster->Thaw();
    frozen.Close();
    frozen.Database = QSqlDatabase();
    QSqlDatabase::removeDatabase(name + "-frozen");
}

} // namespace
