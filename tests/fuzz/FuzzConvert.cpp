// The whole convert path: three maps from one input (split at two bytes),
// through the pipeline and every view, with fuzzed thresholds.
#include "Map.h"
#include "Pipeline.h"
#include "Report.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::string_view all(reinterpret_cast<const char*>(data) + 4, size - 4);
    const std::size_t a = std::min<std::size_t>(data[0] * 64u + data[1], all.size());
    const std::size_t b = std::min<std::size_t>(a + data[2] * 64u + data[3], all.size());
    auto rail = std::make_unique<Map>();
    auto duration = std::make_unique<Map>();
    auto soi = std::make_unique<Map>();
    ParseMap(all.substr(0, a), *rail);
    ParseMap(all.substr(a, b - a), *duration);
    ParseMap(all.substr(b), *soi);
    if (FindIncompleteInput(*rail, *duration, *soi) != MissingInput::None) {
        return 0;
    }
    auto derived = std::make_unique<DerivedMaps>();
    DeriveMaps(*rail, *duration, *soi, *derived);
    const Thresholds eoi = ReadEoiThresholds(std::string(all.substr(0, std::min<std::size_t>(6, all.size()))), "0");
    for (int v = 0; v < kOutputViewCount; ++v) {
        const std::string text = BuildViewText(static_cast<OutputView>(v), *derived, eoi);
        if (text.empty()) {
            std::abort();
        }
    }
    return 0;
}
