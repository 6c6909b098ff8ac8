#include "runoff/pdm.h"

#include <gtest/gtest.h>

#include <string>

#include "runoff/console_capture.h"
#include "textio/format.h"

namespace sitedrain::runoff {
namespace {

// The console line of one call: one blank, then z in shortest form.
double z_of_line(const std::string& out) {
  EXPECT_EQ(out.size() > 2 ? out.substr(0, 1) : "", " ");
  EXPECT_EQ(out.back(), '\n');
  EXPECT_EQ(out.find('\n'), out.size() - 1) << "one line per call";
  std::string text = out.substr(1, out.size() - 2);
  double z = std::stod(text);
  EXPECT_EQ(text, textio::shortest(z));
  return z;
}

TEST(Pdm, RunoffDepthOfSmallAndLargeRain) {
  double R = 0.0;
  std::string out = testing::console_of([&] { R = PDM_INFILTRATION_CAPACITY(0.01, 0.0); });
  EXPECT_NEAR(z_of_line(out), -1.66703, 5e-6);
  EXPECT_NEAR(R, 0.0074380, 1e-7);

  out = testing::console_of([&] { R = PDM_INFILTRATION_CAPACITY(1.0, 0.0); });
  EXPECT_NEAR(z_of_line(out), -6.18 / (0.668 * 1.4142135623730951), 1e-14);
  EXPECT_NEAR(R, 0.99741, 5e-6);
}

TEST(Pdm, DepthsBelowOneMicrometreCountAsZero) {
  double R = -1.0;
  // The excess of 0.0002 mm is about 7e-9 mm: cut to exactly 0, line still written.
  std::string out = testing::console_of([&] { R = PDM_INFILTRATION_CAPACITY(0.0002, 0.0); });
  EXPECT_EQ(R, 0.0);
  EXPECT_NEAR(z_of_line(out), 2.47402, 5e-5);
  // 0.0005 mm gives about 1.64e-6 mm: kept.
  testing::console_of([&] { R = PDM_INFILTRATION_CAPACITY(0.0005, 0.0); });
  EXPECT_NEAR(R, 1.6393e-6, 1e-9);
}

TEST(Pdm, NoRainGivesNoRunoffAndNoLine) {
  double R = -1.0;
  std::string out = testing::console_of([&] { R = PDM_INFILTRATION_CAPACITY(0.0, 0.0); });
  EXPECT_EQ(R, 0.0);
  EXPECT_EQ(out, "");
}

TEST(Pdm, RunoffGrowsWithRainAndStaysBelowIt) {
  double prev = 0.0;
  testing::console_of([&] {
    for (double x = 0.001; x < 20.0; x *= 1.5) {
      double R = PDM_INFILTRATION_CAPACITY(x, 0.0);
      EXPECT_GE(R, prev);
      EXPECT_LT(R, x);
      prev = R;
    }
  });
}

}  // namespace
}  // namespace sitedrain::runoff
