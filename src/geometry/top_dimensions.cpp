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

// In/out: top_length, top_width (m).  In: max_depth, batter.  Returns R = top_length / top_width as
// given; shows one console line for each adjusted dimension.
double check_initial_top(double& top_length, double& top_width, double max_depth, double batter) {
  const double R = top_length / top_width;
  // Base length, then base width (from the top width as left by the first).
  if (top_length - 2.0 * batter * max_depth < 0.0) {
    top_length = round_places(2.0 * batter * max_depth, 1, 1);
    top_width = top_length / R;
    console::line(
        (textio::FreeRecord("Incompatible initial basel - top length has been adjusted to ")
         << top_length)
            .str() +
        " m");
  }
  if (top_width - 2.0 * batter * max_depth < 0.0) {
    top_width = round_places(2.0 * batter * max_depth, 1, 1);
    top_length = R * top_width;
    console::line(
        (textio::FreeRecord("Incompatible initial basew - top width has been adjusted to ")
         << top_width)
            .str() +
        " m");
  }
  return R;
}

}  // namespace sitedrain::geometry
