// Rainfall depth by the Flood Studies approach: the 5-year (M5) depth of a
// duration from an intensity formula banded by SAAR4170, times a growth
// factor interpolated in a table of M5 depth by return period.
#pragma once

namespace sitedrain::rainfall {

// Growth factor (T-year depth over M5 depth) at an M5 depth (mm) and a return
// period (years), by bicubic spline in the constant table; outside the table
// the end cubics are extended.
double fsr_growth_factor(double m5, double return_period);

// In: saar4170 (mm), rp (years), duration (minutes).
// Out: depth (mm), m5 (mm), growth (-), with depth = m5 * growth.
void fsr_rainfall(double saar4170, int rp, int duration, double& depth, double& m5, double& growth);

}  // namespace sitedrain::rainfall
