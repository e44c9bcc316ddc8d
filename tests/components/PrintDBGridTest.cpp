#include "PrintDBGrid.h"

#include "DBControls.h"
#include "SerialDevice.h"

#include "support/EventLoop.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/SqliteFile.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <QDir>
#include <QLocale>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class Export : public testing::Test {
protected:
    Export() {
        QLocale::setDefault(QLocale::c()); // the decimal mark of these files, for this test
        db.Exec("CREATE TABLE t (id INTEGER, name TEXT, rate REAL, price REAL, note BLOB, "
                "flag BOOLEAN)");
        data.Database = db.Database();
        data.TableName = "t";
        data.SetFieldType("price", ftCurrency);
        source.DataSet = &data;
        parent.resize(300, 200);
        grid = new TDBGrid(&parent);
        parent.show();
        printer.DBGrid = grid;
    }
    ~Export() override { QLocale::setDefault(m_locale); }
    void Open() {
        data.Open();
        grid->SetDataSource(&source);
    }
    std::string Path(const char* name) const { return db.Folder() + "/" + name; }

    SqliteFile db;
    TDataSet data;
    TDataSource source;
    QWidget parent;
    TDBGrid* grid = nullptr;
    TPrintDBGrid printer;

private:
    const QLocale m_locale = QLocale(); // the default before the test
};

TEST_F(Export, EveryFieldTypeAlignedAndAsCsv) {
    db.Exec("INSERT INTO t VALUES (1, 'ab', 2.5, 1.005, x'00', 1), "
            "(22, 'Nozzle', NULL, -3.14159, NULL, 0)");
    Open();
    grid->AddColumn("nosuch")->DisplayName = "x";
    data.SetRecNo(2);
    ASSERT_TRUE(printer.SaveToTextFile(Path("t.txt").c_str()));
    // Numbers right-justified, text left; floats and currencies with two
    // decimals (NULL as 0.00); a blob "?"; a column without a field empty.
    EXPECT_EQ(Slurp(Path("t.txt")), "id  name    rate  price  note  flag   x  \r\n"
                                    " 1  ab      2.50   1.01  ?     True      \r\n"
                                    "22  Nozzle  0.00  -3.14  ?     False     \r\n");
    EXPECT_EQ(data.RecNo(), 2);
    EXPECT_TRUE(grid->isVisible());

    printer.FileName = Path("t.csv");
    ASSERT_TRUE(printer.SaveToCsvFile(""));
    EXPECT_EQ(Slurp(Path("t.csv")),
              "\"id\";\"name\";\"rate\";\"price\";\"note\";\"flag\";\"x\"\r\n"
              "\"1\";\"ab\";\"2.50\";\"1.01\";\"?\";\"True\";\"\"\r\n"
              "\"22\";\"Nozzle\";\"0.00\";\"-3.14\";\"?\";\"False\";\"\"\r\n");
    EXPECT_EQ(data.RecNo(), 2);
    EXPECT_TRUE(grid->isVisible());
}

TEST_F(Export, EmptyWideAndFailingExports) {
    Open();
    ASSERT_TRUE(printer.SaveToTextFile(Path("e.txt").c_str()));
    EXPECT_EQ(Slurp(Path("e.txt")), "id  name  rate  price  note  flag  \r\n");
    ASSERT_TRUE(printer.SaveToCsvFile(Path("e.csv").c_str()));
    EXPECT_EQ(Slurp(Path("e.csv")), "\"id\";\"name\";\"rate\";\"price\";\"note\";\"flag\"\r\n");

    for (int i = 0; i < 114; ++i) {
        grid->AddColumn("id");
    }
    ASSERT_EQ(grid->Columns.Count(), 120);
    ASSERT_TRUE(printer.SaveToCsvFile(Path("w.csv").c_str()));
    const std::string wide = Slurp(Path("w.csv"));
    EXPECT_EQ(std::count(wide.begin(), wide.end(), ';'), 99); // 100 columns

    EXPECT_FALSE(printer.SaveToTextFile("")); // no name at all
    EXPECT_FALSE(printer.SaveToCsvFile(nullptr));
    TPrintDBGrid unbound;
    EXPECT_FALSE(unbound.SaveToTextFile(Path("n.txt").c_str()));
    EXPECT_FALSE(std::filesystem::exists(Path("n.txt")));
}

