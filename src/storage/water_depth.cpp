#include "storage/water_depth.h"

#include "numeric/rtsafe.h"
#include "textio/console.h"

namespace sitedrain::storage {

double WATERDEPTH(double S, double b, double& W, double& L, double D) {
  // No base can make a basin of no depth hold water: the enlargement
  // below would never end.
  if (!(D > 0.0)) console::stop_with("Storage depth is 0 - no depth holds the stored volume");
  for (;;) {
    int ok = 0;
    const double h = numeric::RTSAFE1(S, b, L, W, 0.0, D, 1.0e-9, ok);
    if (ok == 1) return h;
    // Minimum base so that the growth is geometric.
    if (L < 0.01) L = 0.01;
    if (W < 0.01) W = 0.01;
    L = L * 1.0001;
    W = W * 1.0001;
  }
}

}  // namespace sitedrain::storage
