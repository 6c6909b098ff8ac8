#include "rainfall/feh.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sitedrain::rainfall {
namespace {

// Parameters of a catchment near Carlisle.
constexpr double C = -0.0222, D1 = 0.385, D2 = 0.331, D3 = 0.294, E = 0.278, F = 2.418;

double depth(int rp, int duration) {
  return FEHRAIN(C, D1, D2, D3, E, F, rp, duration);
}

struct VariateCase {
  int rp;
  double y;
};

class ReducedVariate : public ::testing::TestWithParam<VariateCase> {};

TEST_P(ReducedVariate, MatchesTheGumbelValue) {
  EXPECT_NEAR(REDUCED_VARIATE(GetParam().rp), GetParam().y, 1e-15);
}

// A 1-year period becomes 1.5819767... years before the variate, giving 0;
// 2 years is not converted.
INSTANTIATE_TEST_SUITE_P(ReturnPeriods, ReducedVariate,
                         ::testing::Values(VariateCase{1, 0.0}, VariateCase{2, 0.36651292058166435},
                                           VariateCase{30, 3.3842944934992527},
                                           VariateCase{100, 4.600149226776579}));

TEST(Fehrain, OneHourDepthIsExpOfEyPlusF) {
  for (int rp : {2, 30, 100}) {
    const double y = REDUCED_VARIATE(rp);
    EXPECT_NEAR(depth(rp, 60), std::exp(E * y + F), 1e-12) << rp;
  }
}

TEST(Fehrain, OneYearDepthUsesD1AndFOnly) {
  EXPECT_NEAR(depth(1, 60), std::exp(F), 1e-12);
  EXPECT_NEAR(depth(1, 360), std::exp(D1 * std::log(6.0) + F), 1e-12);
}

// Slope of ln R against ln h between two durations (minutes).
double slope(int rp, int d1, int d2) {
  return (std::log(depth(rp, d2)) - std::log(depth(rp, d1))) /
         (std::log(d2 / 60.0) - std::log(d1 / 60.0));
}

TEST(Fehrain, SegmentsMeetAt12And48Hours) {
  for (int rp : {1, 2, 30, 100}) {
    const double Cy = C * REDUCED_VARIATE(rp);
    // 720 min closes the first segment, 2880 min the second: each joins the
    // neighbouring segment with no jump.
    EXPECT_NEAR(slope(rp, 719, 720), Cy + D1, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 720, 721), Cy + D2, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 2879, 2880), Cy + D2, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 2880, 2881), Cy + D3, 1e-8) << rp;
    EXPECT_NEAR(slope(rp, 60, 720), Cy + D1, 1e-12) << rp;
    EXPECT_NEAR(slope(rp, 720, 2880), Cy + D2, 1e-12) << rp;
    EXPECT_NEAR(slope(rp, 2880, 23040), Cy + D3, 1e-12) << rp;
  }
}

TEST(Fehrain, SixteenDaysIsTheLastModelledDuration) {
  const double at_limit = depth(100, 23040);
  EXPECT_LT(at_limit, 1000.0);
  EXPECT_GT(at_limit, depth(100, 23039));
  EXPECT_EQ(depth(100, 23041), 99999.0);
  EXPECT_EQ(depth(2, 40000), kBeyondModelDepth);
}

}  // namespace
}  // namespace sitedrain::rainfall
