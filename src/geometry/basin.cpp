#include "geometry/basin.h"

namespace sitedrain::geometry {

// In: height h above the base, batter b, base L by W.  Out: the plan area
// (L + 2bh)(W + 2bh), summed as 4(bh)^2 + 2bh(L + W) + LW.
double plan_area_at(double h, double b, double L, double W) {
  return 4.0 * ((b * h) * (b * h)) + 2.0 * b * h * (L + W) + L * W;
}

// In: depth d, batter b, base Wb by Lb.  Out: the volume of the full basin by
// the prismoidal rule d/6 (base + 4 mid-depth + top area).
double basin_volume(double d, double b, double Wb, double Lb) {
  const double ab = Lb * Wb;
  const double am = plan_area_at(d / 2.0, b, Lb, Wb);
  const double at = plan_area_at(d, b, Lb, Wb);
  return d / 6.0 * (ab + 4.0 * am + at);
}

}  // namespace sitedrain::geometry
