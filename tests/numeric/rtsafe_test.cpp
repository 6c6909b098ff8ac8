#include "numeric/rtsafe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "textio/console.h"

namespace sitedrain::numeric {
namespace {

TEST(Rtsafe, GreatestDepthForTheSizingQuadratic) {
  // V = 50, b = 3, K = 2: root (4 * 50 / (9 * (16/3 - 4)))^(1/3).
  const double expected = std::cbrt(4.0 * 50.0 / (9.0 * (16.0 / 3.0 - 4.0)));
  const double x = RTSAFE(50.0, 3.0, 2.0, 0.0, 3.0, 1.0e-6);
  EXPECT_NEAR(x, 2.554, 0.0005);
  EXPECT_NEAR(x, expected, 1.0e-6);
}

TEST(Rtsafe, RootAtABracketEndIsReturnedAsIs) {
  // V = 0: f(0) = 0.
  EXPECT_EQ(RTSAFE(0.0, 3.0, 2.0, 0.0, 3.0, 1.0e-6), 0.0);
  int ok = -1;
  // S = 0: f(x1) = 0.
  EXPECT_EQ(RTSAFE1(0.0, 0.0, 5.0, 5.0, 0.0, 10.0, 1.0e-9, ok), 0.0);
  EXPECT_EQ(ok, 1);
  // A 5 by 5 cuboid holds 100 at 4: f(x2) = 0.
  EXPECT_EQ(RTSAFE1(100.0, 0.0, 5.0, 5.0, 1.0, 4.0, 1.0e-9, ok), 4.0);
  EXPECT_EQ(ok, 1);
}

TEST(Rtsafe1, WaterDepthOfAStoredVolume) {
  int ok = -1;
  EXPECT_NEAR(RTSAFE1(100.0, 0.0, 5.0, 5.0, 0.0, 10.0, 1.0e-9, ok), 4.0, 1.0e-9);
  EXPECT_EQ(ok, 1);
  // Sloping sides: the returned depth holds the volume.
  const double x = RTSAFE1(250.0, 3.0, 8.0, 4.0, 0.0, 3.0, 1.0e-9, ok);
  EXPECT_EQ(ok, 1);
  double f, df;
  FUNCD1(250.0, 3.0, 8.0, 4.0, x, f, df);
  EXPECT_LT(std::fabs(f), df * 1.0e-9);
}

TEST(Rtsafe1, VolumeBeyondTheFullDepthIsNotBracketed) {
  int ok = -1;
  RTSAFE1(101.0, 0.0, 5.0, 5.0, 0.0, 4.0, 1.0e-9, ok);
  EXPECT_EQ(ok, 0);
}

TEST(Rtsafe, MissingBracketPausesAndCarriesOn) {
  // Both ends of f = -12 x^3 + 4 V positive on [0, 1] for V = 10.
  std::FILE* in = std::freopen("/dev/null", "r", stdin);
  ASSERT_NE(in, nullptr);
  ::testing::internal::CaptureStdout();
  const double x = RTSAFE(10.0, 3.0, 2.0, 0.0, 1.0, 1.0e-6);
  console::flush();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("root must be bracketed in rtsafe\n", 0), 0u) << out;
  EXPECT_TRUE(std::isfinite(x));
}

TEST(Funcd, ValuesAndDerivatives) {
  double f, df;
  FUNCD(50.0, 3.0, 2.0, 0.0, f, df);
  EXPECT_EQ(f, 200.0);
  EXPECT_EQ(df, 0.0);
  FUNCD1(10.0, 2.0, 3.0, 4.0, 1.0, f, df);
  // 4/3 * 4 + 2 * 7 + 12 - 10 and the plan area (3 + 4)(4 + 4).
  EXPECT_NEAR(f, 16.0 / 3.0 + 16.0, 1e-12);
  EXPECT_EQ(df, 7.0 * 8.0);
}

}  // namespace
}  // namespace sitedrain::numeric
