#include "rainfall/areal_reduction.h"

#include <cmath>
#include <string>

#include "maths/maths.h"
#include "textio/console.h"
#include "textio/format.h"

namespace sitedrain::rainfall {

double areal_reduction_factor(double area_km2, int duration) {
  const double A = area_km2;
  if (!(A > 0.0)) {
    console::stop_with(
        "ERROR - the areal reduction factor needs a catchment area above zero; area (km^2) = " +
        textio::shortest(A));
  }
  double a;  // exponent
  double b;  // coefficient
  if (A <= 20.0) {
    a = 0.40 - 0.0208 * maths::log(4.6 - maths::log(A));
    b = 0.0394 * maths::pow(A, 0.354);
  } else if (A < 100.0) {
    const double t = 4.6 - maths::log(A);
    a = 0.40 - 0.00382 * (t * t);
    b = 0.0394 * maths::pow(A, 0.354);
  } else if (A < 500.0) {
    const double t = 4.6 - maths::log(A);
    a = 0.40 - 0.00382 * (t * t);
    b = 0.0627 * maths::pow(A, 0.254);
  } else if (A < 1000.0) {
    a = 0.40 - 0.0208 * maths::log(maths::log(A) - 4.6);
    b = 0.0627 * maths::pow(A, 0.254);
  } else {
    a = 0.40 - 0.0208 * maths::log(maths::log(A) - 4.6);
    b = 0.105 * maths::pow(A, 0.18);
  }
  return 1.0 - b * maths::pow(duration / 60.0, -a);
}

}  // namespace sitedrain::rainfall
