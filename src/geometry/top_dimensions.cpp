// The initial top dimensions of a design case: a top too small for its depth
// and batter (negative base) is enlarged to leave a base of zero, keeping the
// ratio of the top.
#include <string>

#include "geometry/basin.h"
#include "numeric/rounding.h"
#include "textio/console.h"
#include "textio/format.h"

namespace sitedrain::geometry {

using numeric::round_places;

// In/out: topl, topw (m).  In: maxdepth, batter.  Returns R = topl / topw as
// given; shows one console line for each adjusted dimension.
double check_initial_top(double& topl, double& topw, double maxdepth, double batter) {
  const double R = topl / topw;
  // Base length, then base width (from the top width as left by the first).
  if (topl - 2.0 * batter * maxdepth < 0.0) {
    topl = round_places(2.0 * batter * maxdepth, 1, 1);
    topw = topl / R;
    console::line(
        (textio::FreeRecord("Incompatible initial basel - top length has been adjusted to ")
         << topl)
            .str() +
        " m");
  }
  if (topw - 2.0 * batter * maxdepth < 0.0) {
    topw = round_places(2.0 * batter * maxdepth, 1, 1);
    topl = R * topw;
    console::line(
        (textio::FreeRecord("Incompatible initial basew - top width has been adjusted to ") << topw)
            .str() +
        " m");
  }
  return R;
}

}  // namespace sitedrain::geometry
