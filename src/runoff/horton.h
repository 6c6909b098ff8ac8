// Horton infiltration: a capacity that decays exponentially from f0 to fc
// as the storm goes on.  Surface types 1 to 4 select a row of the table.
#pragma once

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
// of the storm.  Final-value Horton calls it with t = 60 x duration, the
// lowest rate of the storm.  A type outside 1..4 stops the run.
double HORTONFN(int type, int t);

}  // namespace sitedrain::runoff
