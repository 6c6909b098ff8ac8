// One row per simulated design storm: the rows of the full results file of
// pond, sump and soakaway runs, and the rows that a runoff-only run writes
// to the report file.
#pragma once

#include <string>

#include "design/report_context.h"
#include "design/result_record.h"
#include "storage/water_balance.h"
#include "textio/text_file.h"

namespace sitedrain::design {

// In: the pond record of a storm (unrounded), its water-balance results
// (for the duration of runoff), the peak rainfall flow Q_p (m^3/h) and the
// storm's rainfall depth (mm).  Out: the pond row of the full results file.
std::string pond_results_row(const ResultRecord& r, const storage::Results& wb, double peak_flow,
                             double rain);

// In: the sump record of a storm (col 15 holds the duration of runoff),
// Q_p (m^3/h) and the rainfall depth (mm).  Out: the sump row.
std::string sump_results_row(const ResultRecord& r, double peak_flow, double rain);

// In: the soakaway record of a storm, Q_p (m^3/h) and the rainfall depth
// (mm).  Out: the soakaway row.
std::string soakaway_results_row(const ResultRecord& r, double peak_flow, double rain);

// In: the run's kind and the values above.  Out: the kind's row on the full
// results file; nothing for a runoff-only run.
void write_results_row(StorageKind kind, const ResultRecord& r, const storage::Results& wb,
                       double peak_flow, double rain, textio::LineSink& results);

// In: return period (years), duration (min), the water-balance results and
// the rainfall depth (mm).  Out: the runoff-only row of the report: mean
// inflow rate, total inflow, rainfall and, when the rain volume is not
// zero, the runoff coefficient total inflow / rain volume.
std::string runoff_row(int return_period, int duration, const storage::Results& wb, double rain);

}  // namespace sitedrain::design
