// The diagnostic time series: headings and step lines of the example storm
// (steps rebuilt from the printed lines), and the values that need care.
#include "design/diagnostic_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include "design/report_cases.h"

namespace sitedrain::design {
namespace {

using testdata::LineCapture;

TEST(DiagnosticFile, MatchesTheExampleStorm) {
  const auto want = testdata::expected_lines("diagnostic_single_storm", "diagnostic.txt");
  ASSERT_EQ(want.size(), 3602u);
  LineCapture out;
  write_diagnostic_headings(out);
  DiagnosticFile file(out);
  for (std::size_t i = 2; i < want.size(); ++i) {
    const std::vector<double> v = testdata::numbers(want[i]);
    ASSERT_EQ(v.size(), 10u) << want[i];
    file.step({.t = static_cast<int>(std::lround(v[0] * 60.0)),
               .rain = v[1] / 360.0,
               .infilt = v[2] / 360.0,
               .inflow = v[3],
               .cumflow = v[4],
               .meanflow = v[5],
               .rain_volume = v[6] != 0.0 ? v[3] / v[6] : 1.0,
               .flowout = v[7],
               .depth = v[8],
               .storage = v[9]});
  }
  testdata::expect_same_lines(out.lines, want);
}

TEST(DiagnosticFile, NoRainVolumeGivesZeroAndAMillionCubicMetresAsterisks) {
  EXPECT_EQ(diagnostic_line({.t = 3600, .inflow = 0.5}),
            "   60.00000     0.00000     0.00000     0.50000     0.00000"
            "     0.00000     0.00000     0.00000     0.00000     0.00000");
  const std::string line =
      diagnostic_line({.t = 60, .inflow = 1.0, .rain_volume = 2.0, .storage = 1000000.0});
  ASSERT_EQ(line.size(), 119u);
  EXPECT_EQ(line.substr(71, 12), "     0.50000");
  EXPECT_EQ(line.substr(107), "************");
}

}  // namespace
}  // namespace sitedrain::design
