#include "storage/orifice_outflow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geometry/basin.h"
#include "storage/soakaway.h"
#include "support/capture.h"
#include "support/reference_water_balance.h"

namespace sitedrain::storage {
namespace {

TEST(Locate, AscendingAndDescendingLists) {
  const std::vector<int> up = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, uneven = {-3, 0, 4, 11, 30};
  const std::vector<int> down = {50, 40, 30, 20, 10};  // gives the last entry at least x
  const struct {
    const std::vector<int>& list;
    double x;
    int expected;
  } cases[] = {{up, 0.5, 0},      {up, 1.0, 0},       {up, 1.0001, 1},    {up, 5.0, 4},
               {up, 5.5, 5},      {up, 10.0, 9},      {up, 10.5, 10},     {up, 1.0e6, 10},
               {uneven, -10.0, 0}, {uneven, 4.0, 2},   {uneven, 12.0, 4},  {down, 60.0, 0},
               {down, 50.0, 1},   {down, 35.0, 2},    {down, 30.0, 3},    {down, 5.0, 5}};
  for (const auto& c : cases) EXPECT_EQ(locate(c.list, c.x), c.expected) << c.list[0] << " " << c.x;
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
    for (double x : xs) ASSERT_EQ(locate_unit_grid(n, x), locate(grid, x)) << n << " " << x;
  }
  EXPECT_FALSE(is_unit_grid(std::vector<int>{1}));
  EXPECT_FALSE(is_unit_grid(std::vector<int>{1, 2, 4}));
  EXPECT_FALSE(is_unit_grid(std::vector<int>{0, 1, 2}));
}

TEST(Soakaway, BaseAndSideCodes) {
  // 10 by 5, vertical, 1 m deep, one length and one width side: 15 m^2 of sides.
  EXPECT_NEAR(soakaway_outflow(10.0, 5.0, 0.0, 3, 0.036, 1.0), 2.34, 1e-12);
  EXPECT_EQ(soakaway_outflow(10.0, 5.0, 2.0, 0, 0.036, 3.0), 50.0 * 0.036);  // base only: no depth
  const double L = 7.0, W = 3.0, b = 0.5, h = 1.2, s = std::sqrt(b * b + 1.0);
  const double len = (h * b + L) * h * s, wid = (h * b + W) * h * s;
  const double sides[] = {len, wid, len + wid, 2 * len, 2 * wid, len + 2 * wid, 2 * len + wid};
  for (int code = 1; code <= 7; ++code)  // wetted area of the sides with infiltco 1
    EXPECT_NEAR(soakaway_outflow(L, W, b, code, 1.0, h) - W * L, sides[code - 1], 1e-12) << code;
  for (int code : {8, 99, -1}) {  // every other code: all four sides
    EXPECT_NEAR(soakaway_outflow(L, W, b, code, 1.0, h) - W * L, 2.0 * (len + wid), 1e-12) << code;
    EXPECT_EQ(soakaway_outflow(L, W, b, code, 0.1, h), soakaway_outflow(L, W, b, -1, 0.1, h));
  }
}

TEST(Waterdepth, DepthOfAVolumeAndEnlargementOfTheBase) {
  double W = 5.0, L = 5.0;
  EXPECT_NEAR(testing::reference_water_depth(100.0, 0.0, W, L, 10.0), 4.0, 1e-9);
  EXPECT_TRUE(W == 5.0 && L == 5.0);
  W = 4.0, L = 9.0;
  EXPECT_NEAR(geometry::PONDVOLBASE(testing::reference_water_depth(150.0, 2.0, W, L, 3.0), 2.0, W, L), 150.0, 1e-6);
  W = 5.0, L = 10.0;  // holds 100 at full depth: enlarged for the caller
  double h = testing::reference_water_depth(150.0, 0.0, W, L, 2.0);
  EXPECT_GT(W * L * 2.0, 150.0);
  EXPECT_LT(W * L * 2.0, 150.0 * 1.0003);  // the first enlargement that fits
  EXPECT_NEAR(L / W, 2.0, 1e-12);
  EXPECT_LE(h, 2.0);
  EXPECT_NEAR(W * L * h, 150.0, 1e-6);
  W = 0.0, L = 0.0;  // a zero base grows from the minimum
  h = testing::reference_water_depth(2.0, 1.0, W, L, 1.0);
  EXPECT_GT(W, 0.01);
  EXPECT_EQ(W, L);
  EXPECT_NEAR(geometry::PONDVOLBASE(h, 1.0, W, L), 2.0, 1e-6);
  testing::stop_output([&] { testing::reference_water_depth(2.0, 1.0, W, L, 0.0); });  // no depth
}

}  // namespace
}  // namespace sitedrain::storage