TEST(PrintDBGrid, Padding) {
    const struct {
        const char* Text;
        int Width, Alignment;
        const char* Padded;
    } cases[] = {
        {"abc", 6, taCenter, " abc  "},
        {"abc", 7, taCenter, "  abc  "},
        {"7", 3, taRightJustify, "  7"},
        {"7", 3, taLeftJustify, "7  "},
        {"7", 3, 9, "7  "},
        {"long", 2, taRightJustify, "long"},
    };
    for (const auto& c : cases) {
        std::string text = c.Text;
        TPrintDBGrid::AllignString(text, c.Width, c.Alignment);
        EXPECT_EQ(text, c.Padded) << c.Text << " " << c.Width << " " << c.Alignment;
    }
    EXPECT_EQ(CurrencyText(12345, ','), "1,23");
    EXPECT_EQ(CurrencyText(-49, '.'), "0.00");
    EXPECT_EQ(CurrencyText(-50, '.'), "-0.01");
}

TEST(PrintDBGrid, AmountsOfAnySize) {
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {2.5, "2.50"},
        {1.005, "1.00"},    // 1.00499999999999989...: rounded from the value
        {1.015625, "1.02"}, // exactly 1.015625
        {0.12496, "0.12"},  // rounded once: not 0.1250 first, then 0.13
        {0.12504, "0.13"},
        {-0.125, "-0.13"},
        {-3.14159, "-3.14"},
        {922337203685476.0, "922337203685476.00"}, // beyond 2^53 ten-thousandths
        {9.2e14 + 0.5, "920000000000000.50"},
        {-0.0049, "0.00"},
        {0.995, "0.99"}, // 0.99499999999999999556
        {0.375, "0.38"}, // a tie: half away from zero
        {99.999, "100.00"},
        {1e15, "1000000000000000.00"},
        {1e15 + 0.125, "1000000000000000.13"}, // half away from zero
        {-1e15 - 0.375, "-1000000000000000.38"},
        {999999999999999.875, "999999999999999.88"},
        {-1e20, "-100000000000000000000.00"},
        {std::nan(""), "NaN"},
        {-HUGE_VAL, "-INF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AmountText(c.Value, '.'), c.Text) << c.Text;
    }
    EXPECT_EQ(AmountText(1e15 + 0.25, ','), "1000000000000000,25");
}

