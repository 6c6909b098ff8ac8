#include "geometry/orifice.h"

#include <gtest/gtest.h>

#include <array>

#include "numeric/spline.h"
#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::geometry {
namespace {

TEST(Dischrgcff, ReproducesTheDataAtItsPoints) {
  EXPECT_EQ(DISCHRGCFF(0.0, 6.35), 0.691);
  EXPECT_EQ(DISCHRGCFF(0.3048, 100.0), 0.600);
  EXPECT_EQ(DISCHRGCFF(1.143, 6.35), 0.6285);
  EXPECT_EQ(DISCHRGCFF(6.1, 100.0), 0.598);
  EXPECT_EQ(DISCHRGCFF(0.0762, 25.4), 0.640);
}

TEST(Dischrgcff, CachedSetUpEqualsAFreshOne) {
  // Rebuild the spline from the published table and compare bit for bit,
  // inside the data and beyond it (150 mm is extrapolated).
  const std::array<double, 12> heads = {0.0,    0.0508, 0.0762, 0.1524, 0.2286, 0.3048,
                                        0.4318, 0.4572, 0.5588, 1.143,  3.05,   6.1};
  const std::array<double, 8> dias = {6.35, 12.7, 19.05, 25.4, 38.1, 50.8, 63.5, 100.0};
  std::array<double, 96> y{};
  const std::array<double, 8> first = {0.691, 0.672, 0.663, 0.656, 0.643, 0.636, 0.632, 0.632};
  const std::array<double, 8> last = {0.6285, 0.621, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598};
  const std::array<std::array<double, 8>, 8> middle = {{
      {0.683, 0.663, 0.652, 0.646, 0.634, 0.627, 0.624, 0.624},
      {0.680, 0.657, 0.646, 0.640, 0.628, 0.622, 0.618, 0.618},
      {0.669, 0.643, 0.632, 0.626, 0.618, 0.612, 0.610, 0.610},
      {0.660, 0.637, 0.623, 0.619, 0.612, 0.606, 0.604, 0.604},
      {0.653, 0.630, 0.618, 0.612, 0.606, 0.601, 0.600, 0.600},
      {0.645, 0.624, 0.614, 0.608, 0.603, 0.599, 0.598, 0.598},
      {0.643, 0.623, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598},
      {0.638, 0.621, 0.613, 0.608, 0.603, 0.599, 0.598, 0.598},
  }};
  for (int k = 0; k < 8; ++k) {
    y[k] = first[k];
    for (int j = 0; j < 8; ++j) y[(j + 1) * 8 + k] = middle[j][k];
    for (int j = 9; j < 12; ++j) y[j * 8 + k] = last[k];
  }
  const numeric::Grid grid{heads, dias, y};
  for (double h : {0.001, 0.1, 0.4, 2.0, 7.0}) {
    for (double d : {6.35, 30.0, 75.0, 150.0, 250.0}) {
      std::array<double, 96> y2{};
      numeric::SPLIE2(grid, y2);
      EXPECT_EQ(DISCHRGCFF(h, d), numeric::SPLIN2(grid, y2, h, d)) << h << " " << d;
    }
  }
  // Beyond the largest diameter the end cubic carries on: no clamping.
  EXPECT_NE(DISCHRGCFF(0.1, 150.0), DISCHRGCFF(0.1, 100.0));
  EXPECT_NEAR(DISCHRGCFF(0.1, 150.0), 0.6088, 0.0001);
}

TEST(CoefficientTable, SweepGridAndEntries) {
  const CoeffTable t = build_coefficient_table({50, 100, 25}, 2000);
  ASSERT_EQ(t.diameters, (std::vector<int>{50, 75, 100}));
  ASSERT_EQ(t.n_depth, 2000);
  ASSERT_EQ(t.depth_grid.size(), 2000u);
  EXPECT_EQ(t.depth_grid.front(), 1);
  EXPECT_EQ(t.depth_grid.back(), 2000);
  ASSERT_EQ(t.c.size(), 6000u);
  EXPECT_EQ(t.at(1, 1), DISCHRGCFF(0.001, 50.0));
  EXPECT_EQ(t.at(2, 99), DISCHRGCFF(0.099, 75.0));
  EXPECT_EQ(t.at(3, 2000), DISCHRGCFF(2.0, 100.0));
}

TEST(CoefficientTable, DescendingAndSingleSweeps) {
  EXPECT_EQ(build_coefficient_table({100, 50, -25}, 10).diameters,
            (std::vector<int>{100, 75, 50}));
  EXPECT_EQ(build_coefficient_table({80, 80, 5}, 10).diameters, (std::vector<int>{80}));
  EXPECT_TRUE(build_coefficient_table({90, 80, 5}, 10).diameters.empty());
}

TEST(CoefficientTable, NonPositiveCoefficientStopsNamingTheDiameter) {
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(build_coefficient_table({270, 300, 10}, 200), RunStop);
  console::flush();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("290 mm"), std::string::npos) << out;
}

}  // namespace
}  // namespace sitedrain::geometry
