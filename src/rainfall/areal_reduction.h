// Areal reduction factor: the ratio of the catchment-average to the point
// rainfall depth of a storm.
#pragma once

namespace sitedrain::rainfall {

// In: area_km2, the catchment area (km^2, above 0); duration (minutes, not
// clamped).  Out: the factor.  A zero or negative area stops the run.
double areal_reduction_factor(double area_km2, int duration);

}  // namespace sitedrain::rainfall
