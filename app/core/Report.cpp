#include "Report.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The slow, general way: printf itself.
std::string FormatWithPrintf(double v, int n) {
    char small[64];
    const int length = std::snprintf(small, sizeof small, "%.*f", n, v);
    std::string text;
    if (length < 0) {
        return text;
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        text.assign(small, static_cast<std::size_t>(length));
    } else {
        std::vector<char> big(static_cast<std::size_t>(length) + 1);
        std::snprintf(big.data(), big.size(), "%.*f", n, v);
        text.assign(big.data(), static_cast<std::size_t>(length));
    }
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

__extension__ using UInt128 = unsigned __int128;

// Longest text WriteNumberFast produces: sign, 19 digits, point.
constexpr std::size_t kMaxFastNumber = 21;

// The digits printf's "%.nf" prints for v, for n <= 4 and |v| * 10^n < 1e18, written
// at `out`; returns the end, or nullptr when v is outside that range. The
// value is exactly m * 2^e, so v * 10^n is an exact integer product that is
// then rounded to an integer, ties to even, as printf rounds.
char* WriteNumberFast(char* out, double v, int n) {
    constexpr std::uint64_t kPow10[] = {1, 10, 100, 1000, 10000};
    if (n > 4 || !std::isfinite(v) || std::fabs(v) * static_cast<double>(kPow10[n]) >= 1e18) {
        return nullptr;
    }
    // |v| = m * 2^shift, read straight from the bits.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t m = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int shift = (biased == 0 ? 1 : biased) - 1075;
    const UInt128 product = static_cast<UInt128>(m) * kPow10[n];
    std::uint64_t rounded = 0;
    if (shift >= 0) {
        rounded = static_cast<std::uint64_t>(product << shift); // below 1e18: no overflow
    } else if (shift > -128) {
        const int s = -shift;
        const UInt128 quotient = product >> s;
        const UInt128 remainder = product - (quotient << s);
        const UInt128 half = static_cast<UInt128>(1) << (s - 1);
        rounded = static_cast<std::uint64_t>(quotient);
        if (remainder > half || (remainder == half && (rounded & 1) != 0)) {
            ++rounded;
        }
    }

    // Digits two at a time, from the right.
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324"
                                     "25262728293031323334353637383940414243444546474849"
                                     "50515253545556575859606162636465666768697071727374"
                                     "75767778798081828384858687888990919293949596979899";
    char digits[24];
    char* first = digits + sizeof digits;
    while (rounded >= 100) {
        const auto pair = static_cast<std::size_t>(rounded % 100) * 2;
        rounded /= 100;
        *--first = kPairs[pair + 1];
        *--first = kPairs[pair];
    }
    if (rounded >= 10) {
        const auto pair = static_cast<std::size_t>(rounded) * 2;
        *--first = kPairs[pair + 1];
        *--first = kPairs[pair];
    } else {
        *--first = static_cast<char>('0' + rounded);
    }
    // printf shows at least one digit before the point.
    while (digits + sizeof digits - first < n + 1) {
        *--first = '0';
    }
    if (std::signbit(v)) {
        *out++ = '-';
    }
    const char* const point = digits + sizeof digits - n;
    std::memcpy(out, first, static_cast<std::size_t>(point - first));
    out += point - first;
    if (n > 0) {
        *out++ = '.';
        std::memcpy(out, point, static_cast<std::size_t>(n));
        out += n;
    }
    return out;
}

// Appends to a string through a raw pointer, growing it in large steps: a
// report is thousands of tiny pieces.
class TextWriter {
public:
    TextWriter(std::string& text, std::size_t expected) : m_text(text) { m_text.resize(expected); }
    ~TextWriter() { m_text.resize(m_length); }

    void Put(std::string_view piece) {
        if (piece.empty()) {
            return; // an empty view may hold a null pointer, which memcpy must not see
        }
        Ensure(piece.size());
        std::memcpy(m_text.data() + m_length, piece.data(), piece.size());
        m_length += piece.size();
    }
    void Put(char c) {
        Ensure(1);
        m_text[m_length++] = c;
    }
    template <std::size_t N> void PutLiteral(const char (&literal)[N]) {
        Ensure(N - 1);
        std::memcpy(m_text.data() + m_length, literal, N - 1);
        m_length += N - 1;
    }
    void PutNumber(double v, int n) {
        Ensure(kMaxFastNumber);
        if (char* end = WriteNumberFast(m_text.data() + m_length, v, n)) {
            m_length = static_cast<std::size_t>(end - m_text.data());
        } else {
            Put(FormatWithPrintf(v, n));
        }
    }

private:
    void Ensure(std::size_t extra) {
        if (m_length + extra > m_text.size()) {
            m_text.resize(std::max(m_text.size() * 2, m_length + extra));
        }
    }

    std::string& m_text;
    std::size_t m_length = 0;
};

} // namespace

