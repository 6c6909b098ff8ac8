#include "rainfall/feh.h"

#include <cmath>

#include "maths/maths.h"

namespace sitedrain::rainfall {

namespace {
constexpr double kLn12 = 2.4849066497880004;
constexpr double kLn48MinusLn12 = 1.3862943611198908;
constexpr double kLn48 = 3.871201010907891;
}  // namespace

double reduced_variate(int rp) {
  double t = rp;
  if (rp < 2) t = 1.0 / (1.0 - maths::exp(-1.0 / t));
  return -maths::log(-maths::log(1.0 - 1.0 / t));
}

double feh99_depth(double C, double D1, double D2, double D3, double E, double F, int rp,
                   int duration) {
  const double h = duration / 60.0;
  const double y = reduced_variate(rp);
  double lnR;
  if (h <= 12.0) {
    lnR = (C * y + D1) * maths::log(h) + E * y + F;
  } else {
    const double lnR12 = (C * y + D1) * kLn12 + E * y + F;
    if (h <= 48.0) {
      lnR = lnR12 + (C * y + D2) * (maths::log(h) - kLn12);
    } else {
      const double lnR48 = lnR12 + (C * y + D2) * kLn48MinusLn12;
      lnR = lnR48 + (C * y + D3) * (maths::log(h) - kLn48);
    }
  }
  if (h <= 384.0) return maths::exp(lnR);
  return kBeyondModelDepth;
}

}  // namespace sitedrain::rainfall
