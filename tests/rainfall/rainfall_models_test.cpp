// The short-storm and depth-duration-frequency rainfall models.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "rainfall/feh.h"
#include "rainfall/fsr.h"
#include "rainfall/profile.h"
#include "rainfall/seasonal_factor.h"

namespace sitedrain::rainfall {
namespace {

constexpr std::array<double, 11> kM5 = {0.5, 2, 5, 10, 15, 20, 25, 30, 40, 50, 75};
constexpr std::array<double, 10> kT = {0.5, 1, 2, 5, 10, 20, 50, 100, 1000, 10000};
constexpr std::array<double, 110> kGrowth = {
    0.52, 0.67, 0.76, 1.0, 1.14, 1.30, 1.51, 1.70, 2.52, 3.76,  //
    0.49, 0.65, 0.74, 1.0, 1.16, 1.32, 1.53, 1.74, 2.60, 3.94,  //
    0.45, 0.62, 0.72, 1.0, 1.18, 1.35, 1.56, 1.79, 2.75, 4.28,  //
    0.43, 0.61, 0.70, 1.0, 1.21, 1.41, 1.65, 1.91, 3.09, 5.01,  //
    0.46, 0.62, 0.70, 1.0, 1.23, 1.44, 1.70, 1.99, 3.32, 5.54,  //
    0.50, 0.64, 0.72, 1.0, 1.23, 1.45, 1.73, 2.03, 3.43, 5.80,  //
    0.52, 0.66, 0.73, 1.0, 1.22, 1.43, 1.72, 2.01, 3.37, 5.67,  //
    0.54, 0.68, 0.75, 1.0, 1.21, 1.41, 1.70, 1.97, 3.27, 5.41,  //
    0.56, 0.70, 0.77, 1.0, 1.18, 1.37, 1.64, 1.89, 3.03, 4.86,  //
    0.58, 0.72, 0.79, 1.0, 1.16, 1.33, 1.58, 1.81, 2.81, 4.36,  //
    0.63, 0.76, 0.81, 1.0, 1.13, 1.27, 1.47, 1.64, 2.37, 3.43,  //
};

TEST(Profile, PeaksEndsAndSymmetry) {
  EXPECT_EQ(profile_factor(params::StormProfile::summer50, 0.5), 3.792417858200674 / 1.015);
  EXPECT_DOUBLE_EQ(profile_factor(params::StormProfile::winter75, 0.5), 2.4558977567659706);
  for (double x : {0.0, 1.0}) {
    EXPECT_DOUBLE_EQ(profile_factor(params::StormProfile::summer50, x), 0.2476931618077834);
    EXPECT_DOUBLE_EQ(profile_factor(params::StormProfile::winter75, x), 0.29611182448559603);
  }
  for (double u : {0.05, 0.125, 0.3, 0.5}) {
    EXPECT_EQ(profile_factor(params::StormProfile::uniform, 0.5 + u), 1.0);
    for (auto s : {params::StormProfile::winter75, params::StormProfile::summer50})
      EXPECT_NEAR(profile_factor(s, 0.5 - u), profile_factor(s, 0.5 + u), 1e-12) << u;
  }
}

TEST(SeasonalFactors, OneAndTwentyFourHoursAtSaar1000) {
  EXPECT_NEAR(summer_factor(1.0, 1000.0), 0.959668, 5e-7);
  EXPECT_NEAR(winter_factor(1.0, 1000.0), 0.641522, 5e-7);
  EXPECT_NEAR(summer_factor(24.0, 1000.0), 0.947402, 5e-7);
  EXPECT_NEAR(winter_factor(24.0, 1000.0), 0.805851, 5e-7);
}

// The bicubic spline reproduces the growth table at its knots exactly.
TEST(FsrGrowthFactor, TableValuesAndBeyond) {
  for (std::size_t j = 0; j < kM5.size(); ++j)
    for (std::size_t k = 0; k < kT.size(); ++k)
      EXPECT_EQ(fsr_growth_factor(kM5[j], kT[k]), kGrowth[j * kT.size() + k])
          << "M5 " << kM5[j] << " T " << kT[k];
  // Beyond the table the end cubics carry on: no clamping.
  EXPECT_GT(fsr_growth_factor(10.0, 20000.0), 5.01 + 0.1);
  EXPECT_NE(fsr_growth_factor(100.0, 100.0), 1.64);
}

TEST(Fsrainfall, M5DepthByBandAndDuration) {
  // The M5 depth of a storm of h hours is a h / (1 + b h)^n; each band's
  // lower SAAR limit belongs to it.
  const struct {
    double saar, a, b, n;
  } bands[] = {{0.0, 170, 15, 0.78},    {599.9, 170, 15, 0.78},  {600.0, 165, 15, 0.75},
               {799.9, 165, 15, 0.75},  {800.0, 160, 20, 0.70},  {999.9, 160, 20, 0.70},
               {1000.0, 150, 25, 0.64}, {1399.9, 150, 25, 0.64}, {1400.0, 145, 30, 0.60},
               {1999.9, 145, 30, 0.60}, {2000.0, 145, 35, 0.54}, {2799.9, 145, 35, 0.54},
               {2800.0, 145, 40, 0.47}, {3999.9, 145, 40, 0.47}, {4000.0, 145, 45, 0.44},
               {9000.0, 145, 45, 0.44}};
  double depth, m5, growth;
  for (const auto& c : bands) {
    fsr_rainfall(c.saar, 10, 60, depth, m5, growth);
    EXPECT_DOUBLE_EQ(m5, c.a / std::pow(1.0 + c.b, c.n)) << c.saar;
    EXPECT_DOUBLE_EQ(depth, m5 * growth);
  }
  fsr_rainfall(740.0, 5, 15, depth, m5, growth);
  EXPECT_NEAR(m5, 165.0 / std::pow(4.75, 0.75) * 0.25, 1e-12);  // 12.8205
  EXPECT_NEAR(depth, m5, 1e-13);                                // five years: the M5 depth itself
}

// Parameters of a catchment near Carlisle.
constexpr double C = -0.0222, D1 = 0.385, D2 = 0.331, D3 = 0.294, E = 0.278, F = 2.418;

double depth(int rp, int duration) {
  return feh99_depth(C, D1, D2, D3, E, F, rp, duration);
}

TEST(Fehrain, ReducedVariates) {
  // A 1-year period becomes 1.5819767... years before the variate, giving 0.
  const struct {
    int rp;
    double y;
  } cases[] = {
      {1, 0.0}, {2, 0.36651292058166435}, {30, 3.3842944934992527}, {100, 4.600149226776579}};
  for (const auto& c : cases) EXPECT_NEAR(reduced_variate(c.rp), c.y, 1e-15) << c.rp;
  for (int rp : {2, 30, 100})
    EXPECT_NEAR(depth(rp, 60), std::exp(E * reduced_variate(rp) + F), 1e-12) << rp;
}

TEST(Fehrain, SegmentsMeetAt12And48Hours) {
  // Slope of ln R against ln h between two durations (minutes).
  auto slope = [](int rp, int d1, int d2) {
    return (std::log(depth(rp, d2)) - std::log(depth(rp, d1))) /
           (std::log(d2 / 60.0) - std::log(d1 / 60.0));
  };
  for (int rp : {1, 2, 30, 100}) {
    const double Cy = C * reduced_variate(rp);
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
