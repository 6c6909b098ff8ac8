#include "fixed_column/report_tables.h"

#include "fixed_column/row_fields.h"
#include "textio/format.h"

namespace sitedrain::fixed_column {

using params::StorageKind;
using results::DesignResults;
using results::RunoffRow;
using results::StormRecord;

using fields::round_i;
using fields::trunc_i;
using textio::fmt_f;

std::string pond_table_row(const StormRecord& r) {
  std::string s = " ";
  s += trunc_i(r.return_period, 6);
  s += trunc_i(r.outlet_size, 6);
  s += trunc_i(r.duration, 6);
  s += round_i(r.runoff_volume, 8);
  s += round_i(r.water_area, 9);
  s += fmt_f(r.lagoon_area, 9, 1);
  s += fmt_f(r.lagoon_length, 9, 1);
  s += fmt_f(r.lagoon_width, 9, 1);
  s += round_i(r.top_area, 10);
  s += fmt_f(r.top_length, 9, 1);
  s += fmt_f(r.top_width, 9, 1);
  s += fmt_f(r.depth, 9, 1);
  s += round_i(r.peak_volume, 8);
  s += fmt_f(r.peak_outflow, 9, 1);
  s += fmt_f(r.mean_outflow, 9, 1);
  s += fmt_f(r.outflow_24h, 9, 1);
  return s;
}

std::string sump_table_row(const StormRecord& r) {
  std::string s = " ";
  s += trunc_i(r.return_period, 5);
  s += trunc_i(r.outlet_size, 8);
  s += trunc_i(r.duration, 8);
  s += round_i(r.runoff_volume, 8);
  s += round_i(r.water_area, 10);
  s += round_i(r.lagoon_area, 10);
  s += fmt_f(r.lagoon_length, 11, 1);
  s += fmt_f(r.lagoon_width, 9, 1);
  s += round_i(r.top_area, 10);
  s += fmt_f(r.top_length, 11, 1);
  s += fmt_f(r.top_width, 10, 1);
  s += fmt_f(r.depth, 11, 1);
  s += round_i(r.peak_volume, 11);
  s += fmt_f(r.emptying_time, 10, 1);
  return s;
}

std::string soakaway_table_row(const StormRecord& r) {
  std::string s = " ";
  s += trunc_i(r.return_period, 6);
  s += trunc_i(r.duration, 6);
  for (double v : {r.runoff_volume, r.top_area, r.top_length, r.top_width, r.depth, r.peak_volume,
                   r.peak_outflow, r.mean_outflow, r.half_emptying_time})
    s += fmt_f(v, 11, 1);
  return s;
}

std::string table_row(StorageKind kind, const StormRecord& r) {
  return kind == StorageKind::pond   ? pond_table_row(r)
         : kind == StorageKind::sump ? sump_table_row(r)
                                     : soakaway_table_row(r);
}

}  // namespace sitedrain::fixed_column
