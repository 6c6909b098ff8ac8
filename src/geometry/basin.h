// The basin shape shared by every storage: a rectangular basin whose four
// sides slope at one common batter.  Plan areas and volumes, sizing for a
// volume at a fixed top ratio (size_pond), and the check of the initial top
// dimensions.
#pragma once

#include "textio/text_file.h"

namespace sitedrain::geometry {

// Plan area at height h above a base of L by W with batter b.
double plan_area_at(double h, double b, double L, double W);

// Prismoidal volume of the basin of depth d over the base Wb by Lb.
double basin_volume(double d, double b, double Wb, double Lb);

struct PondDims {
  double At = 0.0;    // top area
  double Ab = 0.0;    // base area
  double Lt = 0.0;    // top length
  double Lb = 0.0;    // base length
  double Wt = 0.0;    // top width
  double Wb = 0.0;    // base width
  double Vchk = 0.0;  // prismoidal volume of the result
  double Ab2 = 0.0;   // Wb * Lb
};

// Plan dimensions for volume V at top ratio R, depth d (in/out: reduced, with
// a record on log, when V cannot be shaped at that depth) and batter b.
// A depth reduced to 0 or below stops the run with a message.
PondDims size_pond(double V, double R, double& d, double b, textio::LineSink& log);

// The initial top dimensions: returns R = top_length / top_width and adjusts top_length and
// top_width (with the console messages) when a base would be negative.  The caller
// shows "Calculating the pond dimensions" first, and calls it only when the
// run is not a runoff-only run.  Each message is the text, one blank, the new
// value in shortest round-trip form and " m", e.g.
// "Incompatible initial basel - top length has been adjusted to  12 m".
double check_initial_top(double& top_length, double& top_width, double max_depth, double batter);

}  // namespace sitedrain::geometry
