// Regional flood growth curves: the ratio of the T-year flood to the mean
// annual flood Qbar, as a function of the Gumbel reduced variate
// y = -ln(-ln(1 - 1/T)).  Regions 6 and 7 share one curve; regions 3 and 4
// have the same coefficients.
#pragma once

namespace sitedrain::greenfield {

// Growth factor of region 1..11 for return period T (years); a region
// outside 1..11 shows kBadHydrometricArea (hydro_region.h) and stops.
double GETGF(int region, int T);

// The curve of each region, growth factor at reduced variate y.
double FGF_HR1(double y);
double FGF_HR2(double y);
double FGF_HR3(double y);
double FGF_HR4(double y);
double FGF_HR5(double y);
double FGF_HR67(double y);
double FGF_HR8(double y);
double FGF_HR9(double y);
double FGF_HR10(double y);
double FGF_HR11(double y);

}  // namespace sitedrain::greenfield
