// One row per simulated design storm: the rows of the full results file of
// pond, sump and soakaway runs, and the rows that a runoff-only run writes
// to the report file.  The file's column layouts live here only.
#pragma once

#include <string>

#include "results/design_results.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: the record of a pond storm (unrounded).  Out: its row of the full
// results file.
std::string pond_results_row(const results::StormRecord& r);

// In: the record of a sump storm.  Out: its row.
std::string sump_results_row(const results::StormRecord& r);

// In: the record of a soakaway storm.  Out: its row.
std::string soakaway_results_row(const results::StormRecord& r);

// In: the run's kind and a record.  Out: the kind's row on the full results
// file; nothing for a runoff-only run.
void write_results_row(params::StorageKind kind, const results::StormRecord& r,
                       textio::LineSink& results);

// In: a storm of a runoff-only run.  Out: its report row: return period,
// duration, mean inflow rate, total inflow, rainfall and, when the rain
// volume is not zero, the runoff coefficient total inflow / rain volume.
std::string runoff_row(const results::RunoffRow& r);

}  // namespace sitedrain::fixed_column
