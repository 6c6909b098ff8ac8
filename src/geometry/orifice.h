// Throttle-plate orifice discharge coefficients: the coefficient data, the
// bicubic interpolation discharge_coefficient, and the table of a pond run (every
// orifice diameter of the sweep by every millimetre of depth).
#pragma once

#include <vector>

#include "params/design_params.h"

namespace sitedrain::geometry {

// Discharge coefficient at head h (m) for orifice diameter d (mm).
double discharge_coefficient(double h, double d);

struct CoeffTable {
  std::vector<int> diameters;  // the sweep, mm (1-based position m = index + 1)
  int n_depth = 0;             // depth grid points 1, 2, ..., n_depth (mm)
  std::vector<double> c;       // c[(m - 1) * n_depth + (s - 1)]

  double at(int m, int s) const {
    return c[static_cast<std::size_t>(m - 1) * static_cast<std::size_t>(n_depth) +
             static_cast<std::size_t>(s - 1)];
  }
};

// Builds the table for the diameters_mm sweep with n_depth = depth step count.
// A coefficient of 0 or less stops the run with a message naming the diameter.
CoeffTable build_coefficient_table(const params::Triple& diameters_mm, int n_depth);

}  // namespace sitedrain::geometry
