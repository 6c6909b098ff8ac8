#include "design/report_tables.h"

#include "design/row_fields.h"
#include "textio/format.h"

namespace sitedrain::design {

using fields::round_i;
using fields::trunc_i;
using textio::fmt_f;

std::string pond_table_row(const ResultRecord& r) {
  std::string s = " ";
  s += trunc_i(r.col(1), 6);
  s += trunc_i(r.col(2), 6);
  s += trunc_i(r.col(3), 6);
  s += round_i(r.col(5), 8);
  s += round_i(r.col(6), 9);
  s += fmt_f(r.col(7), 9, 1);
  s += fmt_f(r.col(18), 9, 1);
  s += fmt_f(r.col(19), 9, 1);
  s += round_i(r.col(8), 10);
  s += fmt_f(r.col(9), 9, 1);
  s += fmt_f(r.col(10), 9, 1);
  s += fmt_f(r.col(11), 9, 1);
  s += round_i(r.col(12), 8);
  s += fmt_f(r.col(13), 9, 1);
  s += fmt_f(r.col(14), 9, 1);
  s += fmt_f(r.col(15), 9, 1);
  return s;
}

std::string sump_table_row(const ResultRecord& r) {
  std::string s = " ";
  s += trunc_i(r.col(1), 5);
  s += trunc_i(r.col(2), 8);
  s += trunc_i(r.col(3), 8);
  s += round_i(r.col(5), 8);
  s += round_i(r.col(6), 10);
  s += round_i(r.col(7), 10);
  s += fmt_f(r.col(18), 11, 1);
  s += fmt_f(r.col(19), 9, 1);
  s += round_i(r.col(8), 10);
  s += fmt_f(r.col(9), 11, 1);
  s += fmt_f(r.col(10), 10, 1);
  s += fmt_f(r.col(11), 11, 1);
  s += round_i(r.col(12), 11);
  s += fmt_f(r.col(16), 10, 1);
  return s;
}

std::string soakaway_table_row(const ResultRecord& r) {
  std::string s = " ";
  s += trunc_i(r.col(1), 6);
  s += trunc_i(r.col(3), 6);
  for (int c : {5, 8, 9, 10, 11, 12, 13, 14, 17}) s += fmt_f(r.col(c), 11, 1);
  return s;
}

void write_governing_rows(StorageKind kind, std::span<const ResultRecord> governing,
                          textio::LineSink& report) {
  if (kind == StorageKind::runoff_only) return;
  for (const ResultRecord& r : governing)
    report.line(kind == StorageKind::pond   ? pond_table_row(r)
                : kind == StorageKind::sump ? sump_table_row(r)
                                            : soakaway_table_row(r));
}

}  // namespace sitedrain::design
