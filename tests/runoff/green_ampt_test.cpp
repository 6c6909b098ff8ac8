#include "runoff/green_ampt.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/capture.h"

namespace sitedrain::runoff {
namespace {

void expect_same_slot(const GreenAmptSlot& a, const GreenAmptSlot& b) {
  EXPECT_EQ(a.F, b.F);
  EXPECT_EQ(a.Fp, b.Fp);
  EXPECT_EQ(a.M, b.M);
}

TEST(GreenAmpt, FirstStepThenPondedAtCapacity) {
  GreenAmptState st;
  EXPECT_EQ(GREEN_AMPT(st, 4, 1, 1, 1.0), 1.0);  // all the rain infiltrates
  const GreenAmptSlot& s = st.slot[0];
  EXPECT_EQ(s.first, 1);
  EXPECT_NEAR(s.M, 0.1428, 1e-15);
  EXPECT_NEAR(s.Fp, 0.1428 * 10.01 / (360.0 / 0.34 - 1.0), 1e-15);
  EXPECT_NEAR(s.Fp, 0.00135129, 1e-8);
  EXPECT_EQ(s.F, 0.1);  // the step's rain in cm
  // F = 0.1 cm is past Fp: the rate is K (1 + M psi / F), in mm/s.
  const double cap = 0.34 * (1.0 + 0.1428 * 10.01 / 0.1);
  EXPECT_NEAR(GREEN_AMPT(st, 4, 0, 1, 1.0), cap / 360.0, 1e-12);
  EXPECT_NEAR(s.F, 0.1 + cap / 3600.0, 1e-12);
  EXPECT_EQ(s.first, 0);
  // Once ponded the capacity holds even above the rain, and F grows by it.
  const double F = s.F, g = GREEN_AMPT(st, 4, 0, 1, 1e-4);
  EXPECT_GT(g, 1e-4);
  EXPECT_NEAR(s.F, F + g * 360.0 / 3600.0, 1e-12);
}

TEST(GreenAmpt, RainAtOrBelowConductivityLeavesTheStateAlone) {
  GreenAmptState st;
  // Row 1: K = 11.78 cm/h; 0.01 mm in one second is 3.6 cm/h.
  for (int t = 1; t <= 100; ++t) EXPECT_EQ(GREEN_AMPT(st, 1, t == 1, 1, 0.01), 0.01);
  EXPECT_EQ(GREEN_AMPT(st, 1, 0, 1, 11.78 / 360.0), 11.78 / 360.0);  // exactly K
  EXPECT_EQ(st.slot[0].F, 0.0);
  EXPECT_EQ(st.slot[0].Fp, 0.01);
}

TEST(GreenAmpt, FirstStepFlagResetsAndSlotsAreIndependent) {
  GreenAmptState st, fresh;
  const double first = GREEN_AMPT(st, 3, 1, 2, 0.5);
  for (int t = 2; t <= 500; ++t) GREEN_AMPT(st, 3, 0, 2, 0.5);
  EXPECT_GT(st.slot[1].F, 1.0);
  EXPECT_EQ(GREEN_AMPT(st, 3, 1, 2, 0.5), first);  // a new storm
  GREEN_AMPT(fresh, 3, 1, 2, 0.5);
  expect_same_slot(st.slot[1], fresh.slot[1]);

  GreenAmptState a, alone;
  GREEN_AMPT(a, 4, 1, 1, 1.0);
  GREEN_AMPT(alone, 4, 1, 1, 1.0);
  for (int t = 1; t <= 50; ++t) GREEN_AMPT(a, 9, t == 1 ? 1 : 0, 10, 2.0);
  expect_same_slot(a.slot[0], alone.slot[0]);
  EXPECT_GT(a.slot[9].F, 0.0);
  for (int k = 1; k < 9; ++k) EXPECT_EQ(a.slot[k].F, 0.0);
  EXPECT_EQ(GREEN_AMPT(a, 4, 0, 1, 1.0), GREEN_AMPT(alone, 4, 0, 1, 1.0));
}

TEST(GreenAmpt, RowOrSlotOutOfRangeStops) {
  GreenAmptState st;
  for (auto [row, slot] : {std::pair{0, 1}, {12, 1}, {1, 0}, {1, 11}})
    testing::stop_output([&] { GREEN_AMPT(st, row, 1, slot, 1.0); });
}

}  // namespace
}  // namespace sitedrain::runoff
