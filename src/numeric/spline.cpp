#include "numeric/spline.h"

#include <array>
#include <cstddef>

#include "textio/console.h"

namespace sitedrain::numeric {

void spline_second_derivatives(std::span<const double> x, std::span<const double> y, double yp1,
                               double ypn, std::span<double> y2) {
  const std::size_t n = x.size();
  std::array<double, 500> u{};
  if (yp1 > 0.99e30) {
    y2[0] = 0.0;
    u[0] = 0.0;
  } else {
    y2[0] = -0.5;
    u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]) - yp1);
  }
  for (std::size_t i = 1; i + 1 < n; ++i) {
    double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    double p = sig * y2[i - 1] + 2.0;
    y2[i] = (sig - 1.0) / p;
    u[i] = (6.0 * ((y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1])) /
                (x[i + 1] - x[i - 1]) -
            sig * u[i - 1]) /
           p;
  }
  double qn, un;
  if (ypn > 0.99e30) {
    qn = 0.0;
    un = 0.0;
  } else {
    qn = 0.5;
    un = (3.0 / (x[n - 1] - x[n - 2])) * (ypn - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
  }
  y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
  for (std::size_t k = n - 1; k-- > 0;) y2[k] = y2[k] * y2[k + 1] + u[k];
}

double spline_value(std::span<const double> xa, std::span<const double> ya,
                    std::span<const double> y2a, double x) {
  std::size_t klo = 0;
  std::size_t khi = xa.size() - 1;
  while (khi - klo > 1) {
    std::size_t k = (khi + klo) / 2;
    if (xa[k] > x)
      khi = k;
    else
      klo = k;
  }
  double h = xa[khi] - xa[klo];
  if (h == 0.0) console::stop_with("bad xa input in splint");
  double a = (xa[khi] - x) / h;
  double b = (x - xa[klo]) / h;
  return a * ya[klo] + b * ya[khi] +
         ((a * a * a - a) * y2a[klo] + (b * b * b - b) * y2a[khi]) * (h * h) / 6.0;
}

void grid_second_derivatives(const Grid& grid, std::span<double> y2a) {
  const std::size_t m = grid.x1a.size();
  const std::size_t n = grid.x2a.size();
  for (std::size_t j = 0; j < m; ++j) {
    spline_second_derivatives(grid.x2a, grid.ya.subspan(j * n, n), kNaturalEnd, kNaturalEnd,
                              y2a.subspan(j * n, n));
  }
}

double grid_spline_value(const Grid& grid, std::span<const double> y2a, double x1, double x2) {
  const std::size_t m = grid.x1a.size();
  const std::size_t n = grid.x2a.size();
  std::array<double, 100> yytmp{};
  std::array<double, 100> y2tmp{};
  for (std::size_t j = 0; j < m; ++j) {
    yytmp[j] = spline_value(grid.x2a, grid.ya.subspan(j * n, n), y2a.subspan(j * n, n), x2);
  }
  std::span<const double> v(yytmp.data(), m);
  spline_second_derivatives(grid.x1a, v, kNaturalEnd, kNaturalEnd,
                            std::span<double>(y2tmp.data(), m));
  return spline_value(grid.x1a, v, std::span<const double>(y2tmp.data(), m), x1);
}

}  // namespace sitedrain::numeric
