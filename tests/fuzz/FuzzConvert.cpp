// The whole convert path: three maps from one input (split at two bytes),
// through the pipeline and every view, with fuzzed thresholds; then retimed
// to the rail pressure map read as a target EOI map (axes of any order),
// where every cell no limit held must end within half a step of its target.
#include "Map.h"
#include "Pipeline.h"
#include "Report.h"
#include "Retime.h"

#include <cmath>

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
    const Thresholds eoi =
        ReadEoiThresholds(std::string(all.substr(0, std::min<std::size_t>(6, all.size()))), "0");
    for (int v = 0; v < kOutputViewCount; ++v) {
        const std::string text = BuildViewText(static_cast<OutputView>(v), *derived, eoi);
        if (text.empty()) {
            std::abort();
        }
    }
    const double steps[] = {0.1, 0.01, 0.0234375, 1, 0.25};
    const TRetimeLimits limits{data[0] % 2 == 0 ? -1e300 : -5.0, data[1] % 2 == 0 ? 1e300 : 30.0,
                               steps[data[2] % 5]};
    auto retimed = std::make_unique<TRetimeResult>();
    Retime(*derived, {TargetKind::Map, 0, rail.get()}, limits, *retimed);
    for (int x = 0; x < soi->XCount; ++x) {
        for (int y = 0; y < soi->YCount; ++y) {
            const double v = retimed->NewSoi.Value[x][y];
            const double residual = retimed->ResidualEoi.Value[x][y];
            // Beyond a million degrees a double's steps outgrow the ECU's.
            const bool modest = std::fabs(v) < 1e6 &&
                                std::fabs(retimed->TargetEoi.Value[x][y]) < 1e6 &&
                                std::fabs(retimed->DurationDeg.Value[x][y]) < 1e6;
            if (modest && retimed->Clamped[x][y] == 0 &&
                !(std::fabs(residual) <= limits.Step / 2 + 1e-6)) {
                std::abort();
            }
            if (v > limits.Max || v < limits.Min) {
                std::abort();
            }
        }
    }
    if (NewSoiText(*retimed, *soi, true).empty()) {
        std::abort();
    }
    return 0;
}
