#include "storage/orifice_outflow.h"

#include <cstddef>

namespace sitedrain::storage {

int locate(std::span<const int> list, double x) {
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

double orifice_outflow(double h, double d, const geometry::CoeffTable& table, int position) {
  int jh = locate(table.depth_grid, 1000.0 * h);
  if (jh == 0) jh = 1;
  return orifice_rate(h, d, table.at(position, jh));
}

bool is_unit_grid(std::span<const int> list) {
  if (list.size() < 2) return false;
  for (std::size_t k = 0; k < list.size(); ++k)
    if (list[k] != static_cast<int>(k) + 1) return false;
  return true;
}

}  // namespace sitedrain::storage
