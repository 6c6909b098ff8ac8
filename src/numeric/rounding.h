// round_places: the system's one rounding routine.  x to n decimals; mode 0
// truncates toward zero, mode 1 rounds halves away from zero.  The scaled
// value is held in a 32-bit integer.
#pragma once

#include <cstdint>

namespace sitedrain::numeric {

inline double round_places(double x, int n, int mode) {
  std::int32_t p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  double t = x * p;
  if (mode == 1) t = t > 0.0 ? t + 0.5 : t - 0.5;
  // Out-of-range values saturate rather than wrap.
  std::int32_t k;
  if (!(t < 2147483647.0))
    k = 2147483647;
  else if (!(t > -2147483648.0))
    k = -2147483647 - 1;
  else
    k = static_cast<std::int32_t>(t);
  return static_cast<double>(k) / static_cast<double>(p);
}

}  // namespace sitedrain::numeric
