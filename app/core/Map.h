#pragma once
// The calibration map record and the reading side of the map text format.
//
// Map text: lines separated by CR LF, LF CR, a lone CR or a lone LF; fields
// separated by TAB. Lines 0-4 are a header and are never converted. Line 5
// holds the X axis from field 2 on; every later line holds the row's Y value
// in field 1 and its values from field 2 on.
//
// Maps hold at most kMaxAxis X values and rows. Text with more is read up to
// that limit and the surplus is ignored: nothing is stored past the arrays and
// neither count exceeds kMaxAxis.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kMaxAxis = 50;

// One calibration map, held by value. Value[x][y] is the value at X index x
// and Y index y. Only the counts say which entries are valid; parsing again
// leaves entries the new text does not supply as they were. A new map is all
// zero.
struct Map {
    double XAxis[kMaxAxis]{};
    double YAxis[kMaxAxis]{};
    double Value[kMaxAxis][kMaxAxis]{};
    std::int32_t XCount = 0;
    std::int32_t YCount = 0;
};

// A piece of a text (a line of a text, or a field of a line) and whether it is
// the final one.
struct TextPiece {
    std::string_view Text;
    bool Last = false;
};

// Line `index` of the text without its line break. The final line has its
// trailing characters of code 32 or less removed; asking for a line past it
// gives the final line. Scans from the start of the text on every call.
TextPiece GetLine(int index, std::string_view text);

// Field `index` of a line. Only the final field is trimmed (trailing
// characters of code 32 or less); asking for a field past it gives the final
// field.
TextPiece GetField(int index, std::string_view line, char separator);

// The number a field stands for, 0 if it stands for none. Strict: optional
// blanks, an optional sign, digits with at most one decimal mark, an optional
// exponent, optional blanks and nothing else. The decimal mark is the point;
// the first comma is read as a point, so "12,5" is 12.5. Values too large for
// a double give 0.
double TextToNumber(std::string_view text);

// What TextToNumber made of a text: a number, nothing but blanks, something
// that is no number, or a number beyond a double. All but Number read as 0.
enum class NumberStatus : std::uint8_t { Number, Empty, NotANumber, OutOfRange };
double TextToNumber(std::string_view text, NumberStatus& status);

// Fills the map from a whole map text in one forward pass: the counts are set
// from the text, the entries it supplies are overwritten, the others are left
// alone. Never fails.
void ParseMap(std::string_view text, Map& map);

// What reading a map text found that the values alone do not show.
enum class FindingKind : std::uint8_t {
    NotANumber,     // a stored field that is neither empty nor a number: read as 0
    OutOfRange,     // a number beyond a double: read as 0
    ShortRow,       // a row with fewer values than X values: the rest not written
    XNotIncreasing, // an X value not above the one before it
    YNotIncreasing, // a row's Y value not above the row before
};

struct ParseFinding {
    FindingKind Kind = FindingKind::NotANumber;
    int Line = 0;     // the text's line, from 0 (5 is the X axis, 6 the first row)
    int Field = 0;    // the line's field, from 0 (1 is a row's Y value); for a
                      // short row, the first field it lacks
    std::string Text; // the field as written (empty for a short row)
    double Value = 0; // the value stored (axis findings); a short row's Y value
    int Values = 0;   // a short row's values
};

struct ParseReport {
    int XCount = 0;
    int YCount = 0;
    int IgnoredX = 0;                   // X values (not empty) beyond kMaxAxis
    int IgnoredRows = 0;                // rows beyond kMaxAxis
    std::vector<ParseFinding> Findings; // by line, then field
    bool AllRead() const { return IgnoredX == 0 && IgnoredRows == 0 && Findings.empty(); }
};

// ParseMap, and what it found, in the same pass. Unlike ParseMap it reads to
// the end of the text to count the rows beyond the limit.
void ParseMap(std::string_view text, Map& map, ParseReport& report);

namespace map_detail {

// Whether ParseMap converts and stores field `field` of line `line`.
inline bool StoresField(int line, int field) {
    if (line == 5) {
        return field >= 2 && field - 2 < kMaxAxis;
    }
    return line >= 6 && line - 6 < kMaxAxis && field >= 1 && field - 2 < kMaxAxis;
}

// Stores the value of a field for which StoresField is true.
inline void StoreValue(Map& map, int line, int field, double value) {
    if (line == 5) {
        map.XAxis[field - 2] = value;
        map.XCount = field - 1;
    } else if (field == 1) {
        map.YAxis[line - 6] = value;
        map.YCount = line - 5;
    } else {
        map.Value[field - 2][line - 6] = value;
    }
}

// What ParseMap does with field `field` of line `line`.
inline void StoreField(Map& map, int line, int field, std::string_view text) {
    if (StoresField(line, field)) {
        StoreValue(map, line, field, TextToNumber(text));
    }
}

// Reads the common shape of a number, an optional sign, digits and at most
// one decimal mark ('.' or ','), with 1 to 19 digits in all, starting at p.
// On success p is left after it; on failure p is left anywhere.
bool ParsePlainNumber(const char*& p, const char* end, double& value);

// Removes trailing characters of code 32 or less.
std::string_view TrimRight(std::string_view text);

} // namespace map_detail
