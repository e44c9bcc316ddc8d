#include "Lookup.h"

#include <cmath>
#include <cstdint>
#include <limits>

double Interpolate(double a, double b, double t, double va, double vb) {
    const double d = b - a;
    const double dt = t - a;
    const double dv = vb - va;
    const double r = d == 0 ? 1.0 : dt / d;
    return va + dv * r;
}

double AxisLookup(const double* axis, int count, const double* values, std::ptrdiff_t stride,
                  double t) {
    if (count <= 0) {
        return 0.0;
    }
    int k = 0;
    while (k < count && !(axis[k] > t)) {
        ++k;
    }
    if (k == count) {
        return values[(count - 1) * stride];
    }
    if (k == 0) {
        return values[0];
    }
    return Interpolate(axis[k - 1], axis[k], t, values[(k - 1) * stride], values[k * stride]);
}

double LookupAlongX(const Map& map, int y, double t) {
    return AxisLookup(map.XAxis, map.XCount, &map.Value[0][y], kMaxAxis, t);
}

double LookupAlongY(const Map& map, int x, double t) {
    return AxisLookup(map.YAxis, map.YCount, &map.Value[x][0], 1, t);
}

double RoundTo(double x, int n) {
    // The scale is held as a 32-bit integer (10 for n = 1); scales that cannot
    // be (n < 0 or n > 9) are used as they are instead.
    const double scale = std::pow(10.0, n);
    const double p = scale >= 1.0 && scale <= std::numeric_limits<std::int32_t>::max()
                         ? static_cast<double>(static_cast<std::int32_t>(scale))
                         : scale;
    const double y = x * p;
    const double r = y > 0 ? std::floor(y + 0.5) : std::ceil(y - 0.5);
    // The 32-bit conversion only drops the (zero) fraction of r; outside its
    // range it would be undefined, so there r is used as it is.
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    if (r >= kLow && r <= kHigh) {
        return static_cast<double>(static_cast<std::int32_t>(r)) / p;
    }
    return r / p;
}
