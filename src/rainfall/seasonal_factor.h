// Coefficients of the summer and winter seasonal factors of design rainfall,
// each a function of the storm duration h in hours (1 to 24 as used):
//   summer factor = ALPHA(h) * SAAR + BETA(h)
//   winter factor = (1 - exp(-PHI(h) * SAAR)) ^ PSI(h)
#pragma once

namespace sitedrain::rainfall {

double ALPHA(double h);
double BETA(double h);
double PHI(double h);
double PSI(double h);

// Summer and winter factors for duration h (hours) and SAAR (mm).
double SUMMER_FACTOR(double h, double saar);
double WINTER_FACTOR(double h, double saar);

}  // namespace sitedrain::rainfall
