#include "storage/orifice_outflow.h"

#include <cmath>
#include <cstddef>

namespace sitedrain::storage {

int LOCATE(std::span<const int> list, double x) {
  const int n = static_cast<int>(list.size());
  if (n == 0) return 0;
  const bool ascending = list[0] < list[static_cast<std::size_t>(n - 1)];
  int jl = 0;
  int ju = n + 1;
  while (ju - jl > 1) {
    const int jm = (ju + jl) / 2;
    if (ascending == (x > static_cast<double>(list[static_cast<std::size_t>(jm - 1)])))
      jl = jm;
    else
      ju = jm;
  }
  return jl;
}

double OUTFLOW(double h, double d, const geometry::CoeffTable& table, int position) {
  int jh = LOCATE(table.depth_grid, 1000.0 * h);
  if (jh == 0) jh = 1;
  return d * d * std::sqrt(19.6133 * h) * table.at(position, jh) * 0.002836733877;
}

}  // namespace sitedrain::storage
