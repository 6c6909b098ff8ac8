// Storm profiles: the ratio of the rainfall intensity at normalised time x
// (0..1) to the storm's mean intensity.
#pragma once

#include "params/modes.h"

namespace sitedrain::rainfall {

double summer50_profile(double x);
double winter75_profile(double x);
// In: a profile and x.  Out: the ratio (1 for the uniform profile).
double profile_factor(params::StormProfile profile, double x);

}  // namespace sitedrain::rainfall
