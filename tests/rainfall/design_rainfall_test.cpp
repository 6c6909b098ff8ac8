#include "rainfall/design_rainfall.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "rainfall/rainfall_table_file.h"
#include "support/capture.h"

namespace sitedrain::rainfall {
namespace {

constexpr auto all_year = params::Season::all_year;
constexpr auto summer = params::Season::summer;
constexpr auto winter = params::Season::winter;

using testing::console_of;
using testing::KeptLines;

TEST(Arf, OneHourFactorAroundTheAreaEdges) {
  EXPECT_DOUBLE_EQ(areal_reduction_factor(1.0, 60), 1.0 - 0.0394);
  // b steps at 100 and 1000 km^2; the exponent changes at 20 and 500 km^2,
  // which a one-hour storm does not feel.
  const struct {
    double area, just_below, at;
  } edges[] = {{20.0, 0.886221, 0.886221},
               {100.0, 0.798862, 0.798039},
               {500.0, 0.696049, 0.696047},
               {1000.0, 0.637535, 0.635926}};
  for (const auto& e : edges) {
    const double below = areal_reduction_factor(std::nextafter(e.area, 0.0), 60),
                 at = areal_reduction_factor(e.area, 60);
    EXPECT_NEAR(below, e.just_below, 2e-6) << e.area;
    EXPECT_NEAR(at, e.at, 5e-7) << e.area;
    EXPECT_NEAR(at - below, e.at - e.just_below, 2e-6) << e.area;
  }
  for (double area : {20.0, 500.0})  // practically continuous for other durations
    for (int d : {15, 360, 1440, 5760})
      EXPECT_NEAR(areal_reduction_factor(area, d),
                  areal_reduction_factor(std::nextafter(area, 0.0), d), 1e-5)
          << area << " " << d;
  for (double area : {0.0, -2.0}) {
    std::string msg = testing::stop_output([&] { areal_reduction_factor(area, 60); });
    EXPECT_NE(msg.find("areal reduction factor"), std::string::npos) << msg;
    EXPECT_NE(msg.find("above zero"), std::string::npos) << msg;
  }
}

TEST(SeasonalDepth, FactorsAndTheirLimits) {
  const double R = 20.0;  // hours outside 1..24 use the end factors
  EXPECT_EQ(seasonal_depth(R, winter, 30, 1000.0), R * winter_factor(1.0, 1000.0));
  EXPECT_EQ(seasonal_depth(R, summer, 5, 1000.0), R * summer_factor(1.0, 1000.0));
  EXPECT_EQ(seasonal_depth(R, winter, 2880, 1000.0), R * winter_factor(24.0, 1000.0));
  EXPECT_EQ(seasonal_depth(R, summer, 1440, 1000.0), R * summer_factor(24.0, 1000.0));
  EXPECT_EQ(seasonal_depth(R, winter, 360, 1000.0), R * winter_factor(6.0, 1000.0));
  // The summer factor applies only above SAAR 500; winter has no such limit.
  EXPECT_EQ(seasonal_depth(R, summer, 60, 500.0), R);
  EXPECT_EQ(seasonal_depth(R, summer, 60, 500.1), R * summer_factor(1.0, 500.1));
  EXPECT_NE(seasonal_depth(R, summer, 60, 500.1), R);
  EXPECT_NE(seasonal_depth(R, winter, 60, 500.0), R);
  EXPECT_EQ(seasonal_depth(R, all_year, 60, 1000.0), R);
}

TEST(FinalDepth, RoundsToTenthsHalvesAwayFromZeroThenScales) {
  const struct {
    double chosen, cchgfac, final_depth;
  } cases[] = {{0.25, 1.0, 0.3},    {0.45, 1.0, 0.5},   {12.25, 1.0, 12.3},     {-0.25, 1.0, -0.3},
               {12.34, 1.2, 14.76}, {12.36, 1.0, 12.4}, {99999.0, 1.0, 99999.0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(final_depth(c.chosen, c.cchgfac), c.final_depth);
}

// The bundled cases show the warning of a seasonal run starting at 15 min.
TEST(DesignRainfall, SeasonalWarningOnlyForAShortFirstDuration) {
  params::DesignParams p;
  p.design_pond = 1, p.season_code = 2, p.climate_change_factor = 1.0;
  params::RunSetup setup;
  setup.return_periods = {10}, setup.durations = {60, 15};
  const Catchment c{.SAAR4170 = 846,
                    .SAAR = 828,
                    .AREA = 1.73,
                    .C = -0.0224,
                    .D1 = 0.379,
                    .D2 = 0.327,
                    .D3 = 0.29,
                    .E = 0.279,
                    .F = 2.431};
  KeptLines rain, log;
  EXPECT_EQ(console_of([&] { design_rainfall(p, setup, c, rain, log); }), "");
  EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace sitedrain::rainfall
