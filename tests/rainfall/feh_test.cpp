#include "rainfall/feh.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sitedrain::rainfall {
namespace {

// Parameters of a catchment near Carlisle.
constexpr double C = -0.0222, D1 = 0.385, D2 = 0.331, D3 = 0.294, E = 0.278, F = 2.418;

double depth(int rp, int duration) { return FEHRAIN(C, D1, D2, D3, E, F, rp, duration); }

TEST(Fehrain, ReducedVariates) {
  // A 1-year period becomes 1.5819767... years before the variate, giving 0.
  const struct {
    int rp;
    double y;
  } cases[] = {{1, 0.0}, {2, 0.36651292058166435}, {30, 3.3842944934992527},
               {100, 4.600149226776579}};
  for (const auto& c : cases) EXPECT_NEAR(REDUCED_VARIATE(c.rp), c.y, 1e-15) << c.rp;
  for (int rp : {2, 30, 100})
    EXPECT_NEAR(depth(rp, 60), std::exp(E * REDUCED_VARIATE(rp) + F), 1e-12) << rp;
}

TEST(Fehrain, SegmentsMeetAt12And48Hours) {
  // Slope of ln R against ln h between two durations (minutes).
  auto slope = [](int rp, int d1, int d2) {
    return (std::log(depth(rp, d2)) - std::log(depth(rp, d1))) /
           (std::log(d2 / 60.0) - std::log(d1 / 60.0));
  };
  for (int rp : {1, 2, 30, 100}) {
    const double Cy = C * REDUCED_VARIATE(rp);
    EXPECT_NEAR(slope(rp, 719, 720), Cy + D1, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 720, 721), Cy + D2, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 2879, 2880), Cy + D2, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 2880, 2881), Cy + D3, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 60, 720), Cy + D1, 1e-12) << rp;  // no jump at the joins
    EXPECT_NEAR(slope(rp, 720, 2880), Cy + D2, 1e-12) << rp;
    EXPECT_NEAR(slope(rp, 2880, 23040), Cy + D3, 1e-12) << rp;
  }
}

TEST(Fehrain, SixteenDaysIsTheLastModelledDuration) {
  EXPECT_LT(depth(100, 23040), 1000.0);
  EXPECT_GT(depth(100, 23040), depth(100, 23039));
  EXPECT_EQ(depth(100, 23041), 99999.0);
  EXPECT_EQ(depth(2, 40000), kBeyondModelDepth);
}

}  // namespace
}  // namespace sitedrain::rainfall
