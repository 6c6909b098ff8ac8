#include "runoff/pdm.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "maths/maths.h"
#include "numeric/gamma.h"
#include "runoff/green_ampt.h"
#include "runoff/loss_model.h"
#include "runoff/runoff_step.h"
#include "textio/console.h"

namespace sitedrain::runoff {

namespace {

constexpr double kMu = -6.18;
constexpr double kSigma = 0.668;
constexpr double kSqrt2 = 1.4142135623730951;

// " z" in the shortest round-trip form (as textio::shortest), formatted on
// the stack: this line is written once per sub-catchment and step.
void show_z(double z) {
  char buf[40];
  buf[0] = ' ';
  auto res = std::to_chars(buf + 1, buf + sizeof buf, z);
  console::line(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

}  // namespace

double pdm_runoff(double rain, double /*f*/) {
  const double x = rain;
  if (x <= 0.0) return 0.0;  // no rain, no runoff; ln 0 is never taken

  const double z = -(maths::log(x) - kMu) / (kSigma * kSqrt2);
  show_z(z);
  const double a = numeric::complementary_erf(z + kSqrt2 * 0.334);
  const double e = maths::exp(kMu + 0.223112);
  double R = 0.5 * (x * numeric::complementary_erf(z) - e * a);
  if (R < 1e-6) R = 0.0;
  return R;
}

double pdm_runoff_depth(LossState& s, int k, int, double, double P, int first) {
  const double fi = green_ampt_rate(s.green_ampt, s.subs->surface[k], first, k + 1, P);
  return pdm_runoff(P, fi);
}

}  // namespace sitedrain::runoff
