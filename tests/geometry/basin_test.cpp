#include "geometry/basin.h"

#include <gtest/gtest.h>

#include <string>

#include "geometry/rounding.h"
#include "support/capture.h"

namespace sitedrain::geometry {
namespace {

using testing::KeptLines;

const std::string kMaxdepth = "Maxdepth too large for volume               - maxdepth reduced to  ";
const std::string kInconsistent =
    "Dimensions inconsistent with volume               - depth has been reduced to  ";

TEST(Rotn, TruncatesOrRoundsHalvesAwayFromZero) {
  const struct {
    double x;
    int places, round;
    double expected;
  } cases[] = {{2.25, 1, 0, 2.2},   {-2.25, 1, 0, -2.2},  {2.2986, 1, 0, 2.2},   {0.09, 1, 0, 0.0},
               {-7.9, 0, 0, -7.0},  {2.25, 1, 1, 2.3},    {-2.25, 1, 1, -2.3},   {0.4999, 0, 1, 0.0},
               {-0.4999, 0, 1, 0.0}, {2.5, 0, 1, 3.0},    {-2.5, 0, 1, -3.0},
               {1234.5678, 2, 1, 1234.57}};
  for (const auto& c : cases)
    EXPECT_EQ(ROTN(c.x, c.places, c.round), c.expected) << c.x << " " << c.places << c.round;
}

TEST(PondSize, TooDeepThenInconsistentWritesBothRecords) {
  KeptLines log;
  double d = 3.0;
  PondDims r = POND_SIZE(50.0, 1.0, d, 3.0, log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{kMaxdepth + "2.2", kInconsistent + "1.5"}));
  EXPECT_EQ(d, 1.5);
  EXPECT_NEAR(r.At, 93.24, 0.005);
  EXPECT_NEAR(r.Lb, 0.656, 0.0005);
  EXPECT_EQ(r.Lb, r.Wb);
  EXPECT_NEAR(r.Vchk, 50.0, 1e-9);
}

TEST(PondSize, LongRatioReducesTwiceOnTheWidth) {
  KeptLines log;
  double d = 3.0;
  PondDims r = POND_SIZE(200.0, 4.0, d, 3.0, log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{kInconsistent + "1.7", kInconsistent + "1.4"}));
  EXPECT_EQ(d, 1.4);
  EXPECT_NEAR(r.Lt, 34.74, 0.005);
  EXPECT_NEAR(r.Wt, 8.69, 0.005);
  EXPECT_NEAR(r.Wb, 0.29, 0.005);
  EXPECT_DOUBLE_EQ(r.Lt, 4.0 * r.Wt);
}

TEST(PondSize, DepthCutToNothingStops) {
  // R = 4 keeps the discriminant positive; the width only reaches 0 at a
  // depth under 0.1 m, which truncates to 0.
  KeptLines log;
  double d = 3.0;
  EXPECT_THROW(POND_SIZE(0.5, 4.0, d, 50.0, log), RunStop);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), kInconsistent + "0");
}

TEST(InitialTop, BothBasesNegativeAdjustsLengthThenWidth) {
  double topl = 10.0, topw = 5.0, R = 0.0;
  EXPECT_EQ(testing::console_of([&] { R = check_initial_top(topl, topw, 2.0, 3.0); }),
            "Incompatible initial basel - top length has been adjusted to  12 m\n"
            "Incompatible initial basew - top width has been adjusted to  12 m\n");
  EXPECT_EQ(R, 2.0);
  EXPECT_EQ(topl, 24.0);
  EXPECT_EQ(topw, 12.0);
  topl = 30.0, topw = 15.0;  // consistent: left alone
  EXPECT_EQ(testing::console_of([&] { check_initial_top(topl, topw, 2.0, 3.0); }), "");
  EXPECT_TRUE(topl == 30.0 && topw == 15.0);
}

}  // namespace
}  // namespace sitedrain::geometry
