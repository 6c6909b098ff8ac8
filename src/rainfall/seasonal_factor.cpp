#include "rainfall/seasonal_factor.h"

#include <cmath>

#include "maths/maths.h"

namespace sitedrain::rainfall {

double seasonal_alpha(double h) {
  return 3.391582384113915e-05 * std::sqrt(h) - 1.325551131585406e-06 * maths::pow(h, 1.5) -
         1.129001908051508e-04;
}

double seasonal_beta(double h) {
  return 7.952250756706432e-04 * h * maths::log(h) - 1.593139158719558e-02 * maths::log(h) +
         1.039978219552815;
}

double seasonal_phi(double h) {
  return 1.0 / (4.65393351054944e-04 * (h * h * h) + 1666.855524565322 / h + 833.2049738529453);
}

double seasonal_psi(double h) {
  return 9.82588393945641e-04 * h * maths::log(h) - 5.838967833499575e-02 / (h * h) +
         0.4584349059688735;
}

double summer_factor(double h, double saar) {
  return seasonal_alpha(h) * saar + seasonal_beta(h);
}

double winter_factor(double h, double saar) {
  return maths::pow(1.0 - maths::exp(-seasonal_phi(h) * saar), seasonal_psi(h));
}

}  // namespace sitedrain::rainfall
