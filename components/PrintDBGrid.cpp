#include "PrintDBGrid.h"

#include "Palette.h"

#include <QLocale>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace Printdbgrid {
void Register() {
    RegisterComponents("VYN", {"TPrintDBGrid"});
}
} // namespace Printdbgrid

namespace {

constexpr int kMaxColumns = 100;
constexpr const char* kLineEnd = "\r\n";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFile = std::unique_ptr<std::FILE, FileCloser>;

// The export's walk over the records: remembers the data set's record and
// hides the grid, and puts both back when it ends, however it ends.
class TWalk {
public:
    TWalk(TDBGrid* grid, TDataSet* dataSet) : m_grid(grid), m_dataSet(dataSet) {
        m_grid->SetVisible(false);
        m_recNo = m_dataSet->RecNo();
        m_dataSet->First();
    }
    ~TWalk() {
        m_dataSet->SetRecNo(m_recNo);
        m_grid->SetVisible(true);
    }
    TWalk(const TWalk&) = delete;
    TWalk& operator=(const TWalk&) = delete;

private:
    TDBGrid* m_grid;
    TDataSet* m_dataSet;
    int m_recNo = 0;
};

TDataSet* DataSetOf(TDBGrid* grid) {
    if (grid == nullptr || grid->DataSource() == nullptr) {
        return nullptr;
    }
    TDataSet* dataSet = grid->DataSource()->DataSet;
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

bool WriteAll(std::FILE* file, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

} // namespace

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
    const TField* field = DBGrid->Columns.Items(column)->Field();
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
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftBytes:
    case ftVarBytes:
    case ftAutoInc:
    case ftFixedChar:
    case ftWideString:
    case ftLargeint: text = field->AsString(); break;
    case ftFloat:
    case ftCurrency: {
        const QString mark = QLocale().decimalPoint();
        text = CurrencyText(field->AsCurrencyUnits(), mark.size() == 1 ? mark[0].toLatin1() : '.');
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
    TDataSet* const dataSet = DataSetOf(DBGrid);
    if (dataSet == nullptr) {
        return false;
    }
    TFile file(std::fopen(name.c_str(), "wb"));
    if (!file) {
        return false;
    }
    // Every cell is collected first: the aligned table's widths come from
    // every row.
    const auto columns = static_cast<std::size_t>(std::min(DBGrid->Columns.Count(), kMaxColumns));
    const int records = dataSet->RecordCount();
    std::vector<std::size_t> widths(columns, 0);
    std::vector<std::vector<std::string>> rows(1);
    for (std::size_t c = 0; c < columns; ++c) {
        rows[0].push_back(DBGrid->Columns.Items(static_cast<int>(c))->DisplayName);
        widths[c] = rows[0].back().size();
    }
    {
        const TWalk walk(DBGrid, dataSet);
        for (int r = 0; r < records; ++r) {
            std::vector<std::string>& row = rows.emplace_back();
            for (std::size_t c = 0; c < columns; ++c) {
                std::string cell;
                XlatString(cell, static_cast<int>(c));
                widths[c] = std::max(widths[c], cell.size());
                row.push_back(std::move(cell));
            }
            dataSet->Next();
        }
    }
    bool ok = true;
    for (std::vector<std::string>& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < columns; ++c) {
            std::string& cell = row[c];
            if (csv) {
                line += (c > 0 ? ";" : "") + Quoted(cell);
            } else {
                AllignString(cell, static_cast<int>(widths[c]),
                             DBGrid->Columns.Items(static_cast<int>(c))->Alignment);
                line += cell + "  ";
            }
        }
        ok = WriteAll(file.get(), line + kLineEnd) && ok;
    }
    return std::fclose(file.release()) == 0 && ok;
}

bool TPrintDBGrid::Print() {
    if (!SaveToTextFile("tmp.txt")) {
        return false;
    }
    const char* command = std::getenv("MAPWRIGHT_PRINT_COMMAND");
    const QString program = command != nullptr && command[0] != '\0'
                                ? QString::fromLocal8Bit(command)
                                : QStringLiteral("lp");
    // Not waited for: whatever the print system answers, the table is on its
    // way (or in tmp.txt).
    QProcess::startDetached(program, {QStringLiteral("tmp.txt")});
    return true;
}
