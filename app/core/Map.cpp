#include "Map.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale is POSIX
#include <string>

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char TAB = '\t';

bool IsSpaceOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// The line-break state machine shared by GetLine and the forward line cursor.
// A break is known only once the character after it has been read, so a break
// at the very end of the text stays part of the final line.
enum class BreakState { InLine, AfterCR, AfterLF, AfterCRLF, AfterLFCR };

// The position of the first CR or LF at or after `from`, or the text's size.
// Eight bytes at a time: a byte equal to CR or LF becomes a zero byte after
// the XOR, and the lowest zero byte of a word is found exactly by the
// borrow trick (higher ones may be reported falsely, lower ones never).
std::size_t FindLineBreak(std::string_view text, std::size_t from) {
    const std::size_t n = text.size();
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        constexpr std::uint64_t kHighs = 0x8080808080808080u;
        while (from + 8 <= n) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + from, 8);
            const std::uint64_t cr = word ^ (kOnes * static_cast<unsigned char>(CR));
            const std::uint64_t lf = word ^ (kOnes * static_cast<unsigned char>(LF));
            const std::uint64_t zero = ((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf);
            if ((zero & kHighs) != 0) {
                return from + static_cast<std::size_t>(std::countr_zero(zero & kHighs) / 8);
            }
            from += 8;
        }
    }
    while (from < n && text[from] != CR && text[from] != LF) {
        ++from;
    }
    return from;
}

// Walks the text once, handing out GetLine(0), GetLine(1), ... in turn.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}

    TextPiece Next() {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            bool completes = false;
            switch (m_state) {
            case BreakState::InLine:
                if (c == CR || c == LF) {
                    BeginBreak(c);
                } else {
                    // Most characters are inside a line: skip to the next CR or LF.
                    m_pos = FindLineBreak(m_text, m_pos + 1);
                    continue;
                }
                break;
            case BreakState::AfterCR:
                if (c == LF) {
                    m_state = BreakState::AfterCRLF;
                } else {
                    completes = true;
                }
                break;
            case BreakState::AfterLF:
                if (c == CR) {
                    m_state = BreakState::AfterLFCR;
                } else {
                    completes = true;
                }
                break;
            case BreakState::AfterCRLF:
            case BreakState::AfterLFCR: completes = true; break;
            }
            if (completes) {
                const std::string_view line =
                    m_text.substr(m_lineStart, m_breakStart - m_lineStart);
                m_lineStart = m_pos;
                if (c == CR || c == LF) {
                    BeginBreak(c);
                } else {
                    m_state = BreakState::InLine;
                }
                ++m_pos;
                return {line, false};
            }
            ++m_pos;
        }
        return {map_detail::TrimRight(m_text.substr(m_lineStart)), true};
    }

private:
    void BeginBreak(char c) {
        m_state = c == CR ? BreakState::AfterCR : BreakState::AfterLF;
        m_breakStart = m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_lineStart = 0;
    std::size_t m_breakStart = 0;
    BreakState m_state = BreakState::InLine;
};

locale_t CLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Exact powers of ten in extended precision: 10^27 = 2^27 * 5^27 and 5^27 has
// 63 significant bits, so all of these fit the 64-bit significand.
constexpr long double kPow10[] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
    1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
    1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L,
};
constexpr int kMaxExactPow10 = 27;

double ToDouble(long double value, NumberStatus& status) {
    const double d = static_cast<double>(value);
    if (std::isinf(d)) {
        status = NumberStatus::OutOfRange;
        return 0.0;
    }
    return d;
}

} // namespace

namespace map_detail {

std::string_view TrimRight(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && IsSpaceOrControl(text[n - 1])) {
        --n;
    }
    return text.substr(0, n);
}

} // namespace map_detail

TextPiece GetLine(int index, std::string_view text) {
    // Deliberately independent of LineCursor: this is the reference reading
    // that ParseMap's single pass must reproduce.
    BreakState state = BreakState::InLine;
    int breaks = 0;
    std::size_t lineStart = 0;
    std::size_t breakStart = 0;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        bool completes = false;
        if (state == BreakState::InLine) {
            if (c == CR || c == LF) {
                state = c == CR ? BreakState::AfterCR : BreakState::AfterLF;
                breakStart = pos;
            }
        } else if (state == BreakState::AfterCR && c == LF) {
            state = BreakState::AfterCRLF;
        } else if (state == BreakState::AfterLF && c == CR) {
            state = BreakState::AfterLFCR;
        } else {
            completes = true;
        }
        if (completes) {
            ++breaks;
            if (breaks > index) {
                return {text.substr(lineStart, breakStart - lineStart), false};
            }
            lineStart = pos;
            if (c == CR || c == LF) {
                state = c == CR ? BreakState::AfterCR : BreakState::AfterLF;
                breakStart = pos;
            } else {
                state = BreakState::InLine;
            }
        }
    }
    return {map_detail::TrimRight(text.substr(lineStart)), true};
}

