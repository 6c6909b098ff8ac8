// Horton infiltration: a capacity that decays exponentially from f0 to fc
// as the storm goes on.  Surface types 1 to 4 select a row of the table.
#pragma once

namespace sitedrain::runoff {

// Horton infiltration capacity (mm/h) of surface type 1..4 after t seconds
// of the storm.  Final-value Horton calls it with t = 60 x duration, the
// lowest rate of the storm.  A type outside 1..4 stops the run.
double HORTONFN(int type, int t);

}  // namespace sitedrain::runoff
