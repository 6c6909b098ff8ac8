#include "geometry/basin.h"

#include <gtest/gtest.h>

#include <string>

#include "geometry/log_capture.h"
#include "numeric/rtsafe.h"
#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::geometry {
namespace {

using sitedrain::testing::KeptLines;

const char* const kMaxdepthText =
    "Maxdepth too large for volume               - maxdepth reduced to  ";
const char* const kInconsistentText =
    "Dimensions inconsistent with volume               - depth has been reduced to  ";

TEST(BasinShape, AreaAndVolumeAgreeWithTheCubicOfTheWaterDepth) {
  EXPECT_EQ(AREATOP(0.0, 3.0, 10.0, 5.0), 50.0);
  EXPECT_DOUBLE_EQ(AREATOP(1.0, 3.0, 10.0, 5.0), 16.0 * 11.0);
  // Vertical sides: a cuboid.
  EXPECT_DOUBLE_EQ(PONDVOLBASE(2.0, 0.0, 5.0, 10.0), 100.0);
  // The prismoidal rule is exact for this shape: it matches the volume whose
  // derivative is the plan area (FUNCD1 with S = 0).
  for (double d : {0.3, 1.0, 2.5}) {
    double f, df;
    numeric::FUNCD1(0.0, 3.0, 7.0, 4.0, d, f, df);
    EXPECT_NEAR(PONDVOLBASE(d, 3.0, 4.0, 7.0), f, 1e-9 * f);
    EXPECT_NEAR(AREATOP(d, 3.0, 7.0, 4.0), df, 1e-12 * df);
  }
}

TEST(PondSize, VerticalSidesNeedNoReduction) {
  KeptLines log;
  double d = 2.0;
  PondDims r = POND_SIZE(100.0, 1.0, d, 0.0, log);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(d, 2.0);
  EXPECT_DOUBLE_EQ(r.At, 50.0);
  EXPECT_EQ(r.Lb, r.Lt);
  EXPECT_EQ(r.Wb, r.Wt);
  EXPECT_DOUBLE_EQ(r.Vchk, 100.0);
}

TEST(PondSize, SquareBasinThatFits) {
  KeptLines log;
  double d = 2.0;
  PondDims r = POND_SIZE(1000.0, 1.0, d, 3.0, log);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(d, 2.0);
  EXPECT_NEAR(r.At, 789.09, 0.005);
  EXPECT_NEAR(r.Lt, 28.09, 0.005);
  EXPECT_EQ(r.Lt, r.Wt);
  EXPECT_NEAR(r.Lb, 16.09, 0.005);
  EXPECT_DOUBLE_EQ(r.Vchk, 1000.0);
  EXPECT_DOUBLE_EQ(r.Ab2, r.Ab);
  EXPECT_NEAR(r.Vchk, PONDVOLBASE(d, 3.0, r.Wb, r.Lb), 1e-9);
}

TEST(PondSize, TooDeepThenInconsistentWritesBothRecords) {
  KeptLines log;
  double d = 3.0;
  PondDims r = POND_SIZE(50.0, 1.0, d, 3.0, log);
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], std::string(kMaxdepthText) + "2.2");
  EXPECT_EQ(log.lines[1], std::string(kInconsistentText) + "1.5");
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
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], std::string(kInconsistentText) + "1.7");
  EXPECT_EQ(log.lines[1], std::string(kInconsistentText) + "1.4");
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
  EXPECT_EQ(log.lines.back(), std::string(kInconsistentText) + "0");
}

TEST(InitialTop, BothBasesNegativeAdjustsLengthThenWidth) {
  double topl = 10.0, topw = 5.0;
  ::testing::internal::CaptureStdout();
  const double R = check_initial_top(topl, topw, 2.0, 3.0);
  console::flush();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(R, 2.0);
  EXPECT_EQ(topl, 24.0);
  EXPECT_EQ(topw, 12.0);
  EXPECT_EQ(out,
            "Incompatible initial basel - top length has been adjusted to  12 m\n"
            "Incompatible initial basew - top width has been adjusted to  12 m\n");
}

TEST(InitialTop, ConsistentTopIsLeftAlone) {
  double topl = 30.0, topw = 15.0;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(check_initial_top(topl, topw, 2.0, 3.0), 2.0);
  console::flush();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(topl, 30.0);
  EXPECT_EQ(topw, 15.0);
}

}  // namespace
}  // namespace sitedrain::geometry