TextPiece GetField(int index, std::string_view line, char separator) {
    std::size_t start = 0;
    for (int i = 0;; ++i) {
        const std::size_t sep = line.find(separator, start);
        if (sep == std::string_view::npos) {
            return {map_detail::TrimRight(line.substr(start)), true};
        }
        if (i >= index) {
            return {line.substr(start, sep - start), false};
        }
        start = sep + 1;
    }
}

static double TextToNumberGeneral(std::string_view text, NumberStatus& status) {
    status = NumberStatus::NotANumber;
    // Check the syntax first: the C library's own conversion accepts far more
    // (hexadecimal, "inf", "nan", leading tabs and newlines).
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Mantissa: up to 19 significant digits are kept exactly; more send us to
    // the library conversion. Only the first comma stands for the decimal
    // point, and only one decimal mark is allowed.
    std::uint64_t mantissa = 0;
    int significant = 0;
    int digits = 0;
    int fractionDigits = 0;
    const std::size_t mantissaStart = i;
    auto readDigits = [&](bool fraction) {
        if (significant == 0) {
            while (i < n && text[i] == '0') {
                ++i;
                ++digits;
                fractionDigits += fraction ? 1 : 0;
            }
        }
        for (; i < n; ++i) {
            const unsigned d = static_cast<unsigned char>(text[i]) - static_cast<unsigned>('0');
            if (d > 9) {
                break;
            }
            if (significant < 19) {
                mantissa = mantissa * 10 + d;
            }
            ++significant;
            ++digits;
            fractionDigits += fraction ? 1 : 0;
        }
    };
    readDigits(false);
    if (i < n && (text[i] == '.' || text[i] == ',')) {
        ++i;
        readDigits(true);
    }
    const std::size_t mantissaEnd = i;
    if (digits == 0) {
        if (map_detail::TrimRight(text).empty()) {
            status = NumberStatus::Empty;
        }
        return 0.0;
    }

    // The exponent as written goes to the library conversion; its value here
    // only decides whether the exact shortcut applies, and one too large to
    // hold rules that out (a long mantissa can balance any exponent).
    long exponent = 0;
    bool hugeExponent = false;
    std::string_view exponentText = "0";
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const std::size_t signStart = i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        const std::size_t expStart = i;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (exponent < 1'000'000'000) {
                exponent = exponent * 10 + (text[i] - '0');
            } else {
                hugeExponent = true;
            }
        }
        if (i == expStart) {
            return 0.0;
        }
        if (expNegative) {
            exponent = -exponent;
        }
        exponentText = text.substr(signStart, i - signStart);
    }
    while (i < n && text[i] == ' ') {
        ++i;
    }
    if (i != n) {
        return 0.0;
    }

    status = NumberStatus::Number;
    if (significant == 0) {
        return negative ? -0.0 : 0.0;
    }
    const long scale = exponent - fractionDigits;
    if (!hugeExponent && significant <= 19 && scale >= -kMaxExactPow10 && scale <= kMaxExactPow10) {
        // Both operands are exact, so the one multiplication or division is
        // correctly rounded: the same extended value strtold gives.
        long double value = static_cast<long double>(mantissa);
        value = scale >= 0 ? value * kPow10[scale] : value / kPow10[-scale];
        return ToDouble(negative ? -value : value, status);
    }

    std::string normalised;
    normalised.reserve(n + 2);
    if (negative) {
        normalised += '-';
    }
    for (std::size_t k = mantissaStart; k < mantissaEnd; ++k) {
        normalised += text[k] == ',' ? '.' : text[k];
    }
    normalised += 'e';
    normalised += exponentText;
    errno = 0;
    char* end = nullptr;
    const long double value = strtold_l(normalised.c_str(), &end, CLocale());
    if (errno == ERANGE && std::isinf(value)) {
        status = NumberStatus::OutOfRange;
        return 0.0;
    }
    return ToDouble(value, status);
}

