#include "PrintDBGrid.h"

#include "AtomicFile.h"
#include "Palette.h"
#include "QtText.h"
#include "SerialDevice.h" // SystemErrorText
#include "VynExport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace Printdbgrid {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TPrintDBGrid"});
}
} // namespace Printdbgrid

namespace {

constexpr int kMaxColumns = 100;
constexpr const char* kLineEnd = "\r\n";

// The export's walk over the records: remembers the data set's record and
// hides the grid, and puts both back as they were when it ends, however it
// ends (a grid that was never shown stays hidden).
// The grid is hidden while the records are read, and shown again as it was.
// The records are read by row: the data set's cursor does not move, so the
// controls bound to it hear nothing and keep what the user typed.
class TWalk {
public:
    explicit TWalk(TDBGrid* grid) : m_grid(grid), m_visible(grid->Visible()) {
        m_grid->SetVisible(false);
    }
    ~TWalk() { m_grid->SetVisible(m_visible); }
    TWalk(const TWalk&) = delete;
    TWalk& operator=(const TWalk&) = delete;

private:
    TDBGrid* m_grid;
    bool m_visible;
};

TDataSet* DataSetOf(TDBGrid* grid) {
    const TDataSource* source = grid != nullptr ? grid->DataSource() : nullptr;
    TDataSet* dataSet = source != nullptr ? source->DataSet.data() : nullptr;
    return dataSet != nullptr && dataSet->Active() ? dataSet : nullptr;
}

std::string Quoted(const std::string& value) {
    std::string out = "\"";
    for (char c : value) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

} // namespace

std::string AmountText(double value, char decimalMark) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NaN" : value < 0 ? "-INF" : "INF";
    }
    // One rounding, to two decimals half away from zero, of the double's
    // exact value: its first 60 decimals decide it (a double of magnitude
    // 0.001 or more is never within 1e-60 of a rounding boundary without
    // being on it).
    char digits[400];
    const int n = std::snprintf(digits, sizeof digits, "%.60f", std::fabs(value));
    const std::string exact(digits, static_cast<std::size_t>(n));
    const std::size_t point = exact.find('.');
    std::string text = exact.substr(0, point + 3);
    if (exact[point + 3] >= '5') {
        std::size_t i = text.size();
        while (i-- > 0) {
            if (text[i] == '.') {
                continue;
            }
            if (text[i] != '9') {
                ++text[i];
                break;
            }
            text[i] = '0';
        }
        if (i == static_cast<std::size_t>(-1)) {
            text.insert(0, 1, '1');
        }
    }
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    text[text.size() - 3] = decimalMark;
    return value < 0 && !zero ? "-" + text : text;
}

std::string CurrencyText(std::int64_t units, char decimalMark) {
    // Two decimals from four, half away from zero, in whole numbers.
    const bool negative = units < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    const std::uint64_t cents = (magnitude + 50) / 100;
    std::string text = std::to_string(cents / 100);
    const unsigned fraction = static_cast<unsigned>(cents % 100);
    text += decimalMark;
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return negative && cents != 0 ? "-" + text : text;
}

TPrintDBGrid::TPrintDBGrid(QObject* owner) : QObject(owner) {}

void TPrintDBGrid::XlatString(std::string& text, int column) {
    CellText(text, DBGrid.data(), column, -1);
}

void TPrintDBGrid::CellText(std::string& text, TDBGrid* grid, int column, int row) {
    const TField* field = grid != nullptr && column >= 0 && column < grid->Columns.Count()
                              ? grid->Columns.Items(column)->Field()
                              : nullptr;
    if (field == nullptr) {
        text.clear();
        return;
    }
    switch (field->DataType) {
    case ftString:
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftBCD:
    case ftFMTBcd:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftBytes:
    case ftVarBytes:
    case ftAutoInc:
    case ftFixedChar:
    case ftWideString:
    case ftLargeint: text = field->AsString(row); break;
    case ftFloat:
    case ftCurrency: {
        const QString mark = QLocale().decimalPoint();
        const char decimalMark = mark.size() == 1 ? mark[0].toLatin1() : '.';
        // A currency is its ten-thousandths (1.005 is 1.0050): those are
        // rounded, once; a float, or a currency beyond what they hold, is
        // rounded from its exact value.
        const std::int64_t units = field->DataType == ftCurrency ? field->AsCurrencyUnits(row) : 0;
        const bool inRange = units != std::numeric_limits<std::int64_t>::max() &&
                             units != std::numeric_limits<std::int64_t>::min();
        text = field->DataType == ftCurrency && inRange
                   ? CurrencyText(units, decimalMark)
                   : AmountText(field->Value(row).toDouble(), decimalMark);
        break;
    }
    default: text = "?"; break;
    }
}

void TPrintDBGrid::AllignString(std::string& text, int width, int alignment) {
    const int blanks = std::max(0, width - static_cast<int>(text.size()));
    switch (alignment) {
    case taRightJustify: text.insert(0, static_cast<std::size_t>(blanks), ' '); break;
    case taCenter:
        text.insert(0, static_cast<std::size_t>(blanks / 2), ' ');
        text.append(static_cast<std::size_t>(blanks - blanks / 2), ' ');
        break;
    default: text.append(static_cast<std::size_t>(blanks), ' '); break;
    }
}

bool TPrintDBGrid::SaveToTextFile(const char* fileName) {
    return Save(fileName, false);
}

