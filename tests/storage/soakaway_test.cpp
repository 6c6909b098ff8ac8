#include "storage/soakaway.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sitedrain::storage {
namespace {

// Wetted area of the sides alone (infiltco 1, base area taken off).
double sides(int sideno, double L, double W, double b, double h) {
  return SOAKAWAY(L, W, b, sideno, 1.0, h) - W * L;
}

TEST(Soakaway, WorkedExample) {
  // 10 by 5, vertical, 1 m deep, one length and one width side: 15 m^2.
  EXPECT_NEAR(SOAKAWAY(10.0, 5.0, 0.0, 3, 0.036, 1.0), 2.34, 1e-12);
  EXPECT_NEAR(SOAKAWAY(10.0, 5.0, 0.0, 3, 0.036, 1.0) / 3600.0, 0.00065, 1e-15);
}

TEST(Soakaway, BaseOnlyIgnoresTheDepth) {
  EXPECT_EQ(SOAKAWAY(10.0, 5.0, 2.0, 0, 0.036, 0.0), 50.0 * 0.036);
  EXPECT_EQ(SOAKAWAY(10.0, 5.0, 2.0, 0, 0.036, 3.0), 50.0 * 0.036);
}

TEST(Soakaway, SideCodesCombineTheSingleSides) {
  const double L = 7.0, W = 3.0, b = 0.5, h = 1.2;
  const double s = std::sqrt(b * b + 1.0);
  const double len = (h * b + L) * h * s;
  const double wid = (h * b + W) * h * s;
  EXPECT_NEAR(sides(1, L, W, b, h), len, 1e-12);
  EXPECT_NEAR(sides(2, L, W, b, h), wid, 1e-12);
  EXPECT_NEAR(sides(3, L, W, b, h), len + wid, 1e-12);
  EXPECT_NEAR(sides(4, L, W, b, h), 2.0 * len, 1e-12);
  EXPECT_NEAR(sides(5, L, W, b, h), 2.0 * wid, 1e-12);
  EXPECT_NEAR(sides(6, L, W, b, h), len + 2.0 * wid, 1e-12);
  EXPECT_NEAR(sides(7, L, W, b, h), 2.0 * len + wid, 1e-12);
  // Every other code, negative ones included: all four sides.
  for (int code : {8, 99, -1}) EXPECT_NEAR(sides(code, L, W, b, h), 2.0 * (len + wid), 1e-12);
  EXPECT_EQ(SOAKAWAY(L, W, b, 8, 0.1, h), SOAKAWAY(L, W, b, -1, 0.1, h));
  EXPECT_EQ(SOAKAWAY(L, W, b, 99, 0.1, h), SOAKAWAY(L, W, b, -1, 0.1, h));
}

TEST(Soakaway, VerticalLengthSideIsLengthTimesDepth) {
  EXPECT_DOUBLE_EQ(sides(1, 10.0, 5.0, 0.0, 0.8), 8.0);
}

}  // namespace
}  // namespace sitedrain::storage
