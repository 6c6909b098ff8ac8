// The closing tables of a design report: the smallest design of each return
// period, and the designs that empty to half volume within the required
// time.  The records are shown rounded to tenths (rounded_for_tables).
#pragma once

#include <span>
#include <string>

#include "fixed_column/report_context.h"
#include "results/design_results.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: the run's kind and the smallest record of each return period, in
// order.  Out: the title, headings and one row each (pond layout for pond
// and soakaway runs, sump layout for sump runs).
void write_smallest_table(params::StorageKind kind, std::span<const results::StormRecord> smallest,
                          textio::LineSink& report);

// In: a record.  Out: its half-emptying row: half the storage volume,
// return period, outlet size and duration.
std::string half_emptying_row(const results::StormRecord& r);

// In: the run's kind and the records that half-empty in time, in list
// order.  Out: the introducing line, the headings of the kind and one row
// each; for an empty list a line saying that no design qualifies.
void write_half_emptying_block(params::StorageKind kind,
                               std::span<const results::StormRecord> half_emptying,
                               textio::LineSink& report);

// In: the results of a search.  Out: the two closing tables of its
// smallest and half-emptying selections, rounded, and the two empty lines
// that end the report; nothing for a runoff-only run.
void write_closing_tables(const results::DesignResults& results, textio::LineSink& report);

}  // namespace sitedrain::fixed_column