namespace map_detail {

bool ParsePlainNumber(const char*& pos, const char* end, double& value) {
    const char* p = pos; // a local copy: stores through `pos` could alias the text
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    std::uint64_t mantissa = 0;
    const char* const digitsStart = p;
    unsigned d = 0;
    while (p != end && (d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0')) <= 9) {
        mantissa = mantissa * 10 + d;
        ++p;
    }
    int digits = static_cast<int>(p - digitsStart);
    int fractionDigits = 0;
    if (p != end && (*p == '.' || *p == ',')) {
        ++p;
        const char* const fractionStart = p;
        while (p != end && (d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0')) <= 9) {
            mantissa = mantissa * 10 + d;
            ++p;
        }
        fractionDigits = static_cast<int>(p - fractionStart);
        digits += fractionDigits;
    }
    pos = p;
    if (digits == 0 || digits > 19) {
        return false;
    }
    // Up to 19 digits fit 64 bits, exactly in extended precision too, so a
    // whole number rounds to double once, just as through strtold. With a
    // fraction, 10^19 is exact as well and one correctly rounded extended
    // division gives strtold's extended value. Below 1e19 nothing overflows.
    double magnitude = 0;
    if (fractionDigits == 0) {
        magnitude = static_cast<double>(mantissa);
    } else {
        magnitude =
            static_cast<double>(static_cast<long double>(mantissa) / kPow10[fractionDigits]);
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace map_detail

double TextToNumber(std::string_view text, NumberStatus& status) {
    const char* p = text.data();
    const char* const end = p + text.size();
    double value = 0;
    if (map_detail::ParsePlainNumber(p, end, value) && p == end) {
        status = NumberStatus::Number;
        return value;
    }
    return TextToNumberGeneral(text, status);
}

double TextToNumber(std::string_view text) {
    NumberStatus status{};
    return TextToNumber(text, status);
}

namespace {

// Collects what the reading pass finds. The plain pass uses NoReport, whose
// calls compile to nothing.
struct NoReport {
    static constexpr bool kOn = false;
    void Number(const Map&, int, int, std::string_view, NumberStatus, double) {}
    void FieldsOnLine(int, int) {}
    void ExtraXField(std::string_view) {}
    void ExtraLine(std::string_view) {}
    void Finish(const Map&) {}
};

class Reporter {
public:
    static constexpr bool kOn = true;
    explicit Reporter(ParseReport& report) : m_report(report) {
        m_report.XCount = m_report.YCount = 0;
        m_report.IgnoredX = m_report.IgnoredRows = 0;
        m_report.Findings.clear();
    }

    // A stored field, its text, how it was read and the value stored (called
    // before the value is stored, so the map still holds the earlier entry).
    void Number(const Map& map, int line, int field, std::string_view text, NumberStatus status,
                double value) {
        if (status == NumberStatus::NotANumber || status == NumberStatus::OutOfRange) {
            Add(status == NumberStatus::NotANumber ? FindingKind::NotANumber
                                                   : FindingKind::OutOfRange,
                line, field, text, 0);
        }
        // The lookups take the axes as they are stored: say where one does
        // not rise. An axis value that is no number is already said.
        const bool isX = line == 5 && field >= 3;
        const bool isY = line >= 7 && field == 1;
        if ((isX || isY) && (status == NumberStatus::Number || status == NumberStatus::Empty)) {
            const double before = isX ? map.XAxis[field - 3] : map.YAxis[line - 7];
            if (!(value > before)) {
                Add(isX ? FindingKind::XNotIncreasing : FindingKind::YNotIncreasing, line, field,
                    text, value);
            }
        }
    }
    void FieldsOnLine(int line, int fields) {
        if (line >= 6 && line - 6 < kMaxAxis) {
            m_fields[line - 6] = fields;
        }
    }
    void ExtraXField(std::string_view text) {
        m_report.IgnoredX += map_detail::TrimRight(text).empty() ? 0 : 1;
    }
    void ExtraLine(std::string_view line) {
        // Only what would have been a row: a Y field after the first TAB.
        const std::size_t tab = line.find('\t');
        if (tab != std::string_view::npos && !map_detail::TrimRight(line.substr(tab)).empty()) {
            ++m_report.IgnoredRows;
        }
    }
    void Finish(const Map& map) {
        m_report.XCount = map.XCount;
        m_report.YCount = map.YCount;
        bool shortRows = false;
        for (int y = 0; y < map.YCount; ++y) {
            const int values = std::max(0, std::min(m_fields[y] - 2, kMaxAxis));
            if (values < map.XCount) {
                Add(FindingKind::ShortRow, 6 + y, m_fields[y], {}, map.YAxis[y]);
                m_report.Findings.back().Values = values;
                shortRows = true;
            }
        }
        if (shortRows) {
            std::stable_sort(m_report.Findings.begin(), m_report.Findings.end(),
                             [](const ParseFinding& a, const ParseFinding& b) {
                                 return a.Line != b.Line ? a.Line < b.Line : a.Field < b.Field;
                             });
        }
    }

private:
    void Add(FindingKind kind, int line, int field, std::string_view text, double value) {
        ParseFinding& f = m_report.Findings.emplace_back();
        f.Kind = kind;
        f.Line = line;
        f.Field = field;
        f.Text.assign(text);
        f.Value = value;
    }

    ParseReport& m_report;
    // Fields on each row's line; 0 for a line the text did not reach.
    int m_fields[kMaxAxis]{};
};

template <class Report> void ParsePass(std::string_view text, Map& map, Report& report) {
    map.XCount = 0;
    map.YCount = 0;
    // Nothing past the last row a map can hold is stored, so the plain
    // reading stops there; up to it this is the same line-by-line,
    // field-by-field reading as GetLine and GetField give, in one pass. A
    // field that holds a plain number is read as it is found; anything else
    // is cut out and converted as a whole.
    constexpr int kLastStoredLine = 6 + kMaxAxis - 1;
    constexpr int kLastStoredField = 2 + kMaxAxis - 1;
    LineCursor lines(text);
    for (int i = 0; i <= kLastStoredLine; ++i) {
        const TextPiece line = lines.Next();
        if (i >= 5) {
            const char* const end = line.Text.data() + line.Text.size();
            const char* start = line.Text.data();
            int f = 0;
            for (; f <= kLastStoredField; ++f) {
                const bool stores = map_detail::StoresField(i, f);
                const char* next = start;
                double value = 0;
                if (stores && map_detail::ParsePlainNumber(next, end, value) &&
                    (next == end || *next == TAB)) {
                    if constexpr (Report::kOn) {
                        // A plain number: only an axis value has anything to say.
                        if (f == 1 || i == 5) {
                            report.Number(map, i, f,
                                          {start, static_cast<std::size_t>(next - start)},
                                          NumberStatus::Number, value);
                        }
                    }
                    map_detail::StoreValue(map, i, f, value);
                } else {
                    next = start;
                    while (next != end && *next != TAB) {
                        ++next;
                    }
                    if (stores) {
                        std::string_view field(start, static_cast<std::size_t>(next - start));
                        if (next == end) {
                            field = map_detail::TrimRight(field);
                        }
                        NumberStatus status{};
                        value = TextToNumber(field, status);
                        report.Number(map, i, f, field, status, value);
                        map_detail::StoreValue(map, i, f, value);
                    }
                }
                if (next == end) {
                    break;
                }
                start = next + 1;
            }
            if constexpr (Report::kOn) {
                if (f > kLastStoredField) {
                    // The line goes on past what a map holds.
                    const std::string_view rest(start, static_cast<std::size_t>(end - start));
                    if (i == 5) {
                        std::size_t from = 0;
                        for (;;) {
                            const std::size_t tab = rest.find(TAB, from);
                            report.ExtraXField(rest.substr(from, tab - from));
                            if (tab == std::string_view::npos) {
                                break;
                            }
                            from = tab + 1;
                        }
                    }
                    f = kLastStoredField + 1;
                } else {
                    ++f;
                }
                report.FieldsOnLine(i, f);
            }
        }
        if (line.Last) {
            report.Finish(map);
            return;
        }
    }
    if constexpr (Report::kOn) {
        // Rows past what a map holds are only counted.
        for (;;) {
            const TextPiece line = lines.Next();
            report.ExtraLine(line.Text);
            if (line.Last) {
                break;
            }
        }
    }
    report.Finish(map);
}

} // namespace

void ParseMap(std::string_view text, Map& map) {
    NoReport none;
    ParsePass(text, map, none);
}

void ParseMap(std::string_view text, Map& map, ParseReport& report) {
    Reporter reporter(report);
    ParsePass(text, map, reporter);
}
