#include "greenfield/greenfield.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "greenfield/growth_curve.h"
#include "greenfield/hydro_region.h"
#include "support/capture.h"

namespace sitedrain::greenfield {
namespace {

using testing::stop_output;
const std::string kBadArea = "INCORRECT HYDROMETRIC AREA SPECIFIED - PLEASE TRY AGAIN\n";

Rates rates(double saar, int hydromarea, std::vector<double> area, std::vector<int> soil,
            int wrapf = 1) {
  return estimate_greenfield_rates(saar, hydromarea, area, soil, wrapf);
}

TEST(Greenfield, AreaScaling) {
  Rates r = rates(700.0, 16, {200000.0}, {4});
  EXPECT_NEAR(r.qbar, 0.0879, 5e-5);
  // Below 0.5 km^2 the rate of half a square kilometre scales with the area.
  EXPECT_NEAR(r.qbar, rates(700.0, 16, {500000.0}, {4}).qbar * 0.4, 1e-15);
  EXPECT_NEAR(rates(700.0, 16, {100000.0}, {4}).qbar * 2.0, r.qbar, 1e-15);
  // Above it the rate grows as A^0.89.
  Rates big = rates(700.0, 16, {1200000.0, 800000.0}, {4, 4});
  EXPECT_NEAR(big.qbar, 0.754, 5e-4);
  EXPECT_NEAR(rates(700.0, 16, {1000000.0}, {4}).qbar, big.qbar * std::pow(0.5, 0.89), 1e-12);
}

TEST(Greenfield, SoilIndexIsAreaWeighted) {
  // Classes 1 and 5 over equal areas average (0.15 + 0.50) / 2 = 0.325.
  Rates mix = rates(1000.0, 30, {300000.0, 300000.0}, {1, 5});
  EXPECT_NEAR(mix.qbar,
              0.00108 * std::pow(0.6, 0.89) * std::pow(1000.0, 1.17) * std::pow(0.325, 2.17),
              1e-14);
  // With wrapf 0 the first class applies to every sub-catchment.
  const std::vector<double> area = {40000.0, 60000.0, 10000.0};
  Rates listed = rates(800.0, 40, area, {2, 2, 2}, 1);
  EXPECT_EQ(rates(800.0, 40, area, {2, -999, -999}, 0).qbar, listed.qbar);
  EXPECT_EQ(rates(800.0, 40, area, {2, -999, -999}, 0).q100, listed.q100);
  EXPECT_EQ(rates(800.0, 40, area, {2}, 2).qbar, listed.qbar);
}

TEST(Greenfield, UnusableInputStops) {
  EXPECT_EQ(stop_output([] { rates(700.0, 99, {1000.0}, {3}); }), kBadArea);
  EXPECT_EQ(stop_output([] { rates(700.0, 0, {1000.0}, {3}); }), kBadArea);
  for (int soil : {0, 6, -999}) {
    std::string out = stop_output([&] { rates(700.0, 16, {1000.0, 500.0}, {3, soil}); });
    EXPECT_NE(out.find("soil class"), std::string::npos) << out;
  }
  std::string out = stop_output([] { rates(700.0, 16, {0.0, 0.0}, {3, 3}); });
  EXPECT_NE(out.find("area"), std::string::npos) << out;
  stop_output([] { rates(700.0, 16, {}, {3}); });
  stop_output([] { rates(700.0, 16, {1000.0, 500.0}, {3}, 1); });
}

TEST(GrowthCurve, FactorsForThirtyAndHundredYears) {
  const struct {
    int region;
    double g30, g100;
  } expected[] = {
      {1, 1.9031, 2.4497}, {2, 1.9274, 2.5352},  {3, 1.7392, 2.1284},  {4, 1.7392, 2.1284},
      {5, 1.9558, 2.5702}, {6, 2.2860, 3.1535},  {7, 2.2860, 3.1535},  {8, 1.8960, 2.4599},
      {9, 1.7636, 2.1906}, {10, 1.6917, 2.0898}, {11, 1.6448, 1.9559},
  };
  for (auto e : expected) {
    EXPECT_NEAR(growth_factor(e.region, 30), e.g30, 5e-5) << "region " << e.region;
    EXPECT_NEAR(growth_factor(e.region, 100), e.g100, 5e-5) << "region " << e.region;
  }
  for (int region : {0, 12, -3})
    EXPECT_EQ(stop_output([&] { growth_factor(region, 30); }), kBadArea);
}

TEST(HydroRegion, TableAndItsEdges) {
  const struct {
    int area, region;
  } listed[] = {{1, 1},   {16, 1},  {17, 2},   {21, 2},  {22, 3},  {27, 3},   {28, 4},   {29, 5},
                {35, 5},  {36, 6},  {39, 6},   {40, 7},  {44, 7},  {45, 8},   {53, 8},   {54, 4},
                {55, 9},  {67, 9},  {68, 10},  {76, 10}, {77, 2},  {87, 2},   {88, 1},   {97, 1},
                {101, 7}, {102, 9}, {103, 10}, {104, 1}, {108, 1}, {200, 11}, {250, 11}, {300, 11}};
  for (auto l : listed) EXPECT_EQ(hydrometric_region(l.area), l.region) << "area " << l.area;
  for (int area : {0, -1, 98, 99, 100, 109, 150, 199})
    EXPECT_EQ(stop_output([&] { hydrometric_region(area); }), kBadArea) << area;
}

}  // namespace
}  // namespace sitedrain::greenfield
