// Basin sizing, rounding and the orifice discharge coefficients.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "geometry/basin.h"
#include "geometry/orifice.h"
#include "numeric/rounding.h"
#include "support/capture.h"

namespace sitedrain::geometry {
namespace {

using numeric::round_places;
using testing::KeptLines;

const std::string kMaxdepth = "Maxdepth too large for volume               - maxdepth reduced to  ";
const std::string kInconsistent =
    "Dimensions inconsistent with volume               - depth has been reduced to  ";

TEST(Rotn, TruncatesOrRoundsHalvesAwayFromZero) {
  const struct {
    double x;
    int places, round;
    double expected;
  } cases[] = {{2.25, 1, 0, 2.2},   {-2.25, 1, 0, -2.2}, {2.2986, 1, 0, 2.2},
               {0.09, 1, 0, 0.0},   {-7.9, 0, 0, -7.0},  {2.25, 1, 1, 2.3},
               {-2.25, 1, 1, -2.3}, {0.4999, 0, 1, 0.0}, {-0.4999, 0, 1, 0.0},
               {2.5, 0, 1, 3.0},    {-2.5, 0, 1, -3.0},  {1234.5678, 2, 1, 1234.57}};
  for (const auto& c : cases)
    EXPECT_EQ(round_places(c.x, c.places, c.round), c.expected)
        << c.x << " " << c.places << c.round;
}

TEST(PondSize, TooDeepThenInconsistentWritesBothRecords) {
  KeptLines log;
  double d = 3.0;
  PondDims r = size_pond(50.0, 1.0, d, 3.0, log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{kMaxdepth + "2.2", kInconsistent + "1.5"}));
  EXPECT_EQ(d, 1.5);
  EXPECT_NEAR(r.At, 93.24, 0.005);
  EXPECT_NEAR(r.Lb, 0.656, 0.0005);
  EXPECT_EQ(r.Lb, r.Wb);
  EXPECT_NEAR(r.Vchk, 50.0, 1e-9);
}

TEST(PondSize, LongRatioReducesTwiceOnTheWidth) {
  KeptLines log;
  double d = 3.0;
  PondDims r = size_pond(200.0, 4.0, d, 3.0, log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{kInconsistent + "1.7", kInconsistent + "1.4"}));
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
  EXPECT_THROW(size_pond(0.5, 4.0, d, 50.0, log), RunStop);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), kInconsistent + "0");
}

TEST(InitialTop, BothBasesNegativeAdjustsLengthThenWidth) {
  double topl = 10.0, topw = 5.0, R = 0.0;
  EXPECT_EQ(testing::console_of([&] { R = check_initial_top(topl, topw, 2.0, 3.0); }),
            "Incompatible initial basel - top length has been adjusted to  12 m\n"
            "Incompatible initial basew - top width has been adjusted to  12 m\n");
  EXPECT_EQ(R, 2.0);
  EXPECT_EQ(topl, 24.0);
  EXPECT_EQ(topw, 12.0);
  topl = 30.0, topw = 15.0;  // consistent: left alone
  EXPECT_EQ(testing::console_of([&] { check_initial_top(topl, topw, 2.0, 3.0); }), "");
  EXPECT_TRUE(topl == 30.0 && topw == 15.0);
}

// A value run found that a batter of 1e300 made every dimension NaN and the
// depth reductions endless; an infinite volume does likewise.
TEST(PondSizeDomain, NoFiniteDimensionsStopTheRun) {
  struct Case {
    double V, b;
    const char* message;
  };
  const Case cases[] = {
      {500.0, 1e300,
       "Storage cannot be sized: a volume of 500 m^3 with batter 1e+300 and depth 1.5 m gives no "
       "finite dimensions\n"},
      {std::numeric_limits<double>::infinity(), 3.0,
       "Storage cannot be sized: a volume of inf m^3 with batter 3 and depth 1.5 m gives no "
       "finite dimensions\n"},
  };
  for (const Case& c : cases) {
    testing::KeptLines log;
    double d = 1.5;
    EXPECT_EQ(testing::stop_output([&] { size_pond(c.V, 2.0, d, c.b, log); }), c.message);
  }
}

TEST(Dischrgcff, DataPointsAndTheEndCubicBeyond) {
  EXPECT_EQ(discharge_coefficient(0.0, 6.35), 0.691);
  EXPECT_EQ(discharge_coefficient(0.3048, 100.0), 0.600);
  EXPECT_EQ(discharge_coefficient(1.143, 6.35), 0.6285);
  EXPECT_EQ(discharge_coefficient(6.1, 100.0), 0.598);
  EXPECT_EQ(discharge_coefficient(0.0762, 25.4), 0.640);
  // Beyond 100 mm nothing is clamped, and a point gives the same value each time.
  const double c150 = discharge_coefficient(0.1, 150.0);
  EXPECT_NE(c150, discharge_coefficient(0.1, 100.0));
  EXPECT_NEAR(c150, 0.6088, 0.0001);
  EXPECT_EQ(discharge_coefficient(0.1, 150.0), c150);
  const double mid = discharge_coefficient(0.2, 30.0);  // within the neighbouring data
  EXPECT_GT(mid, 0.60);
  EXPECT_LT(mid, 0.63);
}

TEST(CoefficientTable, SweepGridAndEntries) {
  const CoeffTable t = build_coefficient_table({50, 100, 25}, 2000);
  ASSERT_EQ(t.diameters, (std::vector<int>{50, 75, 100}));
  EXPECT_EQ(t.at(2, 99), discharge_coefficient(0.099, 75.0));
  EXPECT_EQ(build_coefficient_table({100, 50, -25}, 10).diameters, (std::vector<int>{100, 75, 50}));
  EXPECT_EQ(build_coefficient_table({80, 80, 5}, 10).diameters, (std::vector<int>{80}));
  EXPECT_TRUE(build_coefficient_table({90, 80, 5}, 10).diameters.empty());
  const std::string out = testing::console_of([] {
    EXPECT_THROW(build_coefficient_table({270, 300, 10}, 200), RunStop);
  });
  EXPECT_NE(out.find("290 mm"), std::string::npos) << out;  // a coefficient not above 0
}

}  // namespace
}  // namespace sitedrain::geometry