std::string FormatNumber(double v, int n) {
    n = std::max(n, 0);
    char buffer[kMaxFastNumber];
    if (const char* end = WriteNumberFast(buffer, v, n)) {
        return std::string(buffer, static_cast<std::size_t>(end - buffer));
    }
    return FormatWithPrintf(v, n);
}

std::string_view ColorCode(double v, double lo, double hi) {
    if (v <= lo) {
        return "[R]";
    }
    if (v >= hi) {
        return "[B]";
    }
    return {};
}

std::string MapToText(const Map& map, std::string_view title, std::string_view description,
                      std::string_view xUnit, std::string_view yUnit, int xDecimals, int yDecimals,
                      int valueDecimals, double lo, double hi, const ExtrapolationMap* italic,
                      const ExtrapolationMap* bold) {
    xDecimals = std::max(xDecimals, 0);
    yDecimals = std::max(yDecimals, 0);
    valueDecimals = std::max(valueDecimals, 0);
    std::string text;
    {
        TextWriter out(text, 256 + title.size() + description.size() +
                                 static_cast<std::size_t>(map.XCount + 2) *
                                     static_cast<std::size_t>(map.YCount + 2) * 16);
        out.Put(title);
        out.PutLiteral(" (");
        out.Put(std::to_string(map.XCount));
        out.PutLiteral(", ");
        out.Put(std::to_string(map.YCount));
        out.PutLiteral(")\r\n\r\n");
        out.Put(description);
        out.PutLiteral("\r\n\r\n\t\t");
        out.Put(xUnit);
        out.Put(kCrLf);

        out.Put('\t');
        for (int x = 0; x < map.XCount; ++x) {
            out.PutLiteral("\t[G]");
            out.PutNumber(map.XAxis[x], xDecimals);
            out.PutLiteral("[/]");
        }
        out.Put(kCrLf);

        for (int y = 0; y < map.YCount; ++y) {
            if (y == 0) {
                out.Put(yUnit);
            }
            out.PutLiteral("\t[G]");
            out.PutNumber(map.YAxis[y], yDecimals);
            out.PutLiteral("[/]");
            if (italic == nullptr && bold == nullptr) {
                for (int x = 0; x < map.XCount; ++x) {
                    const double v = map.Value[x][y];
                    out.Put('\t');
                    out.Put(ColorCode(v, lo, hi));
                    out.PutNumber(v, valueDecimals);
                    out.PutLiteral("[/]");
                }
            } else {
                // Neighbouring italic cells of one colour share one run (the
                // TAB between them in italics too): a view lays out one run
                // much faster than many.
                std::string_view open; // the colour of the styled run, if one is open
                int openStyle = 0;     // and its style: 1 italic, 2 bold
                bool inStyled = false;
                for (int x = 0; x < map.XCount; ++x) {
                    const double v = map.Value[x][y];
                    const std::string_view code = ColorCode(v, lo, hi);
                    const int style = (italic != nullptr && italic->Cell[x][y] != 0 ? 1 : 0) |
                                      (bold != nullptr && bold->Cell[x][y] != 0 ? 2 : 0);
                    const bool styled = style != 0;
                    // Only italics run on across TABs: a bold TAB would
                    // widen the gap between two numbers.
                    if (inStyled && style == 1 && code == open && openStyle == 1) {
                        out.Put('\t');
                        out.PutNumber(v, valueDecimals);
                        continue;
                    }
                    if (inStyled) {
                        out.PutLiteral("[/]");
                    }
                    out.Put('\t');
                    out.Put(code);
                    if ((style & 1) != 0) {
                        out.PutLiteral("[=I]");
                    }
                    if ((style & 2) != 0) {
                        out.PutLiteral("[=B]");
                    }
                    out.PutNumber(v, valueDecimals);
                    inStyled = styled;
                    open = code;
                    openStyle = style;
                    if (!styled) {
                        out.PutLiteral("[/]");
                    }
                }
                if (inStyled) {
                    out.PutLiteral("[/]");
                }
            }
            out.Put(kCrLf);
        }
    }
    return text;
}

