// The runoff step: for one one-second step of a design storm, the rain depth
// from the storm profile, the loss model on every sub-catchment, and the
// step's rain volume and runoff volume.  The sequence of runoff volumes is
// the inflow hydrograph of the storage.
#pragma once

#include <array>

#include "params/modes.h"
#include "runoff/green_ampt.h"

namespace sitedrain::runoff {

// The sub-catchments and runoff model of a run.
struct SubCatchments {
  params::LossModel model = params::LossModel::final_horton;
  int nsubc = 1;                   // 0..10
  const int* surface = nullptr;    // nsubc surface type codes
  const double* area = nullptr;    // nsubc areas, m^2
};

// One design storm as the runoff step sees it.
struct StormSpec {
  int duration = 0;         // minutes
  params::StormProfile profile = params::StormProfile::uniform;
  double intensity = 0.0;   // mean intensity I, mm/s (depth / (60 * duration))
};

struct StepResult {
  double rain = 0.0;        // P, rain depth of the step, mm
  double rain_volume = 0.0; // Pv, on all sub-catchments, m^3
  double runoff = 0.0;      // R, runoff volume, m^3
  double infilt = 0.0;      // infiltration depth of the last sub-catchment evaluated, mm
                            // (the Green-Ampt with PDM model leaves it as it was)
  bool end = false;         // the simulation ends now; this step contributes nothing
};

// The state of one storm simulation: the Green-Ampt slots and the last
// infiltration depth.  Make one per simulation; step t = 1 resets the slots.
// A sub-catchment count above 10 stops the run.
class StormRunoff {
 public:
  StormRunoff(const SubCatchments& subs, const StormSpec& storm);

  // The step ending at t seconds (t = 1, 2, ...), of length dt seconds.
  // Allocates nothing; only the PDM model writes (its console line).
  StepResult step(int t, double dt);

  // Infiltration depth (mm) of the last sub-catchment evaluated so far.
  double infilt() const { return infilt_; }

 private:
  // Loss rate (mm/s) of sub-catchment k (from 0) at the end of the storm,
  // for the Horton models: the fixed loss or HORTONFN(type, 60 T) / 3600.
  double final_loss(int k) const { return final_loss_[k]; }
  // Horton rate of sub-catchment k at time t (the fixed loss for type 5).
  double horton_loss(int k, int t) const;

  SubCatchments subs_;
  StormSpec storm_;
  std::array<double, params::kMaxSubCatchments> final_loss_{};
  GreenAmptState green_ampt_;
  double infilt_ = 0.0;
};

}  // namespace sitedrain::runoff
