// A result record: 19 reals per design storm with runoff, columns from 1.
//   1 return period        8 storage top area     15 24-hour outflow (pond,
//   2 outlet size          9 top length              soakaway) or runoff
//   3 duration            10 top width               duration (sump)
//   4 mean inflow rate    11 depth                16 emptying time
//   5 total inflow        12 storage volume       17 half-emptying time
//   6 total area of water 13 largest outflow rate 18 lagoon length
//   7 lagoon area         14 mean outflow rate    19 lagoon width
#pragma once

#include <array>

namespace sitedrain::design {

struct ResultRecord {
  std::array<double, 19> c{};
  double& col(int k) { return c[static_cast<std::size_t>(k - 1)]; }
  double col(int k) const { return c[static_cast<std::size_t>(k - 1)]; }
};

}  // namespace sitedrain::design
