// The inflow hydrograph of one design storm, computed once and replayed.
//
// The runoff of a storm does not depend on the storage it drains into, so
// every outlet size and every pass of the resizing can replay the same
// step-by-step runoff instead of running the loss models again.  The console
// lines the loss models show (the PDM model writes one per step) are kept
// once and shown again at every replay, as a live run would show them.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "runoff/runoff_step.h"
#include "storage/water_balance.h"
#include "textio/console.h"

namespace sitedrain::design {

struct StormInflow {
  std::vector<double> runoff;  // R of every step until the simulation ends, m^3
  double rain_volume = 0.0;    // the rain volumes of those steps, summed in step order, m^3
  std::shared_ptr<const console::Recording> console;  // what one live pass shows
};

// The inflow of a storm on the sub-catchments (one-second steps); nothing
// when computing it stops the run (the live path then reports it in order).
std::unique_ptr<StormInflow> compute_inflow(const runoff::SubCatchments& subs,
                                            const runoff::StormSpec& storm);

// The runoff of a storm on the sub-catchments computed step by step as the
// water balance asks for it (one-second steps).
class LiveInflow : public storage::Inflow {
 public:
  LiveInflow(const runoff::SubCatchments& subs, const runoff::StormSpec& storm)
      : runoff_(subs, storm) {}
  runoff::StepResult step(int t) override { return runoff_.step(t, 1.0); }

 private:
  runoff::StormRunoff runoff_;
};

// One water-balance call on the replayed inflow (no diagnostic series), in
// the lanes of the thread's LaneScheduler when the caller runs in one.
// Nothing, with the storage as it was, when the call would show anything on
// the console or stop the run: the caller then makes the call live, so that
// such output keeps its place among the loss models' lines.
std::optional<storage::Results> replay(const StormInflow& inflow, const runoff::StormSpec& storm,
                                       storage::Storage& st, const storage::Outlet& outlet,
                                       bool runoff_only);

}  // namespace sitedrain::design
