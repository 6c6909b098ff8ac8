// The storm water balance driven by scripted inflows.
#include "storage/water_balance.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace sitedrain::storage {
namespace {

// An inflow source that plays a script: step t gives script(t).
struct ScriptedInflow {
  explicit ScriptedInflow(std::function<runoff::StepResult(int)> f) : script(std::move(f)) {}
  std::function<runoff::StepResult(int)> script;
  std::vector<int> times;
  std::vector<double> dts;
  runoff::StepResult step(int t, double dt) {
    times.push_back(t);
    dts.push_back(dt);
    return script(t);
  }
};

runoff::StepResult flow(double runoff, double rain_volume = 0.0) {
  return {.rain = 0.01, .rain_volume = rain_volume, .runoff = runoff, .infilt = 0.002};
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

Storage sump_of(double L, double W, double b, double D) {
  return {.depth = D, .base_w = W, .base_l = L, .batter = b, .sump = 1};
}

std::array<double, 9> all_of(const Results& r) {
  return {r.smax,         r.qmax,         r.rain_volume, r.mean_inflow, r.total_inflow,
          r.mean_outflow, r.tfill,        r.ttmt,        r.tthmt};
}

TEST(WaterBalance, OneStepPerWholeSecondOfTheStorm) {
  ScriptedInflow in{[](int) { return flow(0.0); }}, in2{[](int) { return flow(0.0); }};
  Storage s = sump_of(5.0, 5.0, 1.0, 1.0);
  water_balance(s, Outlet{10.0}, 1.0, 3, 0, in, nullptr);
  ASSERT_EQ(in.times.size(), 180u);
  EXPECT_EQ(in.times.front(), 1);
  EXPECT_EQ(in.times.back(), 180);
  water_balance(s, Outlet{10.0}, 2.0, 3, 0, in2, nullptr);  // 2 s halves the count
  ASSERT_EQ(in2.times.size(), 90u);
  EXPECT_EQ(in2.times[1], 4);
  EXPECT_EQ(in2.dts[0], 2.0);
}

TEST(WaterBalance, NoRunoff) {
  // An end at the first step leaves everything zero and records nothing.
  ScriptedInflow ended{[](int) {
    runoff::StepResult r = flow(0.0, 5.0);
    r.end = true;
    return r;
  }};
  Storage s = sump_of(5.0, 5.0, 1.0, 1.0);
  Recorder rec;
  EXPECT_EQ(all_of(water_balance(s, Outlet{10.0}, 1.0, 60, 0, ended, &rec)), all_of(Results{}));
  EXPECT_EQ(ended.times.size(), 1u);
  EXPECT_TRUE(rec.steps.empty());
  // Rain without runoff counts only the rain volume.
  const geometry::CoeffTable table = geometry::build_coefficient_table({100, 100, 1}, 1500);
  Storage pond{.depth = 1.0, .base_w = 5.0, .base_l = 5.0, .batter = 2.0};
  ScriptedInflow rain{[](int) { return flow(0.0, 0.25); }};
  const Results r = water_balance(pond, Outlet{100.0, &table, 1}, 1.0, 2, 0, rain, &rec);
  EXPECT_DOUBLE_EQ(r.rain_volume, 30.0);
  Results expected;
  expected.rain_volume = r.rain_volume;
  EXPECT_EQ(all_of(r), all_of(expected));
  ASSERT_EQ(rec.steps.size(), 120u);
  for (const DiagnosticStep& d : rec.steps)
    EXPECT_TRUE(d.storage == 0.0 && d.depth == 0.0 && d.flowout == 0.0 && d.meanflow == 0.0);
}

TEST(WaterBalance, RunoffOnlyFormsOnlyTheRunoffFigures) {
  ScriptedInflow in{[](int t) { return flow(t >= 10 && t <= 20 ? 0.5 : 0.0, 1.0); }};
  Storage s;  // no storage at all
  Recorder rec;
  const Results r = water_balance(s, Outlet{}, 1.0, 1, 1, in, &rec);
  Results expected{.rain_volume = 60.0, .mean_inflow = 1800.0, .total_inflow = 5.5,
                   .tfill = 11.0 / 3600.0};  // 5.5 m^3 in 11 s
  EXPECT_EQ(all_of(r), all_of(expected));
  ASSERT_EQ(rec.steps.size(), 60u);
  EXPECT_EQ(rec.steps[8].meanflow, 0.0);   // t = 9, before the runoff
  EXPECT_EQ(rec.steps[14].meanflow, 0.5);  // t = 15: 3 m^3 in 6 s, m^3/s
  EXPECT_EQ(rec.steps[14].cumflow, 3.0);
  EXPECT_EQ(rec.steps[59].meanflow, 0.5);  // unchanged after the runoff
  for (const DiagnosticStep& d : rec.steps)
    EXPECT_TRUE(d.flowout == 0.0 && d.depth == 0.0 && d.storage == 0.0);
}

TEST(WaterBalance, RunoffDurationCountsFirstToLatestRunoffStep) {
  ScriptedInflow in{[](int t) { return flow(t >= 10 && t <= 20 ? 0.5 : 0.0); }};
  Storage s = sump_of(2.0, 2.0, 1.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{3.6}, 1.0, 1, 0, in, &rec);
  EXPECT_EQ(r.tfill, 11.0 / 3600.0);
  EXPECT_EQ(r.mean_inflow, 1800.0);
  EXPECT_EQ(rec.steps[5].storage, 0.0);
  // Steps without runoff neither fill nor drain the storage.
  const DiagnosticStep& last = rec.steps[19];
  for (std::size_t k = 20; k < rec.steps.size(); ++k) {
    EXPECT_EQ(rec.steps[k].storage, last.storage);
    EXPECT_EQ(rec.steps[k].depth, last.depth);
    EXPECT_EQ(rec.steps[k].flowout, last.flowout);
  }
}

TEST(WaterBalance, SumpReleasesItsPumpRate) {
  // 2 by 2 base, batter 1, 2 m deep: 34.67 m^3 full, half at 17.33 m^3.
  ScriptedInflow in{[](int t) { return flow(t <= 600 ? 0.05 : 0.0); }};
  Storage s = sump_of(2.0, 2.0, 1.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{36.0}, 1.0, 10, 0, in, &rec);
  EXPECT_DOUBLE_EQ(r.qmax, 36.0);
  for (const DiagnosticStep& d : rec.steps)
    EXPECT_EQ(d.flowout, d.depth > 0.005 ? 36.0 / 3600.0 : 0.0) << d.t;
  EXPECT_NEAR(r.smax, 30.0 - rec.released() + 0.01, 1e-9);  // net 0.04 m^3/s once pumping
  EXPECT_GT(r.smax, geometry::PONDVOLBASE(2.0, 1.0, 2.0, 2.0) / 2.0);
  // Every half-full step releases the pump rate: half the volume at that rate.
  EXPECT_NEAR(r.tthmt, r.smax / 2.0 / 36.0, 1e-9);
  EXPECT_NEAR(r.ttmt, r.smax / r.mean_outflow, 1e-12);
  EXPECT_NEAR(r.mean_outflow * r.tfill, rec.released(), 1e-9);
  // Never half full: no half-emptying time.
  ScriptedInflow again{[](int t) { return flow(t <= 600 ? 0.05 : 0.0); }};
  Storage big = sump_of(10.0, 10.0, 1.0, 2.0);
  const Results b = water_balance(big, Outlet{36.0}, 1.0, 10, 0, again, nullptr);
  EXPECT_GT(b.ttmt, 0.0);
  EXPECT_EQ(b.tthmt, 0.0);
}

TEST(WaterBalance, TooSmallAStorageComesBackEnlarged) {
  ScriptedInflow in{[](int t) { return flow(t <= 600 ? 0.05 : 0.0); }};
  Storage s = sump_of(2.0, 2.0, 0.0, 1.0);  // holds 4 m^3; no pumping
  const Results r = water_balance(s, Outlet{0.0}, 1.0, 10, 0, in, nullptr);
  EXPECT_NEAR(r.smax, 30.0, 1e-9);
  EXPECT_GT(s.base_l, 2.0);
  EXPECT_EQ(s.base_l, s.base_w);
  EXPECT_GE(geometry::PONDVOLBASE(1.0, 0.0, s.base_w, s.base_l), r.smax);
  EXPECT_LT(geometry::PONDVOLBASE(1.0, 0.0, s.base_w, s.base_l), r.smax * 1.0003);
}

TEST(WaterBalance, EmptiedStorageHasNoDepthAndReleasesNoMore) {
  // 20 m^3 in 20 s, then a trickle that keeps the storage steps going.
  ScriptedInflow in{[](int t) { return flow(t <= 20 ? 1.0 : 1.0e-6); }};
  Storage s = sump_of(10.0, 10.0, 0.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{360.0}, 1.0, 10, 0, in, &rec);
  bool emptied = false;
  double applied = 0.0;  // outflow taken from the storage (the next step's)
  for (std::size_t k = 0; k < rec.steps.size(); ++k) {
    const DiagnosticStep& d = rec.steps[k];
    EXPECT_GE(d.storage, 0.0);
    if (d.storage <= 1.0) {
      EXPECT_EQ(d.depth, 0.0);
      EXPECT_EQ(d.flowout, 0.0);
      if (k > 20) emptied = true;
    }
    if (k + 1 < rec.steps.size()) applied += d.flowout;
  }
  EXPECT_TRUE(emptied);
  EXPECT_GT(rec.steps.back().storage, 0.9);
  EXPECT_LE(rec.steps.back().storage, 1.0);
  // Mass balance: what is left is what came in less what went out.
  EXPECT_NEAR(rec.steps.back().storage, r.total_inflow - applied, 1e-9);
  EXPECT_LE(rec.released(), r.total_inflow);
  EXPECT_NEAR(r.mean_outflow * r.tfill, rec.released(), 1e-9);
}

class PondBalance : public ::testing::Test {
 protected:
  geometry::CoeffTable table = geometry::build_coefficient_table({75, 125, 25}, 2000);
  Storage pond{.depth = 1.5, .base_w = 3.0, .base_l = 6.0, .batter = 2.0};  // 85.5 m^3 full
  Recorder rec;
  // 90 m^3 in half an hour, then a trickle, through the given table.
  Results run(const geometry::CoeffTable& tab, double diameter = 100.0, int position = 2) {
    ScriptedInflow in{[](int t) { return flow(t <= 1800 ? 0.05 : 1.0e-5, 0.06); }};
    return water_balance(pond, Outlet{diameter, &tab, position}, 1.0, 60, 0, in, &rec);
  }
  // Each step's outflow is the mean of the orifice rates at both depths.
  double expect_orifice_outflow(const geometry::CoeffTable& t) {
    double h_prev = 0.0, qmax = 0.0;
    for (const DiagnosticStep& d : rec.steps) {
      const double q = d.depth > 0.005 ? (OUTFLOW(h_prev, 100.0, t, 2) +
                                          OUTFLOW(d.depth, 100.0, t, 2)) / 3600.0 / 2.0
                                       : 0.0;
      EXPECT_EQ(d.flowout, q) << "t = " << d.t;
      qmax = std::max(qmax, q);
      h_prev = d.depth;
    }
    return qmax;
  }
};

TEST_F(PondBalance, OutflowMassBalanceAndFigures) {
  const Results r = run(table);
  ASSERT_EQ(rec.steps.size(), 3600u);
  EXPECT_EQ(r.qmax, expect_orifice_outflow(table) * 3600.0);
  EXPECT_GT(r.tthmt, 0.0);
  EXPECT_EQ(pond.base_l, 6.0);  // fits: no enlargement
  EXPECT_NEAR(r.total_inflow, 90.0 + 1800 * 1.0e-5, 1e-9);
  EXPECT_NEAR(r.rain_volume, 0.06 * 3600, 1e-9);
  EXPECT_EQ(r.tfill, 1.0);
  EXPECT_NEAR(r.mean_inflow, r.total_inflow, 1e-9);  // per hour, over one hour
  const double out = rec.released();
  EXPECT_GT(out, 0.0);
  EXPECT_LE(out, r.total_inflow);
  EXPECT_NEAR(rec.steps.back().storage, r.total_inflow - (out - rec.steps.back().flowout), 1e-9);
  double smax = 0.0;
  for (const DiagnosticStep& d : rec.steps) smax = std::max(smax, d.storage);
  EXPECT_EQ(r.smax, smax);
  EXPECT_NEAR(r.mean_outflow, out, 1e-9);  // m^3/h over the one hour of runoff
  EXPECT_NEAR(r.ttmt, r.smax / r.mean_outflow, 1e-12);
}

TEST_F(PondBalance, AnyDepthGridIsReadThroughTheSearch) {
  geometry::CoeffTable coarse = table;  // 2 mm steps over the same coefficients
  for (int& g : coarse.depth_grid) g = 2 * g;
  run(coarse);
  expect_orifice_outflow(coarse);
}

TEST_F(PondBalance, DiagnosticSinkChangesNothing) {
  const Results with = run(table, 75.0, 1);
  pond = Storage{.depth = 1.5, .base_w = 3.0, .base_l = 6.0, .batter = 2.0};
  ScriptedInflow in{[](int t) { return flow(t <= 1800 ? 0.05 : 1.0e-5, 0.06); }};
  EXPECT_EQ(all_of(water_balance(pond, Outlet{75.0, &table, 1}, 1.0, 60, 0, in, nullptr)),
            all_of(with));
}

TEST(WaterBalance, SoakawayFillRaisesTheVolumeAndTheSidesInfiltrate) {
  ScriptedInflow in{[](int t) { return flow(t <= 600 ? 0.01 : 0.0); }};
  Storage s{.depth = 1.5, .base_w = 2.0, .base_l = 3.0, .soak = 1, .sideno = 5, .ffill = 0.4,
            .infiltco = 0.5};
  Recorder rec;
  water_balance(s, Outlet{1.0}, 1.0, 15, 0, in, &rec);
  EXPECT_EQ(rec.steps[0].storage, 0.01 / (1.0 - 0.4));
  bool drained = false;
  for (const DiagnosticStep& d : rec.steps) {
    if (d.depth <= 0.005) continue;
    drained = true;
    EXPECT_EQ(d.flowout, SOAKAWAY(3.0, 2.0, 0.0, 5, 0.5, d.depth) / 3600.0);
  }
  EXPECT_TRUE(drained);
  EXPECT_EQ(s.base_l, 3.0);
}

}  // namespace
}  // namespace sitedrain::storage
