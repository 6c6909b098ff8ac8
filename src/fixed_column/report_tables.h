// Rows of the governing tables of the report: for each return period, one
// row per outlet size for the storm that governs it.  The same pond and sump
// row layouts serve the table of smallest designs.
#pragma once

#include <span>
#include <string>

#include "fixed_column/report_context.h"
#include "results/design_results.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: a record.  Out: its row in the pond layout (return period, diameter,
// duration, inflow, areas, lagoon and pond dimensions, volume, flows).
std::string pond_table_row(const results::StormRecord& r);

// In: a record.  Out: its row in the sump layout (return period, pump rate,
// duration, inflow, areas, lagoon and sump dimensions, volume, emptying time).
std::string sump_table_row(const results::StormRecord& r);

// In: a record.  Out: its row in the soakaway layout (return period,
// duration, inflow, plan area, dimensions, volume, flows, half-emptying time).
std::string soakaway_table_row(const results::StormRecord& r);

// In: the run's kind and a record.  Out: its row in the kind's layout.
std::string table_row(params::StorageKind kind, const results::StormRecord& r);

}  // namespace sitedrain::fixed_column
