#include "geometry/rounding.h"

#include <gtest/gtest.h>

namespace sitedrain::geometry {
namespace {

TEST(Rotn, TruncatesTowardZero) {
  EXPECT_EQ(ROTN(2.25, 1, 0), 2.2);
  EXPECT_EQ(ROTN(-2.25, 1, 0), -2.2);
  EXPECT_EQ(ROTN(2.2986, 1, 0), 2.2);
  EXPECT_EQ(ROTN(0.09, 1, 0), 0.0);
  EXPECT_EQ(ROTN(-7.9, 0, 0), -7.0);
}

TEST(Rotn, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(ROTN(2.25, 1, 1), 2.3);
  EXPECT_EQ(ROTN(-2.25, 1, 1), -2.3);
  EXPECT_EQ(ROTN(0.4999, 0, 1), 0.0);
  EXPECT_EQ(ROTN(-0.4999, 0, 1), 0.0);
  EXPECT_EQ(ROTN(2.5, 0, 1), 3.0);
  EXPECT_EQ(ROTN(-2.5, 0, 1), -3.0);
  EXPECT_EQ(ROTN(1234.5678, 2, 1), 1234.57);
}

}  // namespace
}  // namespace sitedrain::geometry
