#pragma once
// Map texts for the benchmarks: a rail pressure, a duration and an SOI map in
// the map editor's text format, 16 x 12 (n = 16) or n x n.

#include "Report.h"

#include <cmath>
#include <string>

inline int Rows(int n) {
    return n == 16 ? 12 : n;
}

// A map text in the format the map editor exports, values from f(x, y).
template <class F>
inline std::string MakeText(int xCount, int yCount, double x0, double dx, double y0, double dy,
                            int decimals, F f) {
    std::string t = "Map (" + std::to_string(xCount) + ", " + std::to_string(yCount) +
                    ")\r\n\r\nDescription\r\n\r\n\t\tmm3\r\n\t";
    for (int x = 0; x < xCount; ++x) {
        t += "\t" + FormatNumber(x0 + dx * x, 1);
    }
    t += "\r\n";
    for (int y = 0; y < yCount; ++y) {
        t += (y == 0 ? "1/min\t" : "\t") + FormatNumber(y0 + dy * y, 0);
        for (int x = 0; x < xCount; ++x) {
            t += "\t" + FormatNumber(f(x0 + dx * x, y0 + dy * y), decimals);
        }
        t += "\r\n";
    }
    return t;
}

struct Inputs {
    std::string RailPressure;
    std::string Duration;
    std::string Soi;
};

inline Inputs MakeInputs(int n) {
    const int rows = Rows(n);
    const double dq = 60.0 / (n - 1);
    const double drpm = 3750.0 / (rows - 1);
    Inputs in;
    in.RailPressure = MakeText(n, rows, 0, dq, 750, drpm, 0, [](double q, double rpm) {
        return std::fmin(1800, 250 + 22 * q + 0.28 * (rpm - 750) + 0.004 * q * (rpm - 750));
    });
    in.Duration =
        MakeText(n + 3, rows, 0, dq * 0.9, 250, 1550.0 / (rows - 1), 0, [](double q, double p) {
            return q == 0 ? 0 : 180 + q / (42 * std::sqrt(p / 1600)) * 1000;
        });
    in.Soi = MakeText(n, rows, 0, dq, 750, drpm, 1, [](double q, double rpm) {
        return 1.5 + 4.2 * (rpm - 750) / 1000 + 0.11 * q;
    });
    return in;
}
