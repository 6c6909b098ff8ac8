#include "fixed_column/results_rows.h"

#include "fixed_column/row_fields.h"
#include "numeric/rounding.h"
#include "textio/format.h"

namespace sitedrain::fixed_column {

using params::StorageKind;
using results::DesignResults;
using results::RunoffRow;
using results::StormRecord;

using fields::round_i;
using fields::trunc_i;
using numeric::round_places;
using textio::fmt_f;
using textio::fmt_i;

std::string pond_results_row(const StormRecord& r) {
  std::string s = " ";
  s += trunc_i(r.return_period, 4);
  s += trunc_i(r.outlet_size, 5);
  s += trunc_i(r.duration, 6);
  s += trunc_i(r.mean_inflow, 10);
  s += trunc_i(r.duration * r.mean_inflow / 60.0, 9);
  s += round_i(r.water_area, 9);
  s += round_i(r.lagoon_area, 9);
  s += round_i(r.top_area, 9);
  s += trunc_i(r.peak_volume, 9);
  s += fmt_f(r.depth, 7, 1);
  s += fmt_f(r.peak_outflow, 9, 1);
  s += fmt_f(r.outflow_24h, 10, 1);
  s += fmt_f(r.runoff_duration, 7, 1);
  s += fmt_f(round_places(r.emptying_time, 1, 1), 8, 1);
  s += fmt_f(round_places(r.half_emptying_time, 1, 1), 8, 1);
  s += fmt_f(r.mean_inflow / r.peak_rain_flow, 10, 4);
  s += fmt_f(r.rain_depth, 9, 1);
  return s;
}

std::string sump_results_row(const StormRecord& r) {
  std::string s = " ";
  s += trunc_i(r.return_period, 5);
  s += fmt_f(r.outlet_size, 9, 1);
  s += trunc_i(r.duration, 7);
  s += fmt_f(r.mean_inflow, 10, 1);
  s += round_i(r.runoff_volume, 10);
  s += round_i(r.water_area, 11);
  s += round_i(r.lagoon_area, 10);
  s += round_i(r.top_area, 10);
  s += fmt_f(r.depth, 12, 1);
  s += round_i(r.peak_volume, 10);
  s += fmt_f(r.runoff_duration, 9, 1);
  s += fmt_f(r.emptying_time, 10, 1);
  s += fmt_f(r.half_emptying_time, 10, 1);
  s += fmt_f(r.mean_inflow / r.peak_rain_flow, 10, 1);
  s += fmt_f(r.rain_depth, 9, 1);
  return s;
}

std::string soakaway_results_row(const StormRecord& r) {
  std::string s = " ";
  s += trunc_i(r.return_period, 6);
  s += trunc_i(r.duration, 6);
  for (double v : {r.runoff_volume, r.top_area, r.top_length, r.top_width, r.depth, r.peak_volume,
                   r.peak_outflow, r.outflow_24h, r.half_emptying_time, r.rain_depth})
    s += fmt_f(v, 11, 1);
  s += fmt_f(r.mean_inflow / r.peak_rain_flow, 14, 4);
  return s;
}

void write_results_row(params::StorageKind kind, const StormRecord& r, textio::LineSink& results) {
  using params::StorageKind;
  if (kind == StorageKind::runoff_only) return;
  results.line(kind == StorageKind::pond   ? pond_results_row(r)
               : kind == StorageKind::sump ? sump_results_row(r)
                                           : soakaway_results_row(r));
}

std::string runoff_row(const RunoffRow& r) {
  std::string s = fmt_i(r.return_period, 5);
  s += fmt_i(r.duration, 8);
  s += ' ';
  s += fmt_f(r.mean_inflow, 11, 1);
  s += fmt_f(r.runoff_volume, 11, 1);
  s += fmt_f(r.rain_depth, 11, 1);
  if (r.rain_volume != 0.0) s += fmt_f(r.runoff_volume / r.rain_volume, 11, 3);
  return s;
}

}  // namespace sitedrain::fixed_column
