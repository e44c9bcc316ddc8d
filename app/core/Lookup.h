#pragma once
// The numeric primitives of the conversion: linear interpolation, lookup along
// one axis of a map with flat continuation beyond both ends, and decimal
// rounding. Pure functions.

#include "Map.h"

#include <cstddef>

// The value at t on the line through (a, va) and (b, vb); no clamping. With
// a == b the result is vb.
double Interpolate(double a, double b, double t, double va, double vb);

// The value at t along an axis of `count` points whose value k is
// values[k * stride]. Scans from index 0 for the first axis point greater than
// t: none gives the last value, the first gives the first value, any other
// interpolates between it and the point before. The axis need not ascend.
// A count of 0 or less gives 0.
double AxisLookup(const double* axis, int count, const double* values, std::ptrdiff_t stride,
                  double t);

// The two halves of AxisLookup, for callers that look up the same positions
// on the same axis in many rows: the index of the first axis point greater
// than t (count when there is none), and the value for that index.
int AxisBracket(const double* axis, int count, double t);
double AxisValue(const double* axis, int count, const double* values, std::ptrdiff_t stride,
                 double t, int bracket);

// Where t lies against an axis that AxisBracket placed it at `bracket` on:
// -1 before the first point, +1 past the last, 0 on the axis (or no axis).
int AxisSide(const double* axis, int count, double t, int bracket);

// Lookup along X in row y: axis XAxis, values Value[k][y].
double LookupAlongX(const Map& map, int y, double t);

// Lookup along Y in column x: axis YAxis, values Value[x][k].
double LookupAlongY(const Map& map, int x, double t);

// x rounded to n decimals, halves away from zero (2.25 -> 2.3, -2.25 -> -2.3).
// Scaled values beyond the 32-bit integer range are rounded the same way
// without the integer conversion; a NaN stays NaN.
double RoundTo(double x, int n);
