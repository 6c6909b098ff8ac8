#include "runoff/green_ampt.h"

#include <gtest/gtest.h>

#include <cmath>

#include "runoff/console_capture.h"

namespace sitedrain::runoff {
namespace {

TEST(GreenAmpt, FirstStepOnRow4WithOneMillimetre) {
  GreenAmptState st;
  double f = GREEN_AMPT(st, 4, 1, 1, 1.0);
  const GreenAmptSlot& s = st.slot[0];
  EXPECT_EQ(f, 1.0);  // all the rain infiltrates
  EXPECT_EQ(s.first, 1);
  EXPECT_NEAR(s.M, 0.1428, 1e-15);
  EXPECT_NEAR(s.Fp, 0.1428 * 10.01 / (360.0 / 0.34 - 1.0), 1e-15);
  EXPECT_NEAR(s.Fp, 0.00135129, 1e-8);
  EXPECT_EQ(s.F, 0.1);  // the step's rain in cm
}

TEST(GreenAmpt, PondedSurfaceInfiltratesAtCapacity) {
  GreenAmptState st;
  GREEN_AMPT(st, 4, 1, 1, 1.0);
  // F = 0.1 cm is past Fp: the rate is K (1 + M psi / F), in mm/s.
  double cap = 0.34 * (1.0 + 0.1428 * 10.01 / 0.1);
  double f = GREEN_AMPT(st, 4, 0, 1, 1.0);
  EXPECT_NEAR(f, cap / 360.0, 1e-12);
  EXPECT_NEAR(st.slot[0].F, 0.1 + cap / 3600.0, 1e-12);
  EXPECT_EQ(st.slot[0].first, 0);
  // Once ponded, the capacity holds even when it exceeds the rain, and F
  // grows by the capacity, not by the rain.
  double F = st.slot[0].F;
  double g = GREEN_AMPT(st, 4, 0, 1, 1e-4);
  EXPECT_GT(g, 1e-4);
  EXPECT_NEAR(st.slot[0].F, F + g * 360.0 / 3600.0, 1e-12);
}

TEST(GreenAmpt, RainAtOrBelowConductivityLeavesTheStateAlone) {
  GreenAmptState st;
  // Row 1: K = 11.78 cm/h; 0.01 mm in one second is 3.6 cm/h.
  EXPECT_EQ(GREEN_AMPT(st, 1, 1, 1, 0.01), 0.01);
  EXPECT_EQ(st.slot[0].F, 0.0);
  EXPECT_EQ(st.slot[0].Fp, 0.01);
  for (int t = 2; t <= 100; ++t) EXPECT_EQ(GREEN_AMPT(st, 1, 0, 1, 0.01), 0.01);
  EXPECT_EQ(st.slot[0].F, 0.0);
  EXPECT_EQ(st.slot[0].Fp, 0.01);
  // Exactly K: still no ponding value.
  EXPECT_EQ(GREEN_AMPT(st, 1, 0, 1, 11.78 / 360.0), 11.78 / 360.0);
  EXPECT_EQ(st.slot[0].Fp, 0.01);
}

TEST(GreenAmpt, AllRainInfiltratesUntilPonding) {
  GreenAmptState st;
  // Row 5 (K 0.65 cm/h), 0.01 mm/s = 3.6 cm/h: ponding after some steps.
  int ponded_at = 0;
  double f = 0.0;
  for (int t = 1; t <= 2000 && ponded_at == 0; ++t) {
    f = GREEN_AMPT(st, 5, t == 1 ? 1 : 0, 1, 0.01);
    if (f != 0.01) ponded_at = t;
  }
  ASSERT_GT(ponded_at, 1);
  // Before ponding F grew by the rain (0.001 cm a step); at ponding
  // M psi / F <= Ir/K - 1, so the capacity is at most the rain.
  const double M = 0.514 - 0.7 * 0.514;
  const double Fp = M * 10.91 / (3.6 / 0.65 - 1.0);
  EXPECT_NEAR(st.slot[0].Fp, Fp, 1e-15);
  EXPECT_EQ(ponded_at, static_cast<int>(std::ceil(Fp / 0.001 - 1e-9)) + 1);
  EXPECT_LE(f, 0.01);
  EXPECT_GT(f, 0.65 / 360.0);  // above K
}

TEST(GreenAmpt, FirstStepFlagResetsBetweenStorms) {
  GreenAmptState st;
  double first = GREEN_AMPT(st, 3, 1, 2, 0.5);
  for (int t = 2; t <= 500; ++t) GREEN_AMPT(st, 3, 0, 2, 0.5);
  GreenAmptSlot before_reset = st.slot[1];
  EXPECT_GT(before_reset.F, 1.0);
  // A new storm: same first step as on a fresh state.
  EXPECT_EQ(GREEN_AMPT(st, 3, 1, 2, 0.5), first);
  GreenAmptState fresh;
  GREEN_AMPT(fresh, 3, 1, 2, 0.5);
  EXPECT_EQ(st.slot[1].F, fresh.slot[1].F);
  EXPECT_EQ(st.slot[1].Fp, fresh.slot[1].Fp);
  EXPECT_EQ(st.slot[1].M, fresh.slot[1].M);
}

TEST(GreenAmpt, SlotsAreIndependent) {
  GreenAmptState st;
  GREEN_AMPT(st, 4, 1, 1, 1.0);
  GreenAmptSlot one = st.slot[0];
  for (int t = 1; t <= 50; ++t) GREEN_AMPT(st, 9, t == 1 ? 1 : 0, 10, 2.0);
  EXPECT_EQ(st.slot[0].F, one.F);
  EXPECT_EQ(st.slot[0].Fp, one.Fp);
  EXPECT_EQ(st.slot[0].M, one.M);
  EXPECT_GT(st.slot[9].F, 0.0);
  for (int k = 1; k < 9; ++k) EXPECT_EQ(st.slot[k].F, 0.0);
  // Slot 1 carries on where it was.
  GreenAmptState alone;
  GREEN_AMPT(alone, 4, 1, 1, 1.0);
  EXPECT_EQ(GREEN_AMPT(st, 4, 0, 1, 1.0), GREEN_AMPT(alone, 4, 0, 1, 1.0));
}

TEST(GreenAmpt, RowOrSlotOutOfRangeStops) {
  GreenAmptState st;
  testing::stop_output([&] { GREEN_AMPT(st, 0, 1, 1, 1.0); });
  testing::stop_output([&] { GREEN_AMPT(st, 12, 1, 1, 1.0); });
  testing::stop_output([&] { GREEN_AMPT(st, 1, 1, 0, 1.0); });
  testing::stop_output([&] { GREEN_AMPT(st, 1, 1, 11, 1.0); });
}

}  // namespace
}  // namespace sitedrain::runoff