std::string MapDataToText(const Map& map, int decimals) {
    decimals = std::max(decimals, 0);
    std::string text;
    {
        TextWriter out(text, static_cast<std::size_t>(map.XCount) *
                                 static_cast<std::size_t>(map.YCount) * 10);
        for (int y = 0; y < map.YCount; ++y) {
            for (int x = 0; x < map.XCount; ++x) {
                if (x > 0) {
                    out.Put('\t');
                }
                out.PutNumber(map.Value[x][y], decimals);
            }
            out.Put(kCrLf);
        }
    }
    return text;
}

Thresholds ReadEoiThresholds(std::string_view loText, std::string_view hiText) {
    if (loText.empty() || hiText.empty()) {
        return {-9999, 9999};
    }
    return {TextToNumber(loText), TextToNumber(hiText)};
}

TViewLayout ViewLayout(OutputView view, const DerivedMaps& maps) {
    // "\xB5" is the micro sign in Windows-1252.
    const auto& f = maps.Flags;
    switch (view) {
    case OutputView::RailPressure:
        return {maps.NewRailPressureMap,
                f.NewRailPressureMap,
                "Rail pressure Map",
                "Rail pressure(Injection Quantity,Engine Speed)/Bar",
                "mm3",
                "1/min",
                1,
                0,
                0,
                false};
    case OutputView::DurationRP:
        return {maps.NewDurationMapRP,
                f.NewDurationMapRP,
                "New Duration Map",
                "Duration(Injection Quantity, Rail Pressure)/\xB5s",
                "mm3",
                "Bar",
                1,
                0,
                0,
                false};
    case OutputView::DurationUs:
        return {maps.NewDurationMapUs,
                f.NewDurationMapUs,
                "New Duration Map",
                "Duration(Injection Quantity, Engine Speed)/\xB5s",
                "mm3",
                "1/min",
                1,
                0,
                0,
                false};
    case OutputView::DurationDeg:
    case OutputView::DurationDegData:
        return {maps.NewDurationMapDeg,
                f.NewDurationMapDeg,
                "New Duration Map",
                "Duration(Injection Quantity, Engine Speed)/degCA",
                "mm3",
                "1/min",
                1,
                0,
                1,
                view == OutputView::DurationDegData};
    case OutputView::EOI:
    case OutputView::EOIData: break;
    }
    return {maps.NewEOIMap,
            f.NewEOIMap,
            "EOI",
            "Duration(Injection Quantity, Engine Speed)/degCA",
            "mm3",
            "1/min",
            1,
            0,
            1,
            view == OutputView::EOIData};
}

std::string BuildViewText(OutputView view, const DerivedMaps& maps, Thresholds eoi,
                          bool markExtrapolated, const ExtrapolationMap* changed) {
    const TViewLayout l = ViewLayout(view, maps);
    if (l.Data) {
        return MapDataToText(l.Values, l.ValueDecimals);
    }
    // Only the EOI report is coloured; the others' thresholds are out of reach.
    constexpr double kOff = 99999;
    const bool isEoi = view == OutputView::EOI;
    const bool marked = isEoi || view == OutputView::DurationDeg;
    return MapToText(l.Values, l.Title, l.Description, l.XUnit, l.YUnit, l.XDecimals, l.YDecimals,
                     l.ValueDecimals, isEoi ? eoi.Lo : -kOff, isEoi ? eoi.Hi : kOff,
                     marked && markExtrapolated ? &l.Flags : nullptr, marked ? changed : nullptr);
}
