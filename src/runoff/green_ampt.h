// Green-Ampt infiltration with its per-sub-catchment state.  Before the
// surface ponds all rain infiltrates; once the cumulative infiltration F
// reaches the ponding value Fp the rate is the Green-Ampt capacity
// K (1 + M psi / F).
#pragma once

#include <array>
#include <span>

#include "params/code_names.h"
#include "params/modes.h"

namespace sitedrain::runoff {

struct GreenAmptSlot {
  double F = 0.0;   // cumulative infiltration, cm
  double Fp = 0.0;  // cumulative infiltration at ponding, cm
  double M = 0.0;   // moisture deficit
  int first = 0;    // last first-step flag received
};

// One slot per sub-catchment (numbered from 1 in the calls).
struct GreenAmptState {
  std::array<GreenAmptSlot, params::kMaxSubCatchments> slot{};
};

// Infiltration rate (mm/s) of soil row `type` (1..11) for a one-second step
// with `rain` mm; first = 1 on the storm's first step resets slot i (1..10)
// before the step.  Advances F and Fp of slot i.  A row outside 1..11 or a
// slot outside 1..10 stops the run.
double green_ampt_rate(GreenAmptState& state, int type, int first, int i, double rain);

// The surface types of the Green-Ampt models: the eleven soil texture
// classes, in the order of the soil rows.
std::span<const params::CodeName> green_ampt_soil_textures();

struct LossState;

// Green-Ampt: the rain less the Green-Ampt infiltration of the step.
double green_ampt_runoff_depth(LossState& s, int k, int t, double dt, double P, int first);

}  // namespace sitedrain::runoff
