// The loss models: Green-Ampt, Horton and the probability-distributed model.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runoff/green_ampt.h"
#include "runoff/horton.h"
#include "runoff/pdm.h"
#include "support/capture.h"
#include "textio/format.h"

namespace sitedrain::runoff {
namespace {

TEST(GreenAmpt, RainAtOrBelowConductivityLeavesTheStateAlone) {
  GreenAmptState st;
  // Row 1: K = 11.78 cm/h; 0.01 mm in one second is 3.6 cm/h.
  for (int t = 1; t <= 100; ++t) EXPECT_EQ(green_ampt_rate(st, 1, t == 1, 1, 0.01), 0.01);
  EXPECT_EQ(green_ampt_rate(st, 1, 0, 1, 11.78 / 360.0), 11.78 / 360.0);  // exactly K
  EXPECT_EQ(st.slot[0].F, 0.0);
  EXPECT_EQ(st.slot[0].Fp, 0.01);
}

TEST(GreenAmpt, FirstStepPondingResetAndSlots) {
  GreenAmptState st;
  // Row 4, 1 mm in one second (360 cm/h): all of it infiltrates, ponding is set.
  EXPECT_EQ(green_ampt_rate(st, 4, 1, 1, 1.0), 1.0);
  const double Fp = 0.476 * 0.3 * 10.01 / (360.0 / 0.34 - 1.0);
  EXPECT_NEAR(st.slot[0].M, 0.1428, 1e-15);
  EXPECT_NEAR(st.slot[0].Fp, Fp, 1e-15);
  EXPECT_EQ(st.slot[0].F, 0.1);
  // Now ponded: the capacity K (1 + M psi / F), and F grows by it.
  const double cap = 0.34 * (1.0 + st.slot[0].M * 10.01 / 0.1);
  EXPECT_EQ(green_ampt_rate(st, 4, 0, 1, 1.0), cap / 360.0);
  EXPECT_EQ(st.slot[0].F, 0.1 + cap / 3600.0);
  // Slot 2 is untouched by slot 1, and the first-step flag resets a slot.
  EXPECT_EQ(st.slot[1].F, 0.0);
  EXPECT_EQ(green_ampt_rate(st, 4, 1, 2, 0.001),
            0.001);  // 0.36 cm/h: all infiltrates until ponding
  EXPECT_EQ(green_ampt_rate(st, 4, 1, 1, 1.0), 1.0);
  EXPECT_EQ(st.slot[0].F, 0.1);
}

TEST(GreenAmpt, RowOrSlotOutOfRangeStops) {
  GreenAmptState st;
  for (auto [row, slot] : {std::pair{0, 1}, {12, 1}, {1, 0}, {1, 11}})
    testing::stop_output([&] { green_ampt_rate(st, row, 1, slot, 1.0); });
}

// The bundled Horton case uses types 4, 2 and 5 only: types 1 and 3 decay here.
TEST(Horton, InitialDecayedAndFinalRates) {
  const struct {
    int type;
    double initial, final_rate;
  } table[] = {{1, 280.0, 6.0}, {2, 900.0, 20.0}, {3, 210.0, 2.0}, {4, 670.0, 10.0}};
  for (const auto& r : table) {
    EXPECT_EQ(horton_capacity(r.type, 0), r.initial) << r.type;
    EXPECT_EQ(horton_capacity(r.type, 86400), r.final_rate) << r.type;
  }
  EXPECT_NEAR(horton_capacity(3, 60), 30.1497, 5e-5);
  EXPECT_NEAR(horton_capacity(1, 60), 6.0 + 274.0 * std::exp(-1.6), 1e-12);
  for (int type : {0, 5, -1, 12})
    EXPECT_NE(testing::stop_output([&] { horton_capacity(type, 60); }).find("Horton"),
              std::string::npos);
}

// Runs one call; returns z from its console line (a blank, then z in
// shortest form, one line per call).
double z_of_call(double rain, double& R) {
  const std::string out = testing::console_of([&] { R = pdm_runoff(rain, 0.0); });
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
  EXPECT_EQ(testing::console_of([&] { R = pdm_runoff(0.0, 0.0); }), "");
  EXPECT_EQ(R, 0.0);
}

}  // namespace
}  // namespace sitedrain::runoff
