#include "greenfield/growth_curve.h"

#include <cmath>

#include "greenfield/hydro_region.h"
#include "maths/maths.h"
#include "textio/console.h"

namespace sitedrain::greenfield {

double growth_curve_region_1(double y) {
  return 0.2018667828736569 * maths::pow(y, 1.357927391376585) + 0.8462043923914849;
}

double growth_curve_region_2(double y) {
  return 0.1968944404460989 * maths::pow(y, 1.42028663155344) + 0.8150975747654796;
}

double growth_curve_region_3(double y) {
  return 1.881006009538719 * maths::exp(y / 9.113130868939495) - 0.9876814347606593;
}

// Region 4 has the coefficients of region 3.
double growth_curve_region_4(double y) {
  return growth_curve_region_3(y);
}

double growth_curve_region_5(double y) {
  return 1.442562992100301 * maths::exp(y / 5.736090495747279) - 0.6465774523697718;
}

double growth_curve_regions_6_7(double y) {
  return 0.2224498886891392 * maths::pow(y, 1.533658772099266) + 0.8429982044080767;
}

double growth_curve_region_8(double y) {
  return 1.424988007213676 * maths::exp(y / 5.992515086578494) - 0.6105251379784649;
}

double growth_curve_region_9(double y) {
  return 1.881851728601565 * maths::exp(y / 8.553416453772805) - 1.031631827376531;
}

double growth_curve_region_10(double y) {
  return 1.509986735169885 * maths::exp(y / 7.734987991018959) - 0.6470975021823135;
}

double growth_curve_region_11(double y) {
  return 4.165970639658315 * maths::exp(y / 19.90219456272526) - 3.293374373832512;
}

double growth_factor(int region, int T) {
  const double t = static_cast<double>(T);
  const double y = -maths::log(-maths::log(1.0 - 1.0 / t));
  switch (region) {
    case 1:
      return growth_curve_region_1(y);
    case 2:
      return growth_curve_region_2(y);
    case 3:
      return growth_curve_region_3(y);
    case 4:
      return growth_curve_region_4(y);
    case 5:
      return growth_curve_region_5(y);
    case 6:
    case 7:
      return growth_curve_regions_6_7(y);
    case 8:
      return growth_curve_region_8(y);
    case 9:
      return growth_curve_region_9(y);
    case 10:
      return growth_curve_region_10(y);
    case 11:
      return growth_curve_region_11(y);
    default:
      console::stop_with(kBadHydrometricArea);
  }
}

}  // namespace sitedrain::greenfield
