// The HTML report of a run: one self-contained page with, for a design, a
// verdict line and the run's warnings at the top; the run summary with the
// identification of the run; the design checks; the design rainfall; the
// greenfield rates with their inputs and, by the run's mode, the storage
// design (critical storms, storage and outflow against duration,
// hydrographs of the critical storms with their drain-down) or the runoff
// estimates.
#pragma once

#include <string>
#include <vector>

#include "design/storm_series.h"
#include "geometry/orifice.h"
#include "report/run_notes.h"
#include "results/design_results.h"

namespace sitedrain::report {

struct ReportInput {
  const results::DesignResults* results = nullptr;  // the head for every mode
  const std::vector<double>* rain = nullptr;        // depths rain[k * nrp + i], mm; empty: none
  const std::vector<design::StormSeries>* series = nullptr;  // critical storms
  std::string version;                                       // the program's
  const RunNotes* notes = nullptr;                           // warnings, inputs, date; may be null
  const geometry::CoeffTable* coefficients = nullptr;        // pond runs: the orifice coefficients
};

// In: what the run computed.  Out: the page.
std::string html_report(const ReportInput& in);

}  // namespace sitedrain::report
