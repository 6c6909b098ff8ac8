// Coefficients of the summer and winter seasonal factors of design rainfall,
// each a function of the storm duration h in hours (1 to 24 as used):
//   summer factor = seasonal_alpha(h) * SAAR + seasonal_beta(h)
//   winter factor = (1 - exp(-seasonal_phi(h) * SAAR)) ^ seasonal_psi(h)
#pragma once

namespace sitedrain::rainfall {

double seasonal_alpha(double h);
double seasonal_beta(double h);
double seasonal_phi(double h);
double seasonal_psi(double h);

// Summer and winter factors for duration h (hours) and SAAR (mm).
double summer_factor(double h, double saar);
double winter_factor(double h, double saar);

}  // namespace sitedrain::rainfall
