// The water depth of a storage from its stored volume.
#pragma once

namespace sitedrain::storage {

// In: stored volume S (m^3), batter b, full depth D (m).  In/out: base width
// W and length L (m).  Returns the depth (m) at which the basin holds S, to
// 1e-9 m.  While S does not fit within D the base is enlarged by 1.0001 in
// both directions (a side under 0.01 m is first raised to 0.01 m), and the
// caller keeps the enlarged base.  A full depth of 0 or less stops the run.
double WATERDEPTH(double S, double b, double& W, double& L, double D);

}  // namespace sitedrain::storage
