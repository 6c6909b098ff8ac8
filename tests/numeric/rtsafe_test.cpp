#include "numeric/rtsafe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "support/capture.h"

namespace sitedrain::numeric {
namespace {

TEST(Rtsafe, GreatestDepthForTheSizingQuadratic) {
  // V = 50, b = 3, K = 2: root (4 * 50 / (9 * (16/3 - 4)))^(1/3).
  const double x = RTSAFE(50.0, 3.0, 2.0, 0.0, 3.0, 1.0e-6);
  EXPECT_NEAR(x, 2.554, 0.0005);
  EXPECT_NEAR(x, std::cbrt(4.0 * 50.0 / (9.0 * (16.0 / 3.0 - 4.0))), 1.0e-6);
  // No bracket: a warning, a pause, and the search carries on.
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  double y = 0.0;
  const std::string out = testing::console_of([&] { y = RTSAFE(10.0, 3.0, 2.0, 0.0, 1.0, 1.0e-6); });
  EXPECT_EQ(out.rfind("root must be bracketed in rtsafe\n", 0), 0u) << out;
  EXPECT_TRUE(std::isfinite(y));
}

TEST(Rtsafe1, WaterDepthOfAStoredVolume) {
  int ok = -1;
  EXPECT_NEAR(RTSAFE1(100.0, 0.0, 5.0, 5.0, 0.0, 10.0, 1.0e-9, ok), 4.0, 1.0e-9);
  EXPECT_EQ(ok, 1);
  const double x = RTSAFE1(250.0, 3.0, 8.0, 4.0, 0.0, 3.0, 1.0e-9, ok);  // sloping sides
  EXPECT_EQ(ok, 1);
  double f, df;
  FUNCD1(250.0, 3.0, 8.0, 4.0, x, f, df);
  EXPECT_LT(std::fabs(f), df * 1.0e-9);
  RTSAFE1(101.0, 0.0, 5.0, 5.0, 0.0, 4.0, 1.0e-9, ok);  // beyond the full depth
  EXPECT_EQ(ok, 0);
}

TEST(Rtsafe, RootAtABracketEndIsReturnedAsIs) {
  EXPECT_EQ(RTSAFE(0.0, 3.0, 2.0, 0.0, 3.0, 1.0e-6), 0.0);  // V = 0: f(0) = 0
  int ok = -1;
  EXPECT_EQ(RTSAFE1(0.0, 0.0, 5.0, 5.0, 0.0, 10.0, 1.0e-9, ok), 0.0);  // f(x1) = 0
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(RTSAFE1(100.0, 0.0, 5.0, 5.0, 1.0, 4.0, 1.0e-9, ok), 4.0);  // f(x2) = 0
  EXPECT_EQ(ok, 1);
}

}  // namespace
}  // namespace sitedrain::numeric
