// bench_export: the grid export of a large table.
//   BM_ExportText/N  SaveToTextFile of N records (four columns) from an
//                    SQLite table through a TDBGrid
//   BM_ExportCsv/N   SaveToCsvFile of the same
//   BM_Walk/N        the baseline: every cell's text made as the export
//                    makes it, written nowhere
// Counter peak_MB: how far the process's peak resident memory rose during
// the call above what it held before (the data set's own records are held
// before and after); it should not grow with N.

#include "BenchRatios.h"
#include "PrintDBGrid.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

// VmRSS or VmHWM of this process in kB.
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

// Starts a new peak at the present size.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

class TTable {
public:
    explicit TTable(int rows) {
        db = QSqlDatabase::addDatabase("QSQLITE", QString::number(rows));
        db.setDatabaseName(folder.filePath("t.sqlite"));
        db.open();
        QSqlQuery q(db);
        q.exec("CREATE TABLE t (id INTEGER, name TEXT, rate REAL, price REAL)");
        db.transaction();
        q.prepare("INSERT INTO t VALUES (?, ?, ?, ?)");
        for (int i = 0; i < rows; ++i) {
            q.addBindValue(i);
            q.addBindValue(QString("injector %1").arg(i % 977));
            q.addBindValue(i * 0.25);
            q.addBindValue(i * 1.01);
            q.exec();
        }
        db.commit();
        data.Database = db;
        data.TableName = "t";
        data.SetFieldType("price", ftCurrency);
        data.Open();
        source.DataSet = &data;
        grid.SetDataSource(&source);
        printer.DBGrid = &grid;
    }
    std::string Path(const char* name) const { return folder.filePath(name).toStdString(); }

    QTemporaryDir folder;
    QSqlDatabase db;
    TDataSet data;
    TDataSource source;
    TDBGrid grid;
    TPrintDBGrid printer;
};

TTable& Table(int rows) {
    static std::map<int, std::unique_ptr<TTable>> tables;
    auto& table = tables[rows];
    if (!table) {
        table = std::make_unique<TTable>(rows);
    }
    return *table;
}

template <class F> void Measure(benchmark::State& state, F call) {
    TTable& table = Table(static_cast<int>(state.range(0)));
    double peakMb = 0;
    for (auto _ : state) {
        const long before = StatusKb("VmRSS:");
        ResetPeak();
        if (!call(table)) {
            state.SkipWithError("the export failed");
            return;
        }
        peakMb = std::max(peakMb, static_cast<double>(StatusKb("VmHWM:") - before) / 1024.0);
    }
    state.counters["peak_MB"] = peakMb;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ExportText(benchmark::State& state) {
    Measure(state, [](TTable& t) { return t.printer.SaveToTextFile(t.Path("t.txt").c_str()); });
}

void BM_ExportCsv(benchmark::State& state) {
    Measure(state, [](TTable& t) { return t.printer.SaveToCsvFile(t.Path("t.csv").c_str()); });
}

void BM_Walk(benchmark::State& state) {
    Measure(state, [](TTable& t) {
        std::string cell;
        std::size_t bytes = 0;
        t.data.DisableControls();
        t.data.First();
        for (int r = 0; r < t.data.RecordCount(); ++r) {
            for (int c = 0; c < t.grid.Columns.Count(); ++c) {
                t.printer.XlatString(cell, c);
                bytes += cell.size();
            }
            t.data.Next();
        }
        t.data.EnableControls();
        benchmark::DoNotOptimize(bytes);
        return true;
    });
}

BENCHMARK(BM_ExportText)->Arg(40000)->Arg(400000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportCsv)->Arg(40000)->Arg(400000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Walk)->Arg(40000)->Arg(400000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    RatioReporter reporter;
    return RunWithRatios(argc, argv,
                         {{"BM_ExportText/400000/iterations:3", "BM_Walk/400000/iterations:3"},
                          {"BM_ExportCsv/400000/iterations:3", "BM_Walk/400000/iterations:3"}},
                         reporter);
}