bool TPrintDBGrid::SaveToCsvFile(const char* fileName) {
    return Save(fileName, true);
}

bool TPrintDBGrid::Save(const char* fileName, bool csv) {
    const std::string name = fileName != nullptr && fileName[0] != '\0' ? fileName : FileName;
    TDBGrid* const grid = DBGrid.data();
    TDataSet* const dataSet = DataSetOf(grid);
    m_lastError.clear();
    if (dataSet == nullptr) {
        m_lastError = "no grid with a data set";
        return false;
    }
    TAtomicFile file;
    const auto failed = [&] {
        m_lastError = SystemErrorText(file.Error());
        return false;
    };
    if (!file.Open(name)) {
        return failed();
    }
    const auto columns = static_cast<std::size_t>(std::min(grid->Columns.Count(), kMaxColumns));
    const int records = dataSet->RecordCount();
    std::vector<std::string> titles;
    for (std::size_t c = 0; c < columns; ++c) {
        titles.push_back(grid->Columns.Items(static_cast<int>(c))->DisplayName);
    }
    const TWalk walk(grid);
    // The aligned table's widths come from every row: a first pass measures
    // them, the second writes, so no more than one row is held at a time.
    std::vector<std::size_t> widths(columns, 0);
    std::string cell;
    if (!csv) {
        for (std::size_t c = 0; c < columns; ++c) {
            widths[c] = titles[c].size();
        }
        for (int r = 0; r < records; ++r) {
            for (std::size_t c = 0; c < columns; ++c) {
                CellText(cell, grid, static_cast<int>(c), r);
                widths[c] = std::max(widths[c], cell.size());
            }
        }
    }
    std::string line;
    const auto writeRow = [&](auto cellOf) {
        line.clear();
        for (std::size_t c = 0; c < columns; ++c) {
            cellOf(cell, c);
            if (csv) {
                line += (c > 0 ? ";" : "") + Quoted(cell);
            } else {
                // One record, one line: a line break inside a value (a memo)
                // is a blank in the aligned table.
                std::replace_if(
                    cell.begin(), cell.end(), [](char ch) { return ch == '\r' || ch == '\n'; },
                    ' ');
                AllignString(cell, static_cast<int>(widths[c]),
                             grid->Columns.Items(static_cast<int>(c))->Alignment);
                line += cell + "  ";
            }
        }
        line += kLineEnd;
        return file.Write(line);
    };
    bool ok = writeRow([&](std::string& text, std::size_t c) { text = titles[c]; });
    for (int r = 0; r < records && ok; ++r) {
        ok = writeRow([&](std::string& text, std::size_t c) {
            CellText(text, grid, static_cast<int>(c), r);
        });
    }
    // Only a file written whole replaces the one that was there.
    if (!ok || !file.Commit()) {
        return failed();
    }
    return true;
}

namespace {

// A command line split into words as a POSIX shell splits them (blanks
// between words; '...' literal; "..." with \\ before " \\ $ ` taken
// literally; \\ outside quotes takes the next character), without running
// a shell: no expansions. False for an unclosed quote.
bool SplitCommandLine(const QString& line, QStringList& words) {
    words.clear();
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inWord) {
                words.append(word);
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == u'\\') {
            if (++i < line.size()) {
                word += line[i];
            }
        } else if (c == u'\'') {
            const qsizetype end = line.indexOf(u'\'', i + 1);
            if (end < 0) {
                return false;
            }
            word += line.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == u'"') {
            for (++i;; ++i) {
                if (i >= line.size()) {
                    return false;
                }
                if (line[i] == u'"') {
                    break;
                }
                if (line[i] == u'\\' && i + 1 < line.size() &&
                    QStringLiteral("\"\\$`").contains(line[i + 1])) {
                    ++i;
                }
                word += line[i];
            }
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.append(word);
    }
    return true;
}

} // namespace

bool TPrintDBGrid::Print() {
    // A file of its own where temporary files belong: two prints at once do
    // not meet, and the current folder need not be writable. The print
    // system reads it after this returns, so it stays for the system's
    // cleaning of the temporary folder.
    QTemporaryFile reserve(QDir::tempPath() + QStringLiteral("/mapwright-print-XXXXXX.txt"));
    reserve.setAutoRemove(false);
    if (!reserve.open()) {
        m_lastError = "no temporary file for printing: " + FromQString(reserve.errorString());
        return false;
    }
    const QString file = reserve.fileName();
    reserve.close();
    if (!SaveToTextFile(FromQString(file).c_str())) {
        QFile::remove(file);
        return false;
    }
    // A command line, split as a shell splits words (quotes kept together),
    // run without a shell; the file is its last argument.
    const char* command = std::getenv("MAPWRIGHT_PRINT_COMMAND");
    QStringList words;
    if (!SplitCommandLine(command != nullptr && command[0] != '\0' ? QString::fromLocal8Bit(command)
                                                                   : QStringLiteral("lp"),
                          words) ||
        words.isEmpty()) {
        m_lastError = "the print command has an unclosed quote or is empty";
        QFile::remove(file);
        return false;
    }
    const QString program = words.takeFirst();
    words.append(file);
    // Not waited for: once started, the table is on its way.
    if (!QProcess::startDetached(program, words)) {
        m_lastError = "cannot start the print command " + FromQString(program);
        QFile::remove(file);
        return false;
    }
    return true;
}
