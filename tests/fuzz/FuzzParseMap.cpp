// ParseMap's single pass, with and without its report, against the
// line-by-line, field-by-field reading with GetLine and GetField, on maps
// pre-filled with the same garbage.
#include "LiteralParseMap.h"
#include "Map.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto single = std::make_unique<Map>();
    std::memset(single.get(), 0x5A, sizeof(Map));
    auto literal = std::make_unique<Map>(*single);
    ParseMap(text, *single);
    ParseMapLiteral(text, *literal);
    if (std::memcmp(single.get(), literal.get(), sizeof(Map)) != 0) {
        std::abort();
    }

    // The reporting pass stores the same and reports what the line-by-line
    // reading finds.
    auto reported = std::make_unique<Map>();
    std::memset(reported.get(), 0x5A, sizeof(Map));
    auto reference = std::make_unique<Map>(*reported);
    ParseReport report;
    ParseReport expected;
    ParseMap(text, *reported, report);
    ParseMapLiteral(text, *reference, expected);
    const auto same = [](const ParseFinding& a, const ParseFinding& b) {
        return a.Kind == b.Kind && a.Line == b.Line && a.Field == b.Field && a.Text == b.Text &&
               std::memcmp(&a.Value, &b.Value, sizeof a.Value) == 0 && a.Values == b.Values;
    };
    if (std::memcmp(reported.get(), single.get(), sizeof(Map)) != 0 ||
        report.XCount != expected.XCount || report.YCount != expected.YCount ||
        report.IgnoredX != expected.IgnoredX || report.IgnoredRows != expected.IgnoredRows ||
        !std::equal(report.Findings.begin(), report.Findings.end(), expected.Findings.begin(),
                    expected.Findings.end(), same)) {
        std::abort();
    }
    return 0;
}
