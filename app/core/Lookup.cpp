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

int AxisBracket(const double* axis, int count, double t) {
    int k = 0;
    while (k < count && !(axis[k] > t)) {
        ++k;
    }
    return k;
}

double AxisValue(const double* axis, int count, const double* values, std::ptrdiff_t stride,
                 double t, int bracket) {
    if (count <= 0) {
        return 0.0;
    }
    if (bracket >= count) {
        return values[(count - 1) * stride];
    }
    if (bracket == 0) {
        return values[0];
    }
    return Interpolate(axis[bracket - 1], axis[bracket], t, values[(bracket - 1) * stride],
                       values[bracket * stride]);
}

int AxisSide(const double* axis, int count, double t, int bracket) {
    if (count <= 0) {
        return 0;
    }
    if (bracket == 0) {
        return -1;
    }
    return bracket >= count && t > axis[count - 1] ? 1 : 0;
}

double AxisLookup(const double* axis, int count, const double* values, std::ptrdiff_t stride,
                  double t) {
    return AxisValue(axis, count, values, stride, t, AxisBracket(axis, count, t));
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
    constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scale = n >= 0 && n <= 9 ? kPow10[n] : std::pow(10.0, n);
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
