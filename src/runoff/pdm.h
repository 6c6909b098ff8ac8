// The probability-distributed store (PDM) on top of Green-Ampt: the direct
// runoff of a step is the expected excess of the step's rain over a store
// capacity drawn from a log-normal distribution (ln capacity in mm has mean
// -6.18 and standard deviation 0.668).
#pragma once

namespace sitedrain::runoff {

// Direct runoff depth (mm) of a step with `rain` mm; depths below 1e-6 mm
// count as 0.  Writes the standard score z of the rain depth to the console
// as a line of its own at every call with rain.  A step without rain
// (rain <= 0) gives 0 and writes nothing.  The Green-Ampt rate f of the
// same step is accepted and not used.
double pdm_runoff(double rain, double f);

struct LossState;

// Green-Ampt with the PDM store: the store's runoff depth of the step (the
// infiltration depth is left as it was).
double pdm_runoff_depth(LossState& s, int k, int t, double dt, double P, int first);

}  // namespace sitedrain::runoff
