#include "fixed_column/site_details.h"

#include "textio/format.h"

namespace sitedrain::fixed_column {

using textio::fmt_f;
using textio::fmt_i;
using textio::Line;

void write_location_line(const ReportContext& ctx, textio::LineSink& out) {
  std::string site(ctx.location.substr(0, 15));
  site.resize(15, ' ');
  out.line(Line()
               .at(2, "Location  ")
               .at(12, site)
               .at(30, " NGR ")
               .at(35, fmt_i(ctx.catchment.easting, 6))
               .at(42, fmt_i(ctx.catchment.northing, 6))
               .at(63, "Annual rainfall")
               .at(78, fmt_f(ctx.catchment.SAAR, 8, 1))
               .at(86, "mm")
               .str());
  out.line("");
}

int shown_soil_class(const params::DesignParams& p, int i) {
  if (p.soil_class_per_subcatchment != 1 && i > 1) return params::kUnsetInt;
  return p.soil_classes[static_cast<std::size_t>(i - 1)];
}

void write_greenfield_rates(const ReportContext& ctx, textio::LineSink& out) {
  out.line("");
  out.line(Line().at(38, "Qbar (m^3/s)").at(63, "Q3.33% (m^3/s)").at(89, "Q1% (m^3/s)").str());
  out.line(Line()
               .at(2, "Greenfield runoff rate (cumecs) ")
               .at(36, fmt_f(ctx.rates.qbar, 10, 5))
               .at(62, fmt_f(ctx.rates.q30, 10, 5))
               .at(88, fmt_f(ctx.rates.q100, 10, 5))
               .str());
}

}  // namespace sitedrain::fixed_column
