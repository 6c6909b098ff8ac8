// Discharge coefficients of a throttle-plate orifice by head and diameter,
// interpolated with a bicubic spline, and the table of a pond run.
#include "geometry/orifice.h"

#include <array>
#include <string>

#include "numeric/spline.h"
#include "params/run_setup.h"
#include "textio/console.h"
#include "textio/format.h"

namespace sitedrain::geometry {

namespace {

constexpr int kHeads = 12;
constexpr int kDiameters = 8;

// Heads (m).
constexpr std::array<double, kHeads> kHead = {0.0,    0.0508, 0.0762, 0.1524, 0.2286, 0.3048,
                                              0.4318, 0.4572, 0.5588, 1.143,  3.05,   6.1};
// Orifice diameters (mm).
constexpr std::array<double, kDiameters> kDiameter = {6.35, 12.7, 19.05, 25.4,
                                                      38.1, 50.8, 63.5,  100.0};
// Coefficients, one group of diameters per head.
constexpr std::array<double, kHeads* kDiameters> kCoeff = {
    0.691,  0.672, 0.663, 0.656, 0.643, 0.636, 0.632, 0.632,  // 0.0
    0.683,  0.663, 0.652, 0.646, 0.634, 0.627, 0.624, 0.624,  // 0.0508
    0.680,  0.657, 0.646, 0.640, 0.628, 0.622, 0.618, 0.618,  // 0.0762
    0.669,  0.643, 0.632, 0.626, 0.618, 0.612, 0.610, 0.610,  // 0.1524
    0.660,  0.637, 0.623, 0.619, 0.612, 0.606, 0.604, 0.604,  // 0.2286
    0.653,  0.630, 0.618, 0.612, 0.606, 0.601, 0.600, 0.600,  // 0.3048
    0.645,  0.624, 0.614, 0.608, 0.603, 0.599, 0.598, 0.598,  // 0.4318
    0.643,  0.623, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598,  // 0.4572
    0.638,  0.621, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598,  // 0.5588
    0.6285, 0.621, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598,  // 1.143
    0.6285, 0.621, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598,  // 3.05
    0.6285, 0.621, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598,  // 6.1
};

const numeric::Grid kGrid{kHead, kDiameter, kCoeff};

// The row second derivatives of the data.  The set-up depends on the fixed
// data alone, so the one made at first use equals a fresh one at every call.
const std::array<double, kHeads * kDiameters>& row_second_derivatives() {
  static const std::array<double, kHeads* kDiameters> y2a = [] {
    std::array<double, kHeads * kDiameters> a{};
    numeric::grid_second_derivatives(kGrid, a);
    return a;
  }();
  return y2a;
}

}  // namespace

// In: head h (m), orifice diameter d (mm).  Out: the discharge coefficient;
// outside the data the end cubics of the splines carry on (no clamping).
double discharge_coefficient(double h, double d) {
  return numeric::grid_spline_value(kGrid, row_second_derivatives(), h, d);
}

// In: the diameters_mm sweep (first, last, step; mm) and the depth step count.
// Out: the diameter list in sweep order, the depth grid 1..n_depth (mm) and
// the coefficient of every diameter at every grid depth.  Stops the run on a
// zero step or on a coefficient of 0 or less.
CoeffTable build_coefficient_table(const params::Triple& diameters_mm, int n_depth) {
  if (diameters_mm.step == 0)
    console::stop_with("Orifice diameter step is 0 - no sweep of diameters");
  CoeffTable table;
  table.n_depth = n_depth;
  for (long long m = 0; m < params::sweep_count(diameters_mm); ++m)
    table.diameters.push_back(
        static_cast<int>(params::outlet_size(diameters_mm, static_cast<int>(m + 1))));
  table.c.resize(table.diameters.size() * static_cast<std::size_t>(n_depth > 0 ? n_depth : 0));
  std::size_t k = 0;
  for (int t : table.diameters) {
    for (int s = 1; s <= n_depth; ++s) {
      const double c =
          discharge_coefficient(static_cast<double>(s) / 1000.0, static_cast<double>(t));
      if (!(c > 0.0)) {
        console::stop_with("Discharge coefficient is not positive for an orifice diameter of " +
                           std::to_string(t) + " mm - use smaller orifice diameters");
      }
      table.c[k++] = c;
    }
  }
  return table;
}

}  // namespace sitedrain::geometry
