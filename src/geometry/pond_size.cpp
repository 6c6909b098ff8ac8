// Sizing a basin for a required volume at a fixed top length-to-width ratio.
//
// With the top a rectangle Lt = R Wt, Lt + Wt = K sqrt(At) where
// K = sqrt(R) (R + 1) / R.  Writing D = b d for the horizontal offset of the
// toe and s = sqrt(At), the prismoidal volume is d (s^2 - D K s + 4/3 D^2),
// a quadratic in s.  When it has no real root the sides would meet before
// the volume is reached, and the depth is cut to 90 % of the greatest
// workable depth; when the solution leaves a negative base length or width,
// the depth is cut to where that base dimension becomes zero.
#include <cmath>
#include <string>

#include "geometry/basin.h"
#include "numeric/rounding.h"
#include "numeric/rtsafe.h"
#include "textio/console.h"
#include "textio/format.h"

namespace sitedrain::geometry {

using numeric::round_places;

namespace {

// Writes the reduction record to the log; a depth cut to nothing leaves no
// basin to size, so the run stops there.
void report_reduction(const char* text, double d, textio::LineSink& log) {
  log.line((textio::FreeRecord(text) << d).str());
  if (!(d > 0.0)) {
    console::stop_with("Storage depth reduced to " + textio::shortest(d) +
                       " m - no basin of this batter and ratio holds the volume");
  }
}

}  // namespace

// In: volume V, ratio R, batter b, depth d (in/out), log for the reduction
// records.  Out: the plan dimensions of the basin and its prismoidal volume.
PondDims size_pond(double V, double R, double& d, double b, textio::LineSink& log) {
  PondDims r;
  for (;;) {
    const double K = std::sqrt(R) * (R + 1.0) / R;
    double D, E, disc;
    for (;;) {
      D = d * b;
      E = (d / 2.0) * b;
      const double dkd = d * K * D;
      disc = dkd * dkd - 4.0 * d * ((4.0 / 3.0) * (D * D) * d - V);
      if (!(disc < 0.0)) break;
      const double x = numeric::sizing_root(V, b, K, 0.0, d, 1.0e-6);
      d = round_places(0.9 * x, 1, 0);
      report_reduction("Maxdepth too large for volume               - maxdepth reduced to ", d,
                       log);
    }
    const double s = (std::sqrt(disc) + d * K * D) / (2.0 * d);
    // Products beyond the range of doubles leave no dimensions to check, and
    // the depth reductions below would never end.
    if (!std::isfinite(s)) {
      console::stop_with("Storage cannot be sized: a volume of " + textio::shortest(V) +
                         " m^3 with batter " + textio::shortest(b) + " and depth " +
                         textio::shortest(d) + " m gives no finite dimensions");
    }
    r.At = s * s;
    r.Ab = r.At - 2.0 * s * K * D + 4.0 * (D * D);
    const double am = r.At - 2.0 * s * K * E + 4.0 * (E * E);
    r.Vchk = (4.0 * am + r.Ab + r.At) * d / 6.0;
    r.Lt = std::sqrt(R * r.At);
    r.Lb = r.Lt - 2.0 * D;
    r.Wt = std::sqrt(r.At / R);
    r.Wb = r.Wt - 2.0 * D;
    r.Ab2 = r.Wb * r.Lb;
    if (r.Lb >= 0.0 && r.Wb >= 0.0) return r;
    if (r.Lb < 0.0)
      d = round_places(r.Lb / 2.0 / b + d, 1, 0);
    else
      d = round_places(r.Wb / 2.0 / b + d, 1, 0);
    report_reduction(
        "Dimensions inconsistent with volume               - depth has been reduced to ", d, log);
  }
}

}  // namespace sitedrain::geometry
