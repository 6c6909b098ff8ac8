// The catchment record filled from the catchment descriptor file.
#pragma once

#include <cstdint>

namespace sitedrain::rainfall {

struct Catchment {
  std::int32_t easting = 0;
  std::int32_t northing = 0;
  double SAAR4170 = 0.0;  // mm, 1941-1970
  double SAAR = 0.0;      // mm, 1961-1990
  double AREA = 0.0;      // km^2
  double SPRHOST = 0.0;
  double C = 0.0, D1 = 0.0, D2 = 0.0, D3 = 0.0, E = 0.0, F = 0.0;
};

}  // namespace sitedrain::rainfall
