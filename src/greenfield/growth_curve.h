// Regional flood growth curves: the ratio of the T-year flood to the mean
// annual flood Qbar, as a function of the Gumbel reduced variate
// y = -ln(-ln(1 - 1/T)).  Regions 6 and 7 share one curve; regions 3 and 4
// have the same coefficients.
#pragma once

namespace sitedrain::greenfield {

// Growth factor of region 1..11 for return period T (years); a region
// outside 1..11 shows kBadHydrometricArea (hydro_region.h) and stops.
double growth_factor(int region, int T);

// The curve of each region, growth factor at reduced variate y.
double growth_curve_region_1(double y);
double growth_curve_region_2(double y);
double growth_curve_region_3(double y);
double growth_curve_region_4(double y);
double growth_curve_region_5(double y);
double growth_curve_regions_6_7(double y);
double growth_curve_region_8(double y);
double growth_curve_region_9(double y);
double growth_curve_region_10(double y);
double growth_curve_region_11(double y);

}  // namespace sitedrain::greenfield
