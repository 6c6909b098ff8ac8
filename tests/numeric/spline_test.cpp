#include "numeric/spline.h"

#include <gtest/gtest.h>

#include <array>

namespace sitedrain::numeric {
namespace {

TEST(Spline2, BilinearSurfaceAndGridPoints) {
  // f = 1 + 2 x1 - x2 + 0.5 x1 x2 is linear along every row and column, so
  // natural splines reproduce it anywhere, also outside the grid.
  const std::array<double, 4> x1 = {0.0, 1.0, 2.5, 3.0};
  const std::array<double, 3> x2 = {10.0, 20.0, 40.0};
  auto f = [](double a, double b) { return 1.0 + 2.0 * a - b + 0.5 * a * b; };
  std::array<double, 12> ya{}, y2a{};
  for (int j = 0; j < 4; ++j)
    for (int k = 0; k < 3; ++k) ya[j * 3 + k] = f(x1[j], x2[k]);
  const Grid g{x1, x2, ya};
  SPLIE2(g, y2a);
  for (int j = 0; j < 4; ++j)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(SPLIN2(g, y2a, x1[j], x2[k]), ya[j * 3 + k]);
  for (double a : {-0.5, 1.7, 4.0})
    for (double b : {5.0, 33.0, 50.0}) EXPECT_NEAR(SPLIN2(g, y2a, a, b), f(a, b), 1e-11);
}

}  // namespace
}  // namespace sitedrain::numeric
