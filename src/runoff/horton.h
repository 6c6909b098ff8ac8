// Horton infiltration: a capacity that decays exponentially from f0 to fc
// as the storm goes on.  Surface types 1 to 4 select a row of the table.
#pragma once

#include <span>

#include "params/code_names.h"

namespace sitedrain::runoff {

// One surface type's Horton curve.
struct HortonRow {
  double k;   // decay constant, per minute
  double fc;  // final capacity, mm/h
  double f0;  // initial capacity, mm/h
};

// The Horton curves of surface types 1 to 4, in type order.
inline constexpr HortonRow kHortonRows[4] = {
    {1.6, 6.0, 280.0},
    {0.8, 20.0, 900.0},
    {2.0, 2.0, 210.0},
    {1.4, 10.0, 670.0},
};

// Horton infiltration capacity (mm/h) of surface type 1..4 after t seconds
// of the storm.  Final-value Horton takes it with t = 60 x duration, the
// lowest rate of the storm.  A type outside 1..4 stops the run.
double horton_capacity(int type, int t);

// The surface types of the Horton models: the four curves, then the
// fixed-loss surface.
std::span<const params::CodeName> horton_surfaces();

struct LossState;

// The end-of-storm loss rate of every sub-catchment: the fixed loss for
// surface type 5, else horton_capacity(type, 60 T) / 3600 mm/s.
void horton_start(LossState& s);
// Final-value Horton: the rain less the end-of-storm loss, at every step.
double final_horton_runoff_depth(LossState& s, int k, int t, double dt, double P, int first);
// Horton: the rain less the Horton loss at time t (type 5: the fixed loss).
double horton_runoff_depth(LossState& s, int k, int t, double dt, double P, int first);

}  // namespace sitedrain::runoff
