#include "storage/soakaway.h"

#include <cmath>

namespace sitedrain::storage {

// A sloping side whose base edge is E wets (h b + E) h s: the mean of its
// bottom edge E and top edge E + 2 h b, times the slant height h s.
double soakaway_outflow(double L, double W, double b, int sides, double infiltration_m_per_h,
                        double h) {
  const double s = std::sqrt(b * b + 1.0);
  double a;
  switch (sides) {
    case 0:
      a = 0.0;
      break;
    case 1:
      a = (h * b + L) * h * s;
      break;
    case 2:
      a = (h * b + W) * h * s;
      break;
    case 3:
      a = (2.0 * h * b + L + W) * h * s;
      break;
    case 4:
      a = 2.0 * (h * b + L) * h * s;
      break;
    case 5:
      a = 2.0 * (h * b + W) * h * s;
      break;
    case 6:
      a = ((h * b + L) + 2.0 * (h * b + W)) * h * s;
      break;
    case 7:
      a = (2.0 * (h * b + L) + (h * b + W)) * h * s;
      break;
    default:
      a = 2.0 * (2.0 * h * b + L + W) * h * s;
      break;
  }
  return (W * L + a) * infiltration_m_per_h;
}

}  // namespace sitedrain::storage
