// The fixed-loss surface (surface type 5 under the Horton models): it loses
// five per cent of the storm's mean intensity in every step, whatever the
// profile and the time.
#pragma once

namespace sitedrain::runoff {

inline constexpr int kFixedLossSurface = 5;

// Loss rate (mm/s) of the fixed-loss surface for a storm of mean intensity
// I (mm/s).
inline double fixed_loss_rate(double intensity) { return 0.05 * intensity; }

}  // namespace sitedrain::runoff
