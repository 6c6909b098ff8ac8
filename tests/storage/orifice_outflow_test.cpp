#include "storage/orifice_outflow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace sitedrain::storage {
namespace {

TEST(Locate, AscendingList) {
  const std::vector<int> grid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(LOCATE(grid, 0.5), 0);
  EXPECT_EQ(LOCATE(grid, 1.0), 0);  // on a point: the one below it
  EXPECT_EQ(LOCATE(grid, 1.0001), 1);
  EXPECT_EQ(LOCATE(grid, 5.0), 4);
  EXPECT_EQ(LOCATE(grid, 5.5), 5);
  EXPECT_EQ(LOCATE(grid, 10.0), 9);
  EXPECT_EQ(LOCATE(grid, 10.5), 10);
  EXPECT_EQ(LOCATE(grid, 1.0e6), 10);
  const std::vector<int> uneven = {-3, 0, 4, 11, 30};
  EXPECT_EQ(LOCATE(uneven, -10.0), 0);
  EXPECT_EQ(LOCATE(uneven, 4.0), 2);
  EXPECT_EQ(LOCATE(uneven, 12.0), 4);
}

TEST(Locate, DescendingListGivesTheLastEntryAtLeastX) {
  const std::vector<int> down = {50, 40, 30, 20, 10};
  EXPECT_EQ(LOCATE(down, 60.0), 0);
  EXPECT_EQ(LOCATE(down, 50.0), 1);
  EXPECT_EQ(LOCATE(down, 35.0), 2);
  EXPECT_EQ(LOCATE(down, 30.0), 3);
  EXPECT_EQ(LOCATE(down, 5.0), 5);
}

TEST(Locate, UnitGridShortcutAgreesWithTheBisection) {
  for (int n : {2, 3, 7, 1500, 2500}) {
    std::vector<int> grid;
    for (int s = 1; s <= n; ++s) grid.push_back(s);
    ASSERT_TRUE(is_unit_grid(grid));
    std::vector<double> xs = {-1.0, 0.0, 0.5, std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(), 1.0e9};
    for (int k = 0; k <= n + 1; ++k) {
      const double v = k;
      xs.insert(xs.end(), {v, std::nextafter(v, -1.0e9), std::nextafter(v, 1.0e9), v + 0.5});
    }
    for (int k = 1; k < 400; ++k) xs.push_back(1000.0 * (k * 0.00731));
    for (double x : xs) ASSERT_EQ(locate_unit_grid(n, x), LOCATE(grid, x)) << n << " " << x;
  }
  EXPECT_FALSE(is_unit_grid(std::vector<int>{1}));
  EXPECT_FALSE(is_unit_grid(std::vector<int>{1, 2, 4}));
  EXPECT_FALSE(is_unit_grid(std::vector<int>{0, 1, 2}));
}

// A two-diameter table whose entries tell their own grid point.
geometry::CoeffTable marked_table(int n_depth) {
  geometry::CoeffTable t;
  t.diameters = {75, 100};
  t.n_depth = n_depth;
  for (int s = 1; s <= n_depth; ++s) t.depth_grid.push_back(s);
  for (int m = 1; m <= 2; ++m)
    for (int s = 1; s <= n_depth; ++s) t.c.push_back(0.5 + m * 0.1 + s * 1.0e-6);
  return t;
}

double orifice(double h, double d, double c) {
  return d * d * std::sqrt(19.6133 * h) * c * 0.002836733877;
}

TEST(Outflow, ReadsTheGridPointBelowTheDepth) {
  const geometry::CoeffTable t = marked_table(2000);
  // 0.1 m is exactly 100 mm: the 99 mm point.
  EXPECT_EQ(OUTFLOW(0.1, 100.0, t, 2), orifice(0.1, 100.0, t.at(2, 99)));
  EXPECT_EQ(OUTFLOW(0.1005, 100.0, t, 2), orifice(0.1005, 100.0, t.at(2, 100)));
  // At or under 1 mm: the first point.
  EXPECT_EQ(OUTFLOW(0.001, 75.0, t, 1), orifice(0.001, 75.0, t.at(1, 1)));
  EXPECT_EQ(OUTFLOW(0.0004, 75.0, t, 1), orifice(0.0004, 75.0, t.at(1, 1)));
  EXPECT_EQ(OUTFLOW(0.0, 75.0, t, 1), 0.0);
  // Beyond the grid: the last point.
  EXPECT_EQ(OUTFLOW(3.0, 100.0, t, 2), orifice(3.0, 100.0, t.at(2, 2000)));
}

TEST(Outflow, WorkedValue) {
  // 100 mm at 1 m with a coefficient of 0.6: about 75.4 m^3/h.
  geometry::CoeffTable t;
  t.diameters = {100};
  t.n_depth = 3;
  t.depth_grid = {1, 2, 3};
  t.c = {0.6, 0.6, 0.6};
  EXPECT_NEAR(OUTFLOW(1.0, 100.0, t, 1), 75.38, 0.01);
}

}  // namespace
}  // namespace sitedrain::storage
