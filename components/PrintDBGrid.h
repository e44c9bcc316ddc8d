#pragma once
/// \class TPrintDBGrid PrintDBGrid.h <vyn/PrintDBGrid.h>
/// TPrintDBGrid: writes the records of a grid (TDBGrid) to a text file, as a
/// column-aligned table (SaveToTextFile) or as semicolon-separated values
/// (SaveToCsvFile), and prints the table (Print). It reads every record of
/// the grid's data set through the grid's columns (at most 100), the
/// columns' titles as the header, without moving the data set's cursor (the
/// bound controls hear nothing, and keep what the user typed), and hides the
/// grid meanwhile, showing it again afterwards, also when the data set
/// throws (the error then reaches the caller). Lines end in CR LF.
///
/// The file is replaced only once it is written whole: on a full disk, or
/// when the program is killed during an export, the earlier file stays as it
/// was, and a failed export returns false. The grid's visibility is restored
/// as it was (a grid never shown stays hidden).
///
/// Cell texts: the field's AsString; floats and currencies with two decimals
/// and the locale's decimal mark, rounded once: a currency from its
/// ten-thousandths (CurrencyText), a float from its value (AmountText); "?" for blobs,
/// memos and other types; an empty cell for a column without a field.
/// CSV: every value quoted, ';' between values, a quote inside a value
/// doubled, so every value reads back unchanged. In the aligned table a line
/// break inside a value is a blank, so each record stays one line. GUI thread
/// only.

#include "DBGrid.h"
#include "QtText.h"
#include "VynExport.h"

#include <QObject>
#include <QPointer>

#include <string>

class VYN_EXPORT TPrintDBGrid : public QObject {
    Q_OBJECT
    // The published properties, for Qt's property system: each reads and
    // writes its field (FileName as Windows-1252 text).
    Q_PROPERTY(QString FileName READ FileNameProperty WRITE SetFileNameProperty)
    Q_PROPERTY(TDBGrid* DBGrid READ DBGridProperty WRITE SetDBGridProperty)
    Q_PROPERTY(int FpDecimals MEMBER FpDecimals)

public:
    /// An exporter without a grid or file name.
    explicit TPrintDBGrid(QObject* owner = nullptr);

    std::string FileName;     ///< used when an export is given an empty name
    QPointer<TDBGrid> DBGrid; ///< null once the grid is destroyed
    int FpDecimals = 0;       ///< kept; floats always get two decimals
    ///@{
    /// The accessors of the FileName (as QString) and DBGrid Qt properties.
    QString FileNameProperty() const { return ToQString(FileName); }
    void SetFileNameProperty(const QString& name) { FileName = FromQString(name); }
    TDBGrid* DBGridProperty() const { return DBGrid; }
    void SetDBGridProperty(TDBGrid* grid) { DBGrid = grid; }
    ///@}

    ///@{
    /// Writes the aligned table or the CSV file to `fileName` (empty or null:
    /// FileName). False when the file cannot be created, or there is no grid with a data
    /// set (then nothing is written). File names are the system's own bytes
    /// (UTF-8 here; QFile::encodeName of a QString), not Windows-1252 like
    /// the texts.
    bool SaveToTextFile(const char* fileName);
    bool SaveToCsvFile(const char* fileName);
    ///@}

    /// Why the last export or print failed, as a sentence fragment ("No space left on
    /// device", "no grid with a data set"); empty after one that succeeded.
    const std::string& LastError() const { return m_lastError; }
    /// Writes the table to a file of its own in the temporary folder and
    /// hands it to the system's print command without waiting: `lp`, or the
    /// command line in $MAPWRIGHT_PRINT_COMMAND (split into words as a shell
    /// would, e.g. "lp -d office", run without a shell), with the file as its
    /// last argument. True once the command started; false (LastError says
    /// why) when the file could not be written or the command not started.
    bool Print();

    /// The cell text of the current record in `column`.
    void XlatString(std::string& text, int column);
    /// Pads `text` to `width`: taRightJustify blanks before, taCenter half
    /// (rounded down) before and the rest after, anything else after.
    static void AllignString(std::string& text, int width, int alignment);

private:
    bool Save(const char* fileName, bool csv);
    /// The cell text of record `row` (from 0; -1 the current one).
    void CellText(std::string& text, TDBGrid* grid, int column, int row);

    std::string m_lastError;
};

/// A currency in ten-thousandths as fixed-point text with two decimals,
/// rounded half away from zero, with the given decimal mark.
VYN_EXPORT std::string CurrencyText(std::int64_t units, char decimalMark);
/// A float or currency value of any size with two decimals: the double's
/// exact value rounded once to two decimals, half away from zero (so
/// 0.12496 gives 0.12, and 1.005, which is 1.00499999999999989..., 1.00);
/// "NaN", "INF" or "-INF" for those.
VYN_EXPORT std::string AmountText(double value, char decimalMark);
