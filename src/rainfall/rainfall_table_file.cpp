#include "rainfall/rainfall_table_file.h"

#include <string>

#include "textio/format.h"

namespace sitedrain::rainfall {

namespace {

// First 39 characters of the season's label entry (46 characters, blank-padded).
std::string season_label(params::Season season) {
  std::string entry;
  switch (season) {
    case params::Season::summer:
      entry = "Summer rainfall depth (mm) at Nat. Grid Ref.";
      break;
    case params::Season::winter:
      entry = "Winter rainfall depth (mm) at Nat. Grid Ref.";
      break;
    case params::Season::all_year:
    case params::Season::none:
      entry = "Rainfall depth (mm) at Nat. Grid Ref.";
      break;
  }
  entry.resize(46, ' ');
  return entry.substr(0, 39);
}

}  // namespace

void write_rainfall_table_head(params::Season season, const Catchment& c, double cchgfac,
                               std::span<const int> return_periods, textio::LineSink& out) {
  using textio::fmt_a;
  using textio::fmt_f;
  using textio::fmt_i;
  using textio::Line;
  out.line(Line()
               .at(1, season_label(season))
               .at(40, fmt_i(c.easting, 8))
               .at(48, fmt_i(c.northing, 8))
               .str());
  out.line(Line().at(1, "Climate change factor").at(22, fmt_f(cchgfac, 10, 1)).str());
  out.line(Line()
               .at(1, "Standard period (1961-1990) Average Annual Rainfall (mm)   ")
               .at(60, fmt_f(c.SAAR, 10, 1))
               .str());
  if (const std::string source = depth_source_text(c.model, c.grid_kind); !source.empty())
    out.line(source);
  out.line("");
  const int nrp = static_cast<int>(return_periods.size());
  out.line(Line().at(6 * nrp + 1, fmt_a("return period (years)", 23)).str());
  Line heading;
  heading.at(1, "duration");
  for (int rp : return_periods) heading.add(fmt_i(rp, 10));
  out.line(heading.str());
  out.line(" (min.)");
}

void write_rainfall_table_rows(std::span<const int> durations, const DepthTable& table,
                               textio::LineSink& out) {
  for (int k = 0; k < static_cast<int>(durations.size()); ++k) {
    textio::Line row;
    row.at(1, textio::fmt_i(durations[k], 6)).add("   ");
    for (int i = 0; i < table.nrp; ++i) row.add(textio::fmt_f(table.at(k, i), 10, 1));
    out.line(row.str());
  }
}

}  // namespace sitedrain::rainfall
