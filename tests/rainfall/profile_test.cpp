#include "rainfall/profile.h"

#include <gtest/gtest.h>

namespace sitedrain::rainfall {
namespace {

TEST(StormProfile, PeakEndsSymmetryAndMean) {
  const struct {
    int strmprf;
    double peak;    // at x = 0.5
    double end;     // at x = 0 and 1
    double mean12;  // mean of the values at the ends of 12 equal steps
  } cases[] = {{1, 1.0, 1.0, 1.0},
               {2, 2.4558977567659706, 0.29611182448559603, 1.00050},
               {3, 3.736372274089334, 0.2476931618077834, 1.01066}};
  for (const auto& c : cases) {
    const int s = c.strmprf;
    EXPECT_DOUBLE_EQ(PROFILE(s, 0.5), c.peak) << s;
    EXPECT_DOUBLE_EQ(PROFILE(s, 0.0), c.end) << s;
    EXPECT_DOUBLE_EQ(PROFILE(s, 1.0), c.end) << s;
    EXPECT_EQ(PROFILE(s, 0.45) < c.peak, s != 1) << s;
    for (double u : {0.01, 0.1, 0.125, 0.25, 0.3, 0.4999})
      EXPECT_DOUBLE_EQ(PROFILE(s, 0.5 - u), PROFILE(s, 0.5 + u)) << s << " " << u;
    double sum = 0.0;
    for (int k = 1; k <= 12; ++k) sum += PROFILE(s, k / 12.0);
    EXPECT_NEAR(sum / 12.0, c.mean12, 5e-6) << s;
  }
}

}  // namespace
}  // namespace sitedrain::rainfall
