#include "numeric/spline.h"

#include <gtest/gtest.h>

#include <array>

namespace sitedrain::numeric {
namespace {

TEST(Spline, NaturalEnds) {
  const std::array<double, 6> x = {0.0, 0.3, 1.0, 1.7, 2.5, 4.0};
  const std::array<double, 6> y = {0.2, 1.9, -0.7, 0.31, 2.2, -1.4};
  std::array<double, 6> y2{};
  SPLINE(x, y, kNaturalEnd, kNaturalEnd, y2);
  EXPECT_TRUE(y2[0] == 0.0 && y2[5] == 0.0);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(SPLINT(x, y, y2, x[k]), y[k]) << k;  // knots exactly
  // A constant stays constant, also outside the knots.
  const std::array<double, 5> cx = {1.0, 2.0, 4.0, 7.0, 8.0}, cy = {3.5, 3.5, 3.5, 3.5, 3.5};
  std::array<double, 5> c2{};
  SPLINE(cx, cy, kNaturalEnd, kNaturalEnd, c2);
  for (double v : c2) EXPECT_EQ(v, 0.0);
  for (double t : {-5.0, 1.5, 5.0, 20.0}) EXPECT_DOUBLE_EQ(SPLINT(cx, cy, c2, t), 3.5);
  // Two points give the straight line.
  const std::array<double, 2> lx = {1.0, 3.0}, ly = {2.0, 6.0};
  std::array<double, 2> l2{};
  SPLINE(lx, ly, kNaturalEnd, kNaturalEnd, l2);
  for (double t : {0.0, 1.5, 2.0, 5.0}) EXPECT_NEAR(SPLINT(lx, ly, l2, t), 2.0 * t, 1e-14);
}

TEST(Spline, ClampedEndsReproduceACubic) {
  auto p = [](double t) { return 0.5 * t * t * t - 2.0 * t * t + t - 3.0; };
  auto dp = [](double t) { return 1.5 * t * t - 4.0 * t + 1.0; };
  const std::array<double, 5> x = {-1.0, 0.0, 0.5, 2.0, 3.0};
  std::array<double, 5> y{}, y2{};
  for (int k = 0; k < 5; ++k) y[k] = p(x[k]);
  SPLINE(x, y, dp(x[0]), dp(x[4]), y2);
  for (double t : {-1.5, -0.3, 0.25, 1.1, 2.9, 3.5}) EXPECT_NEAR(SPLINT(x, y, y2, t), p(t), 1e-12);
}

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
