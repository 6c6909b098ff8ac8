#include "results/design_results.h"

#include "numeric/rounding.h"

namespace sitedrain::results {

StormRecord rounded_for_tables(const StormRecord& r) {
  StormRecord t = r;
  for (double* v : {&t.mean_inflow, &t.runoff_volume, &t.water_area, &t.lagoon_area, &t.top_area,
                    &t.top_length, &t.top_width, &t.depth, &t.peak_volume, &t.peak_outflow,
                    &t.mean_outflow, &t.outflow_24h, &t.runoff_duration, &t.emptying_time,
                    &t.half_emptying_time, &t.lagoon_length, &t.lagoon_width})
    *v = numeric::round_places(*v, 1, 1);
  return t;
}

}  // namespace sitedrain::results
