#include "runoff/pdm.h"

#include <gtest/gtest.h>

#include <string>

#include "support/capture.h"
#include "textio/format.h"

namespace sitedrain::runoff {
namespace {

// Runs one call; returns z from its console line (a blank, then z in
// shortest form, one line per call).
double z_of_call(double rain, double& R) {
  const std::string out = testing::console_of([&] { R = PDM_INFILTRATION_CAPACITY(rain, 0.0); });
  EXPECT_EQ(out.substr(0, 1), " ");
  EXPECT_EQ(out.find('\n'), out.size() - 1) << "one line per call";
  const std::string text = out.substr(1, out.size() - 2);
  EXPECT_EQ(text, textio::shortest(std::stod(text)));
  return std::stod(text);
}

TEST(Pdm, RunoffDepthsAndTheirGuards) {
  double R = 0.0;
  EXPECT_NEAR(z_of_call(0.01, R), -1.66703, 5e-6);
  EXPECT_NEAR(R, 0.0074380, 1e-7);
  EXPECT_NEAR(z_of_call(1.0, R), -6.18 / (0.668 * 1.4142135623730951), 1e-14);
  EXPECT_NEAR(R, 0.99741, 5e-6);
  // An excess of about 7e-9 mm is under a micrometre: exactly 0, line still written.
  EXPECT_NEAR(z_of_call(0.0002, R), 2.47402, 5e-5);
  EXPECT_EQ(R, 0.0);
  z_of_call(0.0005, R);  // about 1.64e-6 mm: kept
  EXPECT_NEAR(R, 1.6393e-6, 1e-9);
  // No rain: no runoff and no line.
  EXPECT_EQ(testing::console_of([&] { R = PDM_INFILTRATION_CAPACITY(0.0, 0.0); }), "");
  EXPECT_EQ(R, 0.0);
}

}  // namespace
}  // namespace sitedrain::runoff
