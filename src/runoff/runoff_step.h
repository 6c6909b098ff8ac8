// The runoff step: for one one-second step of a design storm, the rain depth
// from the storm profile, the loss model on every sub-catchment, and the
// step's rain volume and runoff volume.  The sequence of runoff volumes is
// the inflow hydrograph of the storage.
#pragma once

#include "runoff/green_ampt.h"

namespace sitedrain::runoff {

// The sub-catchments and runoff model of a run.
struct SubCatchments {
  int rom = 0;                     // 0 Final-value Horton, 1 Horton, 2 Green-Ampt, 3 with PDM
  int nsubc = 1;
  const int* surface = nullptr;    // nsubc surface type codes
  const double* area = nullptr;    // nsubc areas, m^2
};

// One design storm as the runoff step sees it.
struct StormSpec {
  int duration = 0;         // minutes
  int strmprf = 1;          // storm profile
  double intensity = 0.0;   // mean intensity I, mm/s (depth / (60 * duration))
};

struct StepResult {
  double rain = 0.0;        // P, rain depth of the step, mm
  double rain_volume = 0.0; // Pv, on all sub-catchments, m^3
  double runoff = 0.0;      // R, runoff volume, m^3
  double infilt = 0.0;      // infiltration depth of the last sub-catchment evaluated, mm
  bool end = false;         // the simulation ends now; this step contributes nothing
};

// The state of one storm simulation: the Green-Ampt slots and the last
// infiltration depth.  Make one per simulation; step t = 1 resets the slots.
class StormRunoff {
 public:
  StormRunoff(const SubCatchments& subs, const StormSpec& storm) : subs_(subs), storm_(storm) {}

  // The step ending at t seconds (t = 1, 2, ...), of length dt seconds.
  StepResult step(int t, double dt);

 private:
  SubCatchments subs_;
  StormSpec storm_;
  GreenAmptState green_ampt_;
  double infilt_ = 0.0;
};

}  // namespace sitedrain::runoff
