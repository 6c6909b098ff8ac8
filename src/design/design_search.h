// The design search: for every return period, outlet size and storm
// duration, size one storm (storm_sizing.h) on worker threads
// (ordered_executor.h) and write the outcomes in storm order
// (storm_emitter.h); after each outlet size and return period, the
// selections (selections.h).  Returns the results as data.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "design/storm_emitter.h"
#include "design/storm_sizing.h"
#include "geometry/orifice.h"
#include "params/design_params.h"
#include "params/run_setup.h"
#include "results/design_results.h"

namespace sitedrain::design {

// What the search reads.
struct SearchInput {
  const params::DesignParams* p = nullptr;
  const params::RunSetup* setup = nullptr;
  const std::vector<double>* rain = nullptr;  // rain[k * nrp + i], mm (k duration, i return period)
  const geometry::CoeffTable* table = nullptr;  // pond designs
  double ratio = 1.0;                           // top length-to-width ratio R
  // Room for the storm records, reserved by the caller before any output
  // existed (nullptr: the search reserves it); the search fills it.
  std::vector<results::StormRecord>* record_room = nullptr;
};

// How the storms are computed.  in_order: in order on one thread, the
// runoff evaluated inside every water-balance call (the plain baseline of
// the search paths test and the benchmark).  Otherwise (the default) the inflow of each return
// period and duration is computed once and replayed by every outlet size and
// pass, and storms are computed side by side on `threads` threads (0: all
// hardware threads); every file line, console line and pause comes out in
// the order of the in-order path, byte for byte.
struct SearchOptions {
  bool in_order = false;
  int threads = 0;
  SearchStats* stats = nullptr;  // counts the work done, when given
  ProgressFn progress;           // told after each storm is written, when given
  // Called on the computing thread before each storm is sized; what it
  // throws ends the run as a failure of that thread would (fault injection).
  std::function<void(const DesignStorm&)> before_storm;
};

// Runs the whole search.  Writes the full results rows, the runoff-only
// rows, each return period's governing rows, the log records and the
// progress file; stops the run when a return period yields no runoff.
// Returns the records, rows and selections (the head is left to the caller).
results::DesignResults design_search(const SearchInput& in, const SearchOutput& out,
                                     const SearchOptions& options = {});

}  // namespace sitedrain::design
