// The final design rainfall table: one depth (mm) per storm duration and
// return period of the run.
#pragma once

#include <cstddef>
#include <vector>

namespace sitedrain::rainfall {

struct DepthTable {
  int ndur = 0;
  int nrp = 0;
  std::vector<double> v;  // row after row: v[k * nrp + i]

  DepthTable() = default;
  DepthTable(int ndur_, int nrp_)
      : ndur(ndur_), nrp(nrp_), v(static_cast<std::size_t>(ndur_) * nrp_, 0.0) {}

  // k: duration index, i: return-period index, both from 0.
  double at(int k, int i) const { return v[index(k, i)]; }
  double& at(int k, int i) { return v[index(k, i)]; }

 private:
  std::size_t index(int k, int i) const {
    return static_cast<std::size_t>(k) * static_cast<std::size_t>(nrp) +
           static_cast<std::size_t>(i);
  }
};

}  // namespace sitedrain::rainfall
