// One design storm, second by second, through a trial storage (an
// attenuation pond with a throttle-plate orifice, a pumped sump or a
// soakaway), or as runoff only: the call and its outcome, and the call made
// alone.  The step itself is storage/storm_step.h; several calls in lockstep
// lanes are storage/water_balance_lanes.h.
#pragma once

#include <cstdint>

#include "geometry/orifice.h"
#include "params/modes.h"
#include "runoff/runoff_step.h"
#include "storage/diagnostic_sink.h"

namespace sitedrain::storage {

// The trial storage.  base_w and base_l are in/out: the depth search
// enlarges them when the storage cannot hold the stored volume.
struct Storage {
  double depth = 0.0;                                    // full depth D, m
  double base_w = 0.0;                                   // base width W, m
  double base_l = 0.0;                                   // base length L, m
  double batter = 0.0;                                   // side batter b, horizontal per vertical
  params::StorageKind kind = params::StorageKind::pond;  // how water leaves: orifice, pump, ground
  int soakaway_sides = 0;             // soakaway sides that infiltrate (soakaway.h)
  double fill_fraction = 0.0;         // soakaway fill fraction (0 for ponds and sumps)
  double infiltration_m_per_h = 0.0;  // soakaway infiltration coefficient, m/h
};

// The outlet.
struct Outlet {
  double value = 0.0;                           // orifice diameter (mm) or pump rate (m^3/h)
  const geometry::CoeffTable* table = nullptr;  // pond runs
  int position = 1;                             // of the diameter in the table's list, from 1
};

// What one simulation returns.
struct Results {
  double peak_volume = 0.0;         // largest stored volume, m^3
  double peak_outflow = 0.0;        // largest outflow rate, m^3/h
  double rain_volume = 0.0;         // total rain volume, m^3 (0 on a replayed inflow)
  double mean_inflow = 0.0;         // mean inflow rate, m^3/h
  double total_inflow = 0.0;        // total inflow, m^3
  double mean_outflow = 0.0;        // mean outflow rate, m^3/h
  double runoff_duration = 0.0;     // from the first to the last storage step, h
  double emptying_time = 0.0;       // h
  double half_emptying_time = 0.0;  // h
  // Work done, for the benchmark: steps simulated and storage steps among them.
  int steps = 0;
  int storage_steps = 0;
  // False when the statistics, formed once at the end of the call, could not
  // be formed exactly as step by step; the call must then be made again with
  // statistics step by step.
  bool exact = true;
};

// An inflow computed as the simulation goes: step t (t = 1, 2, ..., the end
// of the one-second step, s).
class Inflow {
 public:
  virtual ~Inflow() = default;
  virtual runoff::StepResult step(int t) = 0;
};

// One simulation of duration minutes in one-second steps.
struct StormCall {
  Storage storage;  // the base comes back (enlarged) in CallOutcome
  Outlet outlet;
  // The inflow: the runoff of steps 1..n_runoff (m^3), the simulation ending
  // after them; or, when live is set, live's steps (rain, rain volume,
  // infiltration and runoff) until it ends.
  const double* runoff = nullptr;
  int n_runoff = 0;
  Inflow* live = nullptr;
  // One record per step (none for a step that ends the simulation), or
  // nullptr.  A diagnostic series needs step-by-step statistics.
  DiagnosticSink* diag = nullptr;
  // The mean rates and emptying times formed at every storage step instead
  // of once from the values of the last storage step that set them (the
  // same operands, the same results, unless an underflow intervenes).
  bool stepwise_statistics = false;
  int duration = 0;          // minutes
  bool runoff_only = false;  // the runoff figures only, no storage
  std::uint64_t tag = 0;     // the caller's
};

// How the drain-down of a storage after its storm ended.
enum class DrainEnd { emptied, no_outflow, time_limit };

struct CallOutcome {
  Results results;
  Storage storage;  // as the call leaves it
  // In lanes: the call would show something on the console or stop the run,
  // or its statistics need the step-by-step form: make it alone (results
  // and storage are then not those of the call).
  bool alone = false;
};

// The call alone, its depth searches one after another.  Shows what the
// lanes leave to it: "rtsafe1 exceeding maximum iterations" (with a pause)
// for a depth search that does not settle, and stops the run for an orifice
// without coefficients or a storage of no depth.  Results.exact is false
// when deferred statistics underflowed.
CallOutcome water_balance(const StormCall& call);

// In: a storm's call (its storage as the storm left it, its outlet, the
// sink in call.diag) and the state of its last step.  Out: the drain-down
// after the storm, step by step to the sink, up to step last_t at most, and
// how it ended.  For the report's hydrographs; the outcome is not a design.
DrainEnd drain_down(const StormCall& call, const DiagnosticStep& last, int last_t);

}  // namespace sitedrain::storage
