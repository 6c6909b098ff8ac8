// The design search: for every return period, outlet size and storm
// duration, size a trial storage, simulate the storm through it, resize from
// the largest stored volume until the volume settles, and keep one result
// record per storm with runoff; then the governing, smallest and
// half-emptying selections.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "design/report_context.h"
#include "design/result_record.h"
#include "geometry/orifice.h"
#include "params/design_params.h"
#include "params/run_setup.h"
#include "storage/diagnostic_sink.h"
#include "storage/water_balance.h"
#include "textio/text_file.h"

namespace sitedrain::design {

// What the search reads.
struct SearchInput {
  const params::DesignParams* p = nullptr;
  const params::RunSetup* setup = nullptr;
  const std::vector<double>* rain = nullptr;  // rain[k * nrp + i], mm (k duration, i return period)
  const geometry::CoeffTable* table = nullptr;  // pond designs
  double ratio = 1.0;                           // top length-to-width ratio R
};

// Where the search writes.
struct SearchOutput {
  textio::LineSink* log = nullptr;
  textio::LineSink* full = nullptr;     // full results file
  textio::LineSink* report = nullptr;   // report file
  storage::DiagnosticSink* diag = nullptr;
  std::string progress_name;            // reopened at every storm
};

// The selections, for the report's tables.
struct Selections {
  std::vector<ResultRecord> records;           // stored records, numbered from 1
  std::vector<std::vector<int>> governing;     // per return period: record numbers
  std::vector<int> smallest;                   // record numbers
  std::vector<int> half_emptying;              // record numbers
};

// How the storms are computed.  reference: in order on one thread, the
// runoff evaluated inside every water-balance call and the orifice table
// searched by bisection.  Otherwise (the default) the inflow of each return
// period and duration is computed once and replayed by every outlet size and
// pass, and storms are computed side by side on `threads` threads (0: all
// hardware threads); every file line, console line and pause comes out in
// the order of the reference path, byte for byte.
struct SearchStats;
struct SearchOptions {
  bool reference = false;
  int threads = 0;
  SearchStats* stats = nullptr;  // counts the work done, when given
};

// The work of a search, for the benchmark.
struct SearchStats {
  std::atomic<long long> storms{0};          // design storms computed
  std::atomic<long long> calls{0};           // water-balance calls
  std::atomic<long long> steps{0};           // one-second steps simulated
  std::atomic<long long> storage_steps{0};   // steps with a storage update
};

// Runs the whole search.  Writes the full results rows, the runoff-only
// rows, each return period's governing rows, the log records and the
// progress file; stops the run when a return period yields no runoff.
// Returns the selections with the records rounded for the closing tables.
Selections DESIGN_SEARCH(const SearchInput& in, const SearchOutput& out,
                         const SearchOptions& options = {});

}  // namespace sitedrain::design
