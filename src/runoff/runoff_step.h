// The runoff step: for one one-second step of a design storm, the rain depth
// from the storm profile, the loss model on every sub-catchment, and the
// step's rain volume and runoff volume.  The sequence of runoff volumes is
// the inflow hydrograph of the storage.
#pragma once

#include <array>

#include "params/modes.h"
#include "runoff/loss_model.h"

namespace sitedrain::runoff {

// The sub-catchments and runoff model of a run.
struct SubCatchments {
  params::LossModel model = params::LossModel::final_horton;
  int count = 1;                 // 0..10
  const int* surface = nullptr;  // count surface type codes
  const double* area = nullptr;  // count areas, m^2
};

// One design storm as the runoff step sees it.
struct StormSpec {
  int duration = 0;  // minutes
  params::StormProfile profile = params::StormProfile::uniform;
  double intensity = 0.0;  // mean intensity I, mm/s (depth / (60 * duration))
};

struct StepResult {
  double rain = 0.0;         // P, rain depth of the step, mm
  double rain_volume = 0.0;  // Pv, on all sub-catchments, m^3
  double runoff = 0.0;       // R, runoff volume, m^3
  double infilt = 0.0;       // infiltration depth of the last sub-catchment evaluated, mm
                             // (the Green-Ampt with PDM model leaves it as it was)
  bool end = false;          // the simulation ends now; this step contributes nothing
};

// The state of one storm simulation: the state of its losses.  Make one per
// simulation; step t = 1 resets the Green-Ampt slots.  A sub-catchment count
// above 10 stops the run.
class StormRunoff {
 public:
  StormRunoff(const SubCatchments& subs, const StormSpec& storm);

  // The step ending at t seconds (t = 1, 2, ...), of length dt seconds.
  // Allocates nothing; only the PDM model writes (its console line).
  StepResult step(int t, double dt);

  // Infiltration depth (mm) of the last sub-catchment evaluated so far.
  double infilt() const { return loss_.infilt; }

 private:
  SubCatchments subs_;
  StormSpec storm_;
  const LossModelEntry& model_;
  LossState loss_;
};

}  // namespace sitedrain::runoff
