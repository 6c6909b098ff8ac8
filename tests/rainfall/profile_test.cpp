#include "rainfall/profile.h"

#include <gtest/gtest.h>

namespace sitedrain::rainfall {
namespace {

struct ProfileCase {
  int strmprf;
  double peak;    // at x = 0.5
  double end;     // at x = 0 and 1
  double mean12;  // mean of the values at the ends of 12 equal steps
};

class StormProfile : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(StormProfile, PeakAtTheCentre) {
  EXPECT_DOUBLE_EQ(PROFILE(GetParam().strmprf, 0.5), GetParam().peak);
  if (GetParam().strmprf == 1) return;
  EXPECT_LT(PROFILE(GetParam().strmprf, 0.45), GetParam().peak);
  EXPECT_LT(PROFILE(GetParam().strmprf, 0.55), GetParam().peak);
}

TEST_P(StormProfile, EndValues) {
  EXPECT_DOUBLE_EQ(PROFILE(GetParam().strmprf, 0.0), GetParam().end);
  EXPECT_DOUBLE_EQ(PROFILE(GetParam().strmprf, 1.0), GetParam().end);
}

TEST_P(StormProfile, SymmetricAboutTheCentre) {
  const int s = GetParam().strmprf;
  for (double u : {0.01, 0.1, 0.125, 0.25, 0.3, 0.4999, 0.5})
    EXPECT_DOUBLE_EQ(PROFILE(s, 0.5 - u), PROFILE(s, 0.5 + u)) << u;
}

TEST_P(StormProfile, MeanOfTwelveStepEndSamples) {
  double sum = 0.0;
  for (int k = 1; k <= 12; ++k) sum += PROFILE(GetParam().strmprf, k / 12.0);
  EXPECT_NEAR(sum / 12.0, GetParam().mean12, 5e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, StormProfile,
    ::testing::Values(ProfileCase{1, 1.0, 1.0, 1.0},
                      ProfileCase{2, 2.4558977567659706, 0.29611182448559603, 1.00050},
                      ProfileCase{3, 3.736372274089334, 0.2476931618077834, 1.01066}),
    [](const auto& info) { return "strmprf" + std::to_string(info.param.strmprf); });

TEST(StormProfileShapes, UnnormalisedPeaksAndDivisors) {
  EXPECT_DOUBLE_EQ(SUMMER50(0.5), 3.792417858200674);
  EXPECT_DOUBLE_EQ(WINTER75(0.5), 2.467686065998447);
  EXPECT_DOUBLE_EQ(PROFILE(3, 0.3), SUMMER50(0.3) / 1.015);
  EXPECT_DOUBLE_EQ(PROFILE(2, 0.3), WINTER75(0.3) / 1.0048);
}

TEST(StormProfileShapes, UniformEverywhere) {
  for (double x : {0.0, 0.2, 0.5, 0.77, 1.0}) EXPECT_EQ(PROFILE(1, x), 1.0);
}

}  // namespace
}  // namespace sitedrain::rainfall
