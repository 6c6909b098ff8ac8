// Depth-duration-frequency rainfall model: depth from the six catchment (or
// 1 km point) parameters, piecewise linear in ln(duration) with segments
// meeting at 12 and 48 hours.
#pragma once

namespace sitedrain::rainfall {

// Depth beyond the 16-day limit of the model (mm); the caller reports it.
inline constexpr double kBeyondModelDepth = 99999.0;

// Gumbel reduced variate y of a return period in years (1 or more); periods
// under 2 years are first turned from peaks-over-threshold into annual-maximum
// periods.
double reduced_variate(int rp);

// Rainfall depth (mm) for return period rp (years, 1 or more) and duration
// (minutes); kBeyondModelDepth for durations over 384 hours.
double feh99_depth(double C, double D1, double D2, double D3, double E, double F, int rp,
                   int duration);

}  // namespace sitedrain::rainfall
