// Sizing one design storm: from a storm and an outlet to its outcome.  For
// a design run, size a trial storage from the storm's peak rainfall flow,
// simulate the storm through it and resize from the largest stored volume
// until the volume settles; for a runoff-only run, one simulation.  No file
// or console output: the log records and console lines the storm would
// show are kept in its outcome, and a stop of the run is noted there.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "design/storm_inflow.h"
#include "geometry/orifice.h"
#include "params/design_params.h"
#include "results/design_results.h"
#include "runoff/runoff_step.h"
#include "storage/diagnostic_sink.h"
#include "storage/water_balance.h"
#include "textio/console.h"
#include "textio/text_file.h"

namespace sitedrain::design {

// The work of a search, for the benchmark.
struct SearchStats {
  std::atomic<long long> storms{0};         // design storms computed
  std::atomic<long long> calls{0};          // water-balance calls
  std::atomic<long long> steps{0};          // one-second steps simulated
  std::atomic<long long> storage_steps{0};  // steps with a storage update
};

// What every storm of a search shares.
struct SizingSetup {
  const params::DesignParams* p = nullptr;
  runoff::SubCatchments subs;                   // of p
  const geometry::CoeffTable* table = nullptr;  // pond runs
  double ratio = 1.0;                           // top length-to-width ratio R
  bool in_order = false;                        // the runoff live in every call (no replay)
  SearchStats* stats = nullptr;
};

// In: the parameter set.  Out: its sub-catchments as the runoff step reads them.
runoff::SubCatchments sub_catchments(const params::DesignParams& p);

// One design storm with its outlet; i, j, k number the return period,
// outlet size and duration from 1 (they appear in log records).
struct DesignStorm {
  int i = 0, j = 0, k = 0;
  int return_period = 0;     // years
  int duration = 0;          // minutes
  double outlet_size = 0.0;  // orifice diameter (mm) or pump rate (m^3/h)
  double rain_depth = 0.0;   // mm
};

// In: the parameter set and a storm.  Out: the storm as the runoff step
// reads it: duration, profile and mean intensity depth / (60 duration) mm/s.
runoff::StormSpec storm_spec(const params::DesignParams& p, const DesignStorm& s);

// Log records of one storm, kept until the storm's turn comes.
class LogBuffer : public textio::LineSink {
 public:
  void line(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

// Everything one storm computed and would have shown or logged.
struct StormOutcome {
  bool runoff = false;          // counts as runoff for its return period
  bool stored = false;          // record holds a design (design runs with runoff)
  results::StormRecord record;  // design runs
  results::RunoffRow row;       // runoff-only runs
  LogBuffer log;
  console::Recording console;
  int stop_status = -1;  // >= 0: the storm stopped the run with this status
};

// In: the shared set-up, a storm and its record of a design run.  Out: the
// record's storage (the depth and base of the simulation the record comes
// from) simulated again, each step sent to diag; its largest volume and
// outflow are the record's, bit for bit, unless the sizing did not settle.
// after, when given, receives the storage as the storm left it.
storage::Results simulate_record(const SizingSetup& setup, const DesignStorm& s,
                                 const results::StormRecord& rec, storage::DiagnosticSink& diag,
                                 storage::Storage* after = nullptr);

// In: the shared set-up, a storm, the storage as simulate_record left it
// and the storm's last step.  Out: the drain-down after the storm to diag,
// up to step last_t, and how it ended.
storage::DrainEnd drain_record(const SizingSetup& setup, const DesignStorm& s,
                               const storage::Storage& after, const storage::DiagnosticStep& last,
                               int last_t, storage::DiagnosticSink& diag);

// In: the shared set-up, a storm, its inflow computed beforehand (or null:
// the runoff is evaluated live) and the diagnostic sink (or null).  Out:
// the storm's outcome.  Exceptions other than the run's own stop pass on.
StormOutcome size_storm(const SizingSetup& setup, const DesignStorm& storm,
                        const StormInflow* inflow, storage::DiagnosticSink* diag);

}  // namespace sitedrain::design
