// The design rainfall table of a run: for every return period and duration
// the model depth (FEH99: FEH for an hour or more, FEH one-hour depth scaled
// by the FSR depth ratio below; FEH13 and FEH22: the depth grid), the areal
// reduction, the seasonal factor, rounding to tenths of a millimetre and the
// climate-change factor.
#pragma once

#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/areal_reduction.h"
#include "rainfall/catchment.h"
#include "rainfall/depth_table.h"
#include "rainfall/seasonal_factor.h"
#include "textio/text_file.h"

namespace sitedrain::rainfall {

// Point or catchment depth R (mm) of the catchment's model for return period
// rp (years) and duration (minutes), before any areal reduction: FEH99 from
// C..F (scaled by FSR ratios below an hour), FEH13 and FEH22 from the grid.
double model_depth(const Catchment& c, int rp, int duration);

// R reduced by the areal reduction factor when arff = 1: on the summed
// sub-catchment area (total_area_m2) when ctchm = 2, on the descriptor AREA
// when ctchm = 1; any other ctchm applies no factor.
double areal_depth(double R, int arff, int ctchm, double total_area_m2, const Catchment& c,
                   int duration);

// The depth of the chosen season (all-year: R itself) for
// duration (minutes, seasonal hours clamped to 1..24) and SAAR (mm).  A SAAR
// of 500 or less leaves a summer depth unchanged.
double seasonal_depth(double R, params::Season season, int duration, double saar);

// Final depth: the chosen depth rounded to tenths (halves away from zero),
// then times the climate-change factor.
double final_depth(double chosen, double cchgfac);

struct RainfallOutcome {
  DepthTable table;  // empty when the run asks for no table
  bool beyond_16_days = false;
};

// Writes the head of the rainfall table file (and the short-duration seasonal
// warning to it, to the log and to the console); for storage and
// rainfall-only runs computes the table and writes its rows.
// Durations beyond 16 days are reported on the console and kept as placeholder
// depths, and flagged in the outcome.
RainfallOutcome design_rainfall(const params::DesignParams& p, const params::RunSetup& setup,
                                const Catchment& c, textio::LineSink& rain_file,
                                textio::LineSink& log);

}  // namespace sitedrain::rainfall
