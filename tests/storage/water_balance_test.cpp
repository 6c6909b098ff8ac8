// The storm water balance made alone, driven by scripted inflows: what the
// figures mean (mass balance, the pump rate, half full, the enlarged base).
// That they are the oracle's to the bit is water_balance_lanes_test.cpp.
#include "storage/water_balance.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "geometry/basin.h"

namespace sitedrain::storage {
namespace {

using params::StorageKind;

// Step t gives script(t); counts the steps asked for.
struct ScriptedInflow : Inflow {
  explicit ScriptedInflow(std::function<runoff::StepResult(int)> s) : script(std::move(s)) {}
  std::function<runoff::StepResult(int)> script;
  int calls = 0;
  runoff::StepResult step(int t) override {
    ++calls;
    return script(t);
  }
};

// Runoff of q m^3 a second up to step last, then of trickle.
ScriptedInflow inflow(double q, int last, double trickle = 0.0, double rain_volume = 0.0) {
  return ScriptedInflow([=](int t) {
    return runoff::StepResult{.rain = 0.01,
                              .rain_volume = rain_volume,
                              .runoff = t <= last ? q : trickle,
                              .infilt = 0.002};
  });
}

struct Recorder : DiagnosticSink {
  std::vector<DiagnosticStep> steps;
  void step(const DiagnosticStep& s) override { steps.push_back(s); }
  double released() const {
    double v = 0.0;
    for (const DiagnosticStep& s : steps) v += s.flowout;
    return v;
  }
};

// The call alone; the base comes back in s.
Results simulate(Storage& s, const Outlet& outlet, int duration, Inflow& in,
                 DiagnosticSink* diag = nullptr, bool stepwise = true) {
  StormCall call{.storage = s,
                 .outlet = outlet,
                 .live = &in,
                 .diag = diag,
                 .stepwise_statistics = stepwise,
                 .duration = duration};
  const CallOutcome o = water_balance(call);
  s = o.storage;
  return o.results;
}

Storage sump_of(double L, double W, double b, double D) {
  return {.depth = D, .base_w = W, .base_l = L, .batter = b, .kind = StorageKind::sump};
}

std::array<double, 9> all_of(const Results& r) {
  return {r.peak_volume,  r.peak_outflow,    r.rain_volume,   r.mean_inflow,       r.total_inflow,
          r.mean_outflow, r.runoff_duration, r.emptying_time, r.half_emptying_time};
}

TEST(WaterBalance, NoRunoff) {
  // An end at the first step leaves everything zero and records nothing.
  ScriptedInflow ended([](int) { return runoff::StepResult{.rain_volume = 5.0, .end = true}; });
  Storage s = sump_of(5.0, 5.0, 1.0, 1.0);
  Recorder rec;
  EXPECT_EQ(all_of(simulate(s, Outlet{10.0}, 60, ended, &rec)), all_of(Results{}));
  EXPECT_EQ(ended.calls, 1);
  EXPECT_TRUE(rec.steps.empty());
  // Rain without runoff counts only the rain volume.
  const geometry::CoeffTable table = geometry::build_coefficient_table({100, 100, 1}, 1500);
  Storage pond{.depth = 1.0, .base_w = 5.0, .base_l = 5.0, .batter = 2.0};
  ScriptedInflow rain = inflow(0.0, 0, 0.0, 0.25);
  const Results r = simulate(pond, Outlet{100.0, &table, 1}, 2, rain, &rec);
  EXPECT_EQ(all_of(r), all_of(Results{.rain_volume = 30.0}));
  ASSERT_EQ(rec.steps.size(), 120u);
  for (const DiagnosticStep& d : rec.steps)
    EXPECT_TRUE(d.storage == 0.0 && d.depth == 0.0 && d.flowout == 0.0 && d.meanflow == 0.0);
}

TEST(WaterBalance, TooSmallAStorageComesBackEnlarged) {
  ScriptedInflow in = inflow(0.05, 600);
  Storage s = sump_of(2.0, 2.0, 0.0, 1.0);  // holds 4 m^3; no pumping
  const Results r = simulate(s, Outlet{0.0}, 10, in);
  EXPECT_NEAR(r.peak_volume, 30.0, 1e-9);
  EXPECT_EQ(s.base_l, s.base_w);
  EXPECT_GE(geometry::basin_volume(1.0, 0.0, s.base_w, s.base_l), r.peak_volume);
  EXPECT_LT(geometry::basin_volume(1.0, 0.0, s.base_w, s.base_l), r.peak_volume * 1.0003);
}

TEST(WaterBalance, SumpReleasesItsPumpRate) {
  // 2 by 2 base, batter 1, 2 m deep: 34.67 m^3 full, half at 17.33 m^3.
  ScriptedInflow in = inflow(0.05, 600);
  Storage s = sump_of(2.0, 2.0, 1.0, 2.0);
  Recorder rec;
  const Results r = simulate(s, Outlet{36.0}, 10, in, &rec);
  EXPECT_DOUBLE_EQ(r.peak_outflow, 36.0);
  for (const DiagnosticStep& d : rec.steps)
    EXPECT_EQ(d.flowout, d.depth > 0.005 ? 36.0 / 3600.0 : 0.0) << d.t;
  EXPECT_NEAR(r.peak_volume, 30.0 - rec.released() + 0.01, 1e-9);  // net 0.04 m^3/s once pumping
  // Every half-full step releases the pump rate: half the volume at that rate.
  EXPECT_NEAR(r.half_emptying_time, r.peak_volume / 2.0 / 36.0, 1e-9);
  EXPECT_NEAR(r.emptying_time, r.peak_volume / r.mean_outflow, 1e-12);
  EXPECT_NEAR(r.mean_outflow * r.runoff_duration, rec.released(), 1e-9);
  ScriptedInflow again = inflow(0.05, 600);  // never half full: no half-emptying time
  Storage big = sump_of(10.0, 10.0, 1.0, 2.0);
  const Results b = simulate(big, Outlet{36.0}, 10, again);
  EXPECT_GT(b.emptying_time, 0.0);
  EXPECT_EQ(b.half_emptying_time, 0.0);
}

TEST(WaterBalance, ExactlyHalfFullCountsAsHalfFull) {
  // A vertical 2 x 2 x 1 m sump holds 4 m^3; 2 m^3 in the first step fills it
  // to exactly half, and the pump then keeps it below half.  Only that step
  // is half full: its outflow alone gives the half-emptying time.
  const double at_half = (2.0 / 2.0) / (36.0 / 3600.0) / 3600.0;
  for (bool stepwise : {true, false}) {
    for (double first : {2.0, 1.9999999}) {
      ScriptedInflow in(
          [=](int t) { return runoff::StepResult{.runoff = t == 1 ? first : 0.001}; });
      Storage s = sump_of(2.0, 2.0, 0.0, 1.0);
      EXPECT_EQ(simulate(s, Outlet{36.0}, 1, in, nullptr, stepwise).half_emptying_time,
                first == 2.0 ? at_half : 0.0)
          << stepwise << " " << first;
    }
  }
}

TEST(WaterBalance, PondMassBalance) {
  const geometry::CoeffTable table = geometry::build_coefficient_table({75, 125, 25}, 2000);
  Storage pond{.depth = 1.5, .base_w = 3.0, .base_l = 6.0, .batter = 2.0};  // 85.5 m^3 full
  ScriptedInflow in = inflow(0.05, 1800, 1.0e-5, 0.06);  // 90 m^3 in half an hour
  Recorder rec;
  const Results r = simulate(pond, Outlet{100.0, &table, 2}, 60, in, &rec);
  ASSERT_EQ(rec.steps.size(), 3600u);
  EXPECT_EQ(pond.base_l, 6.0);  // fits: no enlargement
  EXPECT_NEAR(r.total_inflow, 90.0 + 1800 * 1.0e-5, 1e-9);
  EXPECT_NEAR(r.rain_volume, 0.06 * 3600, 1e-9);
  EXPECT_EQ(r.runoff_duration, 1.0);
  const double out = rec.released();
  EXPECT_GT(out, 0.0);
  EXPECT_NEAR(rec.steps.back().storage, r.total_inflow - (out - rec.steps.back().flowout), 1e-9);
  EXPECT_NEAR(r.mean_outflow, out, 1e-9);  // m^3/h over the one hour of runoff
  EXPECT_GT(r.half_emptying_time, 0.0);
}

}  // namespace
}  // namespace sitedrain::storage
