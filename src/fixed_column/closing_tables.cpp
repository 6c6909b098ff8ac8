#include "fixed_column/closing_tables.h"

#include <vector>

#include "fixed_column/report_tables.h"
#include "fixed_column/row_fields.h"
#include "fixed_column/table_headings.h"
#include "textio/format.h"

namespace sitedrain::fixed_column {

using params::StorageKind;
using results::DesignResults;
using results::RunoffRow;
using results::StormRecord;

using fields::trunc_i;

void write_smallest_table(StorageKind kind, std::span<const StormRecord> smallest,
                          textio::LineSink& report) {
  if (kind == StorageKind::runoff_only) return;
  report.line("");
  if (kind == StorageKind::sump) {
    report.line(" Parameters for the smallest sump volume for each Return Period ");
    report.line("");
    report.line(headings::kSump);
  } else {
    report.line(kind == StorageKind::soakaway
                    ? " Parameters for the smallest soakaway volume for each Return Period "
                    : " Parameters for the smallest total area of water for each Return Period ");
    report.line("");
    report.line(headings::kPond);
    report.line(headings::kPondUnits);
    report.line("");
  }
  for (const StormRecord& r : smallest)
    report.line(kind == StorageKind::sump ? sump_table_row(r) : pond_table_row(r));
}

std::string half_emptying_row(const StormRecord& r) {
  std::string s = " ";
  s += textio::fmt_f(r.peak_volume / 2.0, 5, 1);
  s += trunc_i(r.return_period, 8);
  s += trunc_i(r.outlet_size, 7);
  s += trunc_i(r.duration, 7);
  return s;
}

void write_half_emptying_block(StorageKind kind, std::span<const StormRecord> half_emptying,
                               textio::LineSink& report) {
  if (kind == StorageKind::runoff_only) return;
  report.line("");
  report.line("");
  report.line(
      " Storms having inflow volume <= half-volume of ponds above that have a half-emptying "
      "time of <= that specified");
  report.line("");
  if (kind == StorageKind::sump) {
    report.line(" HLF VOL.  R.PER.   P.RATE     DUR");
    report.line(" (m^3)    (year)   (m^3/h)    (min)");
  } else {
    report.line(" HLF VOL.  R.PER.  TPOD    DUR  ");
    report.line("  (m^3)   (year)  (mm)   (min)");
  }
  if (half_emptying.empty())
    report.line(
        " All minimally-sized ponds have half-emptying times greater than specified time - "
        "increase the orifice diameters");
  for (const StormRecord& r : half_emptying) report.line(half_emptying_row(r));
}

void write_closing_tables(const DesignResults& results, textio::LineSink& report) {
  const StorageKind kind = results.kind;
  if (kind == StorageKind::runoff_only) return;
  std::vector<StormRecord> smallest, half_emptying;
  for (std::size_t n : results.smallest) smallest.push_back(rounded_for_tables(results.records[n]));
  for (std::size_t n : results.half_emptying)
    half_emptying.push_back(rounded_for_tables(results.records[n]));
  write_smallest_table(kind, smallest, report);
  write_half_emptying_block(kind, half_emptying, report);
  report.line("");
  report.line("");
}

}  // namespace sitedrain::fixed_column
