#include "design/results_rows.h"

#include "design/row_fields.h"
#include "geometry/rounding.h"
#include "textio/format.h"

namespace sitedrain::design {

using fields::round_i;
using fields::trunc_i;
using geometry::ROTN;
using textio::fmt_f;
using textio::fmt_i;

std::string pond_results_row(const ResultRecord& r, const storage::Results& wb, double peak_flow,
                             double rain) {
  std::string s = " ";
  s += trunc_i(r.col(1), 4);
  s += trunc_i(r.col(2), 5);
  s += trunc_i(r.col(3), 6);
  s += trunc_i(r.col(4), 10);
  s += trunc_i(r.col(3) * r.col(4) / 60.0, 9);
  s += round_i(r.col(6), 9);
  s += round_i(r.col(7), 9);
  s += round_i(r.col(8), 9);
  s += trunc_i(r.col(12), 9);
  s += fmt_f(r.col(11), 7, 1);
  s += fmt_f(r.col(13), 9, 1);
  s += fmt_f(r.col(15), 10, 1);
  s += fmt_f(wb.tfill, 7, 1);
  s += fmt_f(ROTN(r.col(16), 1, 1), 8, 1);
  s += fmt_f(ROTN(r.col(17), 1, 1), 8, 1);
  s += fmt_f(r.col(4) / peak_flow, 10, 4);
  s += fmt_f(rain, 9, 1);
  return s;
}

std::string sump_results_row(const ResultRecord& r, double peak_flow, double rain) {
  std::string s = " ";
  s += trunc_i(r.col(1), 5);
  s += fmt_f(r.col(2), 9, 1);
  s += trunc_i(r.col(3), 7);
  s += fmt_f(r.col(4), 10, 1);
  s += round_i(r.col(5), 10);
  s += round_i(r.col(6), 11);
  s += round_i(r.col(7), 10);
  s += round_i(r.col(8), 10);
  s += fmt_f(r.col(11), 12, 1);
  s += round_i(r.col(12), 10);
  s += fmt_f(r.col(15), 9, 1);
  s += fmt_f(r.col(16), 10, 1);
  s += fmt_f(r.col(17), 10, 1);
  s += fmt_f(r.col(4) / peak_flow, 10, 1);
  s += fmt_f(rain, 9, 1);
  return s;
}

std::string soakaway_results_row(const ResultRecord& r, double peak_flow, double rain) {
  std::string s = " ";
  s += trunc_i(r.col(1), 6);
  s += trunc_i(r.col(3), 6);
  for (int c : {5, 8, 9, 10, 11, 12, 13, 15, 17}) s += fmt_f(r.col(c), 11, 1);
  s += fmt_f(rain, 11, 1);
  s += fmt_f(r.col(4) / peak_flow, 14, 4);
  return s;
}

void write_results_row(StorageKind kind, const ResultRecord& r, const storage::Results& wb,
                       double peak_flow, double rain, textio::LineSink& results) {
  if (kind == StorageKind::runoff_only) return;
  results.line(kind == StorageKind::pond   ? pond_results_row(r, wb, peak_flow, rain)
               : kind == StorageKind::sump ? sump_results_row(r, peak_flow, rain)
                                           : soakaway_results_row(r, peak_flow, rain));
}

std::string runoff_row(int return_period, int duration, const storage::Results& wb, double rain) {
  std::string s = fmt_i(return_period, 5);
  s += fmt_i(duration, 8);
  s += ' ';
  s += fmt_f(wb.mean_inflow, 11, 1);
  s += fmt_f(wb.total_inflow, 11, 1);
  s += fmt_f(rain, 11, 1);
  if (wb.rain_volume != 0.0) s += fmt_f(wb.total_inflow / wb.rain_volume, 11, 3);
  return s;
}

}  // namespace sitedrain::design
