#include "geometry/orifice.h"

#include <gtest/gtest.h>

#include "support/capture.h"

namespace sitedrain::geometry {
namespace {

TEST(Dischrgcff, DataPointsAndTheEndCubicBeyond) {
  EXPECT_EQ(DISCHRGCFF(0.0, 6.35), 0.691);
  EXPECT_EQ(DISCHRGCFF(0.3048, 100.0), 0.600);
  EXPECT_EQ(DISCHRGCFF(1.143, 6.35), 0.6285);
  EXPECT_EQ(DISCHRGCFF(6.1, 100.0), 0.598);
  EXPECT_EQ(DISCHRGCFF(0.0762, 25.4), 0.640);
  // Beyond 100 mm nothing is clamped, and a point gives the same value each time.
  const double c150 = DISCHRGCFF(0.1, 150.0);
  EXPECT_NE(c150, DISCHRGCFF(0.1, 100.0));
  EXPECT_NEAR(c150, 0.6088, 0.0001);
  EXPECT_EQ(DISCHRGCFF(0.1, 150.0), c150);
  const double mid = DISCHRGCFF(0.2, 30.0);  // within the neighbouring data
  EXPECT_GT(mid, 0.60);
  EXPECT_LT(mid, 0.63);
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
  EXPECT_EQ(build_coefficient_table({100, 50, -25}, 10).diameters,
            (std::vector<int>{100, 75, 50}));
  EXPECT_EQ(build_coefficient_table({80, 80, 5}, 10).diameters, (std::vector<int>{80}));
  EXPECT_TRUE(build_coefficient_table({90, 80, 5}, 10).diameters.empty());
  const std::string out = testing::console_of(
      [] { EXPECT_THROW(build_coefficient_table({270, 300, 10}, 200), RunStop); });
  EXPECT_NE(out.find("290 mm"), std::string::npos) << out;  // a coefficient not above 0
}

}  // namespace
}  // namespace sitedrain::geometry
