#pragma once
// Maps for tests, from their axes and a value for each cell.

#include "Map.h"

#include <initializer_list>

// A map from axes and a value function of (x index, y index).
template <class F>
Map MakeMap(std::initializer_list<double> xs, std::initializer_list<double> ys, F value) {
    Map m;
    m.XCount = static_cast<int>(xs.size());
    m.YCount = static_cast<int>(ys.size());
    int i = 0;
    for (double x : xs) {
        m.XAxis[i++] = x;
    }
    i = 0;
    for (double y : ys) {
        m.YAxis[i++] = y;
    }
    for (int x = 0; x < m.XCount; ++x) {
        for (int y = 0; y < m.YCount; ++y) {
            m.Value[x][y] = value(x, y);
        }
    }
    return m;
}

inline Map Constant(std::initializer_list<double> xs, std::initializer_list<double> ys, double v) {
    return MakeMap(xs, ys, [v](int, int) { return v; });
}
