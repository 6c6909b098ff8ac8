#include "greenfield/greenfield.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runoff/console_capture.h"
#include "textio/format.h"

namespace sitedrain::greenfield {
namespace {

Rates rates(double saar, int hydromarea, std::vector<double> area, std::vector<int> soil,
            int wrapf = 1) {
  return GREENFIELD(saar, hydromarea, area, soil, wrapf);
}

TEST(Greenfield, SmallSiteIsScaledFromHalfASquareKilometre) {
  Rates r = rates(700.0, 16, {200000.0}, {4});
  EXPECT_NEAR(r.qbar, 0.0879, 5e-5);
  Rates half = rates(700.0, 16, {500000.0}, {4});
  EXPECT_NEAR(r.qbar, half.qbar * 0.4, 1e-15);
  // Proportional to the area below 0.5 km^2.
  EXPECT_NEAR(rates(700.0, 16, {100000.0}, {4}).qbar * 2.0, r.qbar, 1e-15);
  EXPECT_NEAR(r.q30, r.qbar * GETGF(1, 30), 1e-16);
  EXPECT_NEAR(r.q100, r.qbar * GETGF(1, 100), 1e-16);
}

TEST(Greenfield, LargerSiteUsesItsOwnArea) {
  Rates r = rates(700.0, 16, {1200000.0, 800000.0}, {4, 4});
  EXPECT_NEAR(r.qbar, 0.754, 5e-4);
  // Above 0.5 km^2 the rate grows as A^0.89.
  EXPECT_NEAR(rates(700.0, 16, {1000000.0}, {4}).qbar, r.qbar * std::pow(0.5, 0.89), 1e-12);
}

TEST(Greenfield, SoilIndexIsAreaWeighted) {
  // Classes 1 and 5 over equal areas average (0.15 + 0.50) / 2 = 0.325.
  Rates mix = rates(1000.0, 30, {300000.0, 300000.0}, {1, 5});
  double soil = (300000.0 * 0.15 + 300000.0 * 0.50) / 600000.0;
  double expect = 0.00108 * std::pow(0.6, 0.89) * std::pow(1000.0, 1.17) *
                  std::pow(soil, 2.17) * 0.6 / 0.6;
  EXPECT_NEAR(mix.qbar, expect, 1e-14);
  EXPECT_NEAR(mix.q30 / mix.qbar, 1.9558, 5e-5);  // region 5
}

TEST(Greenfield, SingleSoilClassAppliesToEverySubCatchment) {
  Rates single = rates(800.0, 40, {40000.0, 60000.0, 10000.0}, {2, -999, -999}, 0);
  Rates listed = rates(800.0, 40, {40000.0, 60000.0, 10000.0}, {2, 2, 2}, 1);
  EXPECT_EQ(single.qbar, listed.qbar);
  EXPECT_EQ(single.q100, listed.q100);
  // Only the first slot is needed.
  EXPECT_EQ(rates(800.0, 40, {40000.0, 60000.0, 10000.0}, {2}, 2).qbar, listed.qbar);
}

TEST(Greenfield, GreenfieldOnlyCasePerth) {
  // Two sub-catchments of 32000 and 18000 m^2, WRAP classes 3 and 4,
  // SAAR4170 912 mm, hydrometric area 16, as printed in the report (F10.5).
  Rates r = rates(912.0, 16, {32000.0, 18000.0}, {3, 4});
  EXPECT_EQ(textio::fmt_f(r.qbar, 10, 5), "   0.02551");
  EXPECT_EQ(textio::fmt_f(r.q30, 10, 5), "   0.04854");
  EXPECT_EQ(textio::fmt_f(r.q100, 10, 5), "   0.06248");
}

TEST(Greenfield, UnusableInputStops) {
  const std::string bad_area = "INCORRECT HYDROMETRIC AREA SPECIFIED - PLEASE TRY AGAIN\n";
  EXPECT_EQ(testing::stop_output([] { rates(700.0, 99, {1000.0}, {3}); }), bad_area);
  EXPECT_EQ(testing::stop_output([] { rates(700.0, 0, {1000.0}, {3}); }), bad_area);
  for (int soil : {0, 6, -999}) {
    std::string out = testing::stop_output([&] { rates(700.0, 16, {1000.0, 500.0}, {3, soil}); });
    EXPECT_NE(out.find("soil class"), std::string::npos) << out;
  }
  std::string out = testing::stop_output([] { rates(700.0, 16, {0.0, 0.0}, {3, 3}); });
  EXPECT_NE(out.find("area"), std::string::npos) << out;
  testing::stop_output([] { rates(700.0, 16, {}, {3}); });
  testing::stop_output([] { rates(700.0, 16, {1000.0, 500.0}, {3}, 1); });
}

}  // namespace
}  // namespace sitedrain::greenfield
