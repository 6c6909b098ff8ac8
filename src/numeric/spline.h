// Cubic-spline interpolation in one and two dimensions (the classic
// tridiagonal set-up, bisection look-up and bicubic row/column scheme).
// Arrays are 0-based here; the arithmetic is that of the 1-based originals.
// Outside the abscissae the end intervals' cubics are extended (no clamping).
#pragma once

#include <span>

namespace sitedrain::numeric {

// End-derivative value that asks for a natural end (zero second derivative).
inline constexpr double kNaturalEnd = 1.0e30;

// Second derivatives y2 of the spline through (x, y); yp1 and ypn are the end
// first derivatives, or above 9.9e29 for natural ends.  At most 500 points.
void spline_second_derivatives(std::span<const double> x, std::span<const double> y, double yp1,
                               double ypn, std::span<double> y2);

// Value at x of the spline (xa, ya, y2a).  Two equal abscissae met in the
// look-up show "bad xa input in splint" and stop the run.
double spline_value(std::span<const double> xa, std::span<const double> ya,
                    std::span<const double> y2a, double x);

// A grid table ya of m rows (first coordinate x1a) by n columns (second
// coordinate x2a), stored row after row.  At most 100 rows and 100 columns.
struct Grid {
  std::span<const double> x1a;  // m row coordinates
  std::span<const double> x2a;  // n column coordinates
  std::span<const double> ya;   // m * n values, ya[j * n + k]
};

// Natural-spline second derivatives along every row; y2a has m * n entries.
void grid_second_derivatives(const Grid& grid, std::span<double> y2a);

// Bicubic value at (x1, x2) from the table and the y2a of grid_second_derivatives.
double grid_spline_value(const Grid& grid, std::span<const double> y2a, double x1, double x2);

}  // namespace sitedrain::numeric