// An export replaces the earlier file only when it is written whole: on a
// full disk (a file size limit in a child process) it returns false, the
// earlier file is as it was and nothing else is left in the folder.
TEST_F(Export, AFailedExportLeavesTheEarlierFileAsItWas) {
    db.Exec("INSERT INTO t (id, name, price) VALUES (1, 'first', 1e15)");
    Open();
    const std::string target = Path("grid.txt");
    ASSERT_TRUE(printer.SaveToTextFile(target.c_str()));
    const std::string before = Slurp(target);
    EXPECT_NE(before.find("1000000000000000.00"), std::string::npos) << before;
    data.Close();
    for (int i = 0; i < 300; ++i) {
        db.Exec("INSERT INTO t (id, name) VALUES (2, 'a name long enough to fill a line')");
    }
    Open();
    const auto entries = [this] {
        return std::distance(std::filesystem::directory_iterator(db.Folder()),
                             std::filesystem::directory_iterator());
    };
    const auto files = entries();
    for (const bool csv : {false, true}) {
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            const bool saved = csv ? printer.SaveToCsvFile(target.c_str())
                                   : printer.SaveToTextFile(target.c_str());
            // The failure says why.
            _exit(saved ? 0 : printer.LastError() == SystemErrorText(EFBIG) ? 1 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "the export said it worked";
        EXPECT_EQ(Slurp(target), before);
        EXPECT_EQ(entries(), files); // no temporary file left
    }
    EXPECT_FALSE(printer.SaveToTextFile(Path("no such folder/grid.txt").c_str()));
    EXPECT_EQ(printer.LastError(), SystemErrorText(ENOENT));
    // Without the limit the new table replaces the old one.
    ASSERT_TRUE(printer.SaveToCsvFile(target.c_str()));
    EXPECT_EQ(printer.LastError(), "");
    EXPECT_GT(Slurp(target).size(), 4096u);
    EXPECT_EQ(entries(), files);
}

TEST_F(Export, TheGridIsShownAgainOnlyIfItWasShown) {
    Open();
    TDBGrid lone; // never shown
    lone.SetDataSource(&source);
    TPrintDBGrid exporter;
    exporter.DBGrid = &lone;
    ASSERT_TRUE(exporter.SaveToTextFile(Path("lone.txt").c_str()));
    EXPECT_FALSE(lone.isVisible());
    EXPECT_FALSE(lone.Visible());
    grid->SetVisible(false); // hidden on purpose
    ASSERT_TRUE(printer.SaveToTextFile(Path("hidden.txt").c_str()));
    EXPECT_FALSE(grid->Visible());
    grid->SetVisible(true);
    // The records are read without moving the cursor: the controls bound
    // to the data set hear nothing, and an edit keeps what the user typed.
    db.Exec("INSERT INTO t (id, name) VALUES (1, 'a'), (2, 'b'), (3, 'c')");
    data.Close();
    Open();
    data.SetRecNo(2);
    TDBEdit edit;
    edit.Bind(&source, "name");
    edit.setText("typed, not yet stored");
    edit.setModified(true);
    int told = 0;
    QObject::connect(&data, &TDataSet::CurrentChanged, [&] { ++told; });
    ASSERT_TRUE(printer.SaveToTextFile(Path("shown.txt").c_str()));
    EXPECT_TRUE(grid->isVisible());
    EXPECT_EQ(told, 0);
    EXPECT_EQ(data.RecNo(), 2);
    EXPECT_EQ(edit.text().toStdString(), "typed, not yet stored");
    EXPECT_NE(Slurp(Path("shown.txt")).find(" 3  c"), std::string::npos)
        << Slurp(Path("shown.txt"));
}

TEST_F(Export, CsvValuesReadBackUnchanged) {
    db.Exec("INSERT INTO t (id, name) VALUES (1, 'say \"hi\"; then\r\nleave'), "
            "(2, '\"\"'), (3, ';')");
    Open();
    ASSERT_TRUE(printer.SaveToCsvFile(Path("q.csv").c_str()));
    // An independent reader: Python's csv module, printing the name column
    // of every record, one repr() a line.
    const ProcessResult read = RunProcess(
        {"/usr/bin/python3", "-c",
         "import csv,sys\n"
         "rows=list(csv.reader(open(sys.argv[1],newline='',encoding='cp1252'),delimiter=';'))\n"
         "print('\\n'.join(repr(r[1]) for r in rows[1:]))",
         Path("q.csv")});
    ASSERT_EQ(read.ExitCode, 0) << read.Err;
    EXPECT_EQ(read.Out, "'say \"hi\"; then\\r\\nleave'\n'\"\"'\n';'\n");
    // The aligned table keeps each record on one line: the break is blanks.
    ASSERT_TRUE(printer.SaveToTextFile(Path("q.txt").c_str()));
    const std::string table = Slurp(Path("q.txt"));
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4) << table;
    EXPECT_NE(table.find("say \"hi\"; then  leave"), std::string::npos) << table;
}

// The print command is a command line: its words, then the table's file,
// a file of its own in the temporary folder. A command that cannot start
// is a failed print.
TEST_F(Export, PrintHandsTheTableToThePrintCommand) {
    db.Exec("INSERT INTO t (id, name) VALUES (5, 'printed')");
    Open();
    const std::string kept = Path("printed.txt");
    // $0 is where to keep it, $1 the file given.
    const std::string command = "sh -c 'cp \"$1\" \"$0\"; echo \"$1\" > \"$0.name\"' " + kept;
    setenv("MAPWRIGHT_PRINT_COMMAND", command.c_str(), 1);
    const bool printed = printer.Print();
    ASSERT_TRUE(printed) << printer.LastError();
    ASSERT_TRUE(ProcessUntil([&] { return !Slurp(kept + ".name").empty(); }, 5000));
    EXPECT_NE(Slurp(kept).find("printed"), std::string::npos);
    const std::string file = Slurp(kept + ".name");
    EXPECT_EQ(file.rfind(QDir::tempPath().toStdString() + "/mapwright-print-", 0), 0u) << file;

    setenv("MAPWRIGHT_PRINT_COMMAND", "/nonexistent/lp -d office", 1);
    EXPECT_FALSE(printer.Print());
    EXPECT_EQ(printer.LastError(), "cannot start the print command /nonexistent/lp");
    unsetenv("MAPWRIGHT_PRINT_COMMAND");
}

} // namespace
