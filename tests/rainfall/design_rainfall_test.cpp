#include "rainfall/design_rainfall.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "rainfall/rainfall_table_file.h"
#include "rainfall_test_support.h"
#include "textio/format.h"

namespace sitedrain::rainfall {
namespace {

using test::TextSink;

// ---- areal reduction factor

TEST(Arf, UnitAreaOneHour) {
  EXPECT_DOUBLE_EQ(ARF(1.0, 60), 1.0 - 0.0394);
}

struct ArfEdge {
  double area;
  double just_below;  // 60-minute factor just under the edge
  double at;          // 60-minute factor at the edge
};

class ArfAreaEdge : public ::testing::TestWithParam<ArfEdge> {};

// b changes at 100 and 1000 km^2 (a step), the exponent at 20 and 500 km^2
// (no step for a one-hour storm, where the exponent has no effect).
TEST_P(ArfAreaEdge, OneHourFactorAroundTheEdge) {
  const ArfEdge& e = GetParam();
  const double below = ARF(std::nextafter(e.area, 0.0), 60);
  const double at = ARF(e.area, 60);
  EXPECT_NEAR(below, e.just_below, 2e-6);
  EXPECT_NEAR(at, e.at, 5e-7);
  EXPECT_NEAR(at - below, e.at - e.just_below, 2e-6);
}

INSTANTIATE_TEST_SUITE_P(Edges, ArfAreaEdge,
                         ::testing::Values(ArfEdge{20.0, 0.886221, 0.886221},
                                           ArfEdge{100.0, 0.798862, 0.798039},
                                           ArfEdge{500.0, 0.696049, 0.696047},
                                           ArfEdge{1000.0, 0.637535, 0.635926}));

TEST(Arf, PracticallyContinuousAt20And500ForLongStorms) {
  for (double area : {20.0, 500.0}) {
    for (int d : {15, 360, 1440, 5760}) {
      EXPECT_NEAR(ARF(area, d), ARF(std::nextafter(area, 0.0), d), 1e-5) << area << " " << d;
    }
  }
}

TEST(Arf, NonPositiveAreaStops) {
  for (double area : {0.0, -2.0}) {
    std::string msg = test::stop_message([&] { ARF(area, 60); });
    EXPECT_NE(msg.find("areal reduction factor"), std::string::npos) << msg;
    EXPECT_NE(msg.find("above zero"), std::string::npos) << msg;
  }
}

// ---- seasonal factors

struct SeasonCase {
  double h;
  double summer, winter;
};

class SeasonalFactorAt1000 : public ::testing::TestWithParam<SeasonCase> {};

TEST_P(SeasonalFactorAt1000, MatchesTheTabulatedFactors) {
  const SeasonCase& c = GetParam();
  EXPECT_NEAR(SUMMER_FACTOR(c.h, 1000.0), c.summer, 5e-7);
  EXPECT_NEAR(WINTER_FACTOR(c.h, 1000.0), c.winter, 5e-7);
}

INSTANTIATE_TEST_SUITE_P(Hours, SeasonalFactorAt1000,
                         ::testing::Values(SeasonCase{1.0, 0.959668, 0.641522},
                                           SeasonCase{24.0, 0.947402, 0.805851}));

TEST(SeasonalDepth, DurationsOutsideOneTo24HoursUseTheEndFactors) {
  const double R = 20.0;
  EXPECT_EQ(SEASONAL_DEPTH(R, 3, 30, 1000.0), R * WINTER_FACTOR(1.0, 1000.0));
  EXPECT_EQ(SEASONAL_DEPTH(R, 2, 5, 1000.0), R * SUMMER_FACTOR(1.0, 1000.0));
  EXPECT_EQ(SEASONAL_DEPTH(R, 3, 2880, 1000.0), R * WINTER_FACTOR(24.0, 1000.0));
  EXPECT_EQ(SEASONAL_DEPTH(R, 2, 1440, 1000.0), R * SUMMER_FACTOR(24.0, 1000.0));
  EXPECT_EQ(SEASONAL_DEPTH(R, 3, 360, 1000.0), R * WINTER_FACTOR(6.0, 1000.0));
}

TEST(SeasonalDepth, SummerFactorAppliesOnlyAboveSaar500) {
  EXPECT_EQ(SEASONAL_DEPTH(20.0, 2, 60, 500.0), 20.0);
  EXPECT_EQ(SEASONAL_DEPTH(20.0, 2, 60, 500.1), 20.0 * SUMMER_FACTOR(1.0, 500.1));
  EXPECT_NE(SEASONAL_DEPTH(20.0, 2, 60, 500.1), 20.0);
  EXPECT_NE(SEASONAL_DEPTH(20.0, 3, 60, 500.0), 20.0);  // winter has no such limit
  EXPECT_EQ(SEASONAL_DEPTH(20.0, 1, 60, 1000.0), 20.0);
}

// ---- areal depth choice

TEST(ArealDepth, FactorByCtchmOnlyWithArff1) {
  Catchment c;
  c.AREA = 4.1;
  EXPECT_EQ(AREAL_DEPTH(30.0, 1, 1, 50000.0, c, 60), 30.0 * ARF(4.1, 60));
  EXPECT_EQ(AREAL_DEPTH(30.0, 1, 2, 50000.0, c, 60), 30.0 * ARF(0.05, 60));
  EXPECT_EQ(AREAL_DEPTH(30.0, 1, 3, 50000.0, c, 60), 30.0);
  EXPECT_EQ(AREAL_DEPTH(30.0, 0, 1, 50000.0, c, 60), 30.0);
  c.AREA = 0.0;  // not needed without areal reduction
  EXPECT_EQ(AREAL_DEPTH(30.0, 0, 1, 0.0, c, 60), 30.0);
}

// ---- rounding and climate change

struct RoundCase {
  double chosen, cchgfac, final_depth;
};

class FinalDepth : public ::testing::TestWithParam<RoundCase> {};

TEST_P(FinalDepth, RoundsToTenthsHalvesAwayFromZeroThenScales) {
  const RoundCase& c = GetParam();
  EXPECT_DOUBLE_EQ(FINAL_DEPTH(c.chosen, c.cchgfac), c.final_depth);
}

INSTANTIATE_TEST_SUITE_P(Values, FinalDepth,
                         ::testing::Values(RoundCase{0.25, 1.0, 0.3}, RoundCase{0.45, 1.0, 0.5},
                                           RoundCase{12.25, 1.0, 12.3}, RoundCase{-0.25, 1.0, -0.3},
                                           RoundCase{12.34, 1.2, 14.76},
                                           RoundCase{12.36, 1.0, 12.4},
                                           RoundCase{99999.0, 1.0, 99999.0}));

TEST(FinalDepth, ClimateFactorAfterRoundingGivesHundredths) {
  const double v = FINAL_DEPTH(12.34, 1.2);
  EXPECT_EQ(textio::fmt_f(v, 10, 2), "     14.76");
  EXPECT_EQ(textio::fmt_f(v, 10, 1), "      14.8");
}

// ---- the whole step

params::DesignParams storage_params(int season) {
  params::DesignParams p;
  p.ponds = 1;
  p.season = season;
  p.cchgfac = 1.0;
  return p;
}

Catchment hexham() {
  Catchment c;
  c.easting = 393500;
  c.northing = 564000;
  c.SAAR = 828;
  c.SAAR4170 = 846;
  c.AREA = 1.73;
  c.C = -0.0224;
  c.D1 = 0.379;
  c.D2 = 0.327;
  c.D3 = 0.29;
  c.E = 0.279;
  c.F = 2.431;
  return c;
}

TEST(DesignRainfall, ShortFirstDurationInASeasonalRunWarnsThreeWays) {
  for (int season : {2, 3}) {
    params::RunSetup setup;
    setup.return_periods = {10};
    setup.durations = {15, 60};
    TextSink rain, log;
    std::string console = test::console_of(
        [&] { DESIGN_RAINFALL(storage_params(season), setup, hexham(), rain, log); });
    const std::string warning =
        "WARNING: DURATIONS < 1Hour SEASONAL ADJUSTMENT CANNOT BE RELIED UPON / ADJUSTMENT";
    ASSERT_EQ(warning.size(), 81u);
    EXPECT_NE(rain.text().find(" (min.)\n" + warning + "\n    15   "), std::string::npos)
        << rain.text();
    EXPECT_EQ(log.text(), warning + "\n");
    EXPECT_EQ(console,
              "WARNING: DURATION < 1H SEASONAL ADJUSTMENT CANNOT BE RELIED UPON. - DURATION "
              "(min.) = 15\n");
  }
}

TEST(DesignRainfall, NoSeasonalWarningForAllYearOrAnHourFirst) {
  struct Case {
    int season;
    std::vector<int> durs;
  };
  for (const Case& c : {Case{1, {15, 60}}, Case{2, {60, 15}}, Case{3, {120}}}) {
    params::RunSetup setup;
    setup.return_periods = {10};
    setup.durations = c.durs;
    TextSink rain, log;
    std::string console = test::console_of(
        [&] { DESIGN_RAINFALL(storage_params(c.season), setup, hexham(), rain, log); });
    EXPECT_EQ(log.text(), "");
    EXPECT_EQ(console, "");
    EXPECT_EQ(rain.text().find("WARNING"), std::string::npos);
  }
}

TEST(DesignRainfall, StormsBeyond16DaysAreReportedPerReturnPeriodAndKeptAsPlaceholders) {
  params::DesignParams p = storage_params(1);
  params::RunSetup setup;
  setup.return_periods = {2, 100};
  setup.durations = {23040, 23041, 30000};
  TextSink rain, log;
  RainfallOutcome out;
  std::string console =
      test::console_of([&] { out = DESIGN_RAINFALL(p, setup, hexham(), rain, log); });
  const std::string msg = "ERROR - rainfall is not estimated  for storms longer than 16 days\n";
  EXPECT_EQ(console, msg + msg + msg + msg);
  EXPECT_TRUE(out.beyond_16_days);
  EXPECT_LT(out.table.at(0, 1), 1000.0);
  EXPECT_EQ(out.table.at(1, 0), 99999.0);
  EXPECT_EQ(out.table.at(2, 1), 99999.0);
  EXPECT_NE(rain.text().find("\n 23041      99999.0   99999.0\n"), std::string::npos)
      << rain.text();
}

TEST(DesignRainfall, SixteenDaysExactlyIsNoError) {
  params::RunSetup setup;
  setup.return_periods = {2};
  setup.durations = {23040};
  TextSink rain, log;
  RainfallOutcome out;
  std::string console = test::console_of(
      [&] { out = DESIGN_RAINFALL(storage_params(1), setup, hexham(), rain, log); });
  EXPECT_EQ(console, "");
  EXPECT_FALSE(out.beyond_16_days);
}

TEST(RainfallTableHead, LabelOfEachSeason) {
  Catchment c;
  c.easting = 1234567;
  c.northing = 44800;
  const int rps[] = {2};
  struct Case {
    int season;
    const char* first_line;
  };
  for (const Case& k : {Case{1, "Rainfall depth (mm) at Nat. Grid Ref.   1234567   44800"},
                        Case{2, "Summer rainfall depth (mm) at Nat. Grid 1234567   44800"},
                        Case{3, "Winter rainfall depth (mm) at Nat. Grid 1234567   44800"}}) {
    TextSink out;
    WRITE_RAINFALL_TABLE_HEAD(k.season, c, 1.0, rps, out);
    EXPECT_EQ(out.text().substr(0, out.text().find('\n')), k.first_line);
  }
}

TEST(DesignRainfall, GreenfieldOnlyRunWritesTheHeadOnly) {
  params::DesignParams p;
  p.grnff = 1;
  p.season = 1;
  p.cchgfac = 1.0;
  p.arff = 1;
  p.ctchm = 1;
  params::RunSetup setup;
  setup.return_periods = {30, 100};
  setup.durations = {60};
  Catchment c;  // no model parameters, no AREA: nothing is computed
  TextSink rain, log;
  RainfallOutcome out = DESIGN_RAINFALL(p, setup, c, rain, log);
  EXPECT_EQ(out.table.nrp, 0);
  EXPECT_TRUE(out.table.v.empty());
  EXPECT_EQ(rain.text().substr(rain.text().size() - 8), " (min.)\n");
}

}  // namespace
}  // namespace sitedrain::rainfall
