#include "fixed_column/greenfield_report.h"

#include <algorithm>

#include "fixed_column/site_details.h"
#include "textio/format.h"

namespace sitedrain::fixed_column {

using textio::fmt_a;
using textio::fmt_f;
using textio::fmt_i;
using textio::Line;

void write_greenfield_report(const ReportContext& ctx, textio::LineSink& out) {
  const params::DesignParams& p = ctx.params;
  out.line(Line().at(20, fmt_a("GREENFIELD RUNOFF ESTIMATES", 40)).str());
  out.line("");
  write_location_line(ctx, out);
  out.line(Line().at(38, "Area (m^2)").at(63, "WRAP type").str());
  const int n = std::min(p.subcatchment_count, params::kMaxSubCatchments);
  for (int i = 1; i <= n; ++i)
    out.line(Line()
                 .at(2, "Sub-catchment  ")
                 .at(17, fmt_i(i, 3))
                 .at(36, fmt_f(p.areas_m2[static_cast<std::size_t>(i - 1)], 10, 0))
                 .at(62, fmt_i(shown_soil_class(p, i), 6))
                 .str());
  write_greenfield_rates(ctx, out);
}

}  // namespace sitedrain::fixed_column
