// The catchment record filled from the catchment descriptor file, with the
// depth model that gives the run's design rainfall.
#pragma once

#include <cstdint>

#include "rainfall/depth_grid.h"

namespace sitedrain::rainfall {

struct Catchment {
  std::int32_t easting = 0;
  std::int32_t northing = 0;
  double SAAR4170 = 0.0;  // mm, 1941-1970
  double SAAR = 0.0;      // mm, 1961-1990
  double AREA = 0.0;      // km^2
  double SPRHOST = 0.0;
  double C = 0.0, D1 = 0.0, D2 = 0.0, D3 = 0.0, E = 0.0, F = 0.0;
  // The depth model of the run and the grid kind point chose; for FEH13 and
  // FEH22 the depth grid (empty when the run computes no depth table).
  DdfModel model = DdfModel::FEH99;
  GridKind grid_kind = GridKind::catchment;
  DepthGrid grid = {};
};

}  // namespace sitedrain::rainfall
