// The HTML report of a run: one self-contained page with the run summary,
// the design rainfall, the greenfield rates and, by the run's mode, the
// storage design (critical storms, storage and outflow against duration,
// hydrographs of the critical storms) or the runoff estimates.
#pragma once

#include <string>
#include <vector>

#include "design/design_results.h"
#include "design/storm_series.h"

namespace sitedrain::report {

struct ReportInput {
  const design::DesignResults* results = nullptr;  // the head for every mode
  const std::vector<double>* rain = nullptr;       // depths rain[k * nrp + i], mm; empty: none
  const std::vector<design::StormSeries>* series = nullptr;  // critical storms
  std::string version;  // the program's
};

// In: what the run computed.  Out: the page.
std::string html_report(const ReportInput& in);

}  // namespace sitedrain::report
