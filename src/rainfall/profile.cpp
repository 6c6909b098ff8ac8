#include "rainfall/profile.h"

#include <cmath>

#include "maths/maths.h"

namespace sitedrain::rainfall {

double summer50_profile(double x) {
  double z = (x - 0.5) / 0.1642006826438718;
  return 3.841903200837869 / maths::pow(9.619248274217126 * (z * z) + 1.0, 0.5657468022605255) -
         0.04948534263719475;
}

double winter75_profile(double x) {
  double z = std::fabs(x - 0.5) / 0.125857583731423;
  return 2.174813757770642 * maths::exp(-0.5 * maths::pow(z, 1.81873522974066)) +
         0.2928723082278049;
}

double profile_factor(params::StormProfile profile, double x) {
  switch (profile) {
    case params::StormProfile::winter75:
      return winter75_profile(x) / 1.0048;
    case params::StormProfile::summer50:
      return summer50_profile(x) / 1.015;
    case params::StormProfile::uniform:
      break;
  }
  return 1.0;
}

}  // namespace sitedrain::rainfall
