// The storm water balance driven by scripted inflows.
#include "storage/water_balance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "geometry/basin.h"
#include "geometry/orifice.h"

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
  runoff::StepResult r;
  r.rain = 0.01;
  r.rain_volume = rain_volume;
  r.runoff = runoff;
  r.infilt = 0.002;
  return r;
}

struct Recorder : DiagnosticSink {
  std::vector<DiagnosticStep> steps;
  void step(const DiagnosticStep& s) override { steps.push_back(s); }
};

Storage sump_of(double L, double W, double b, double D) {
  Storage s;
  s.depth = D;
  s.base_l = L;
  s.base_w = W;
  s.batter = b;
  s.sump = 1;
  return s;
}

double released(const Recorder& rec) {
  double v = 0.0;
  for (const DiagnosticStep& s : rec.steps) v += s.flowout;
  return v;
}

void expect_same(const Results& a, const Results& b) {
  EXPECT_EQ(a.smax, b.smax);
  EXPECT_EQ(a.qmax, b.qmax);
  EXPECT_EQ(a.rain_volume, b.rain_volume);
  EXPECT_EQ(a.mean_inflow, b.mean_inflow);
  EXPECT_EQ(a.total_inflow, b.total_inflow);
  EXPECT_EQ(a.mean_outflow, b.mean_outflow);
  EXPECT_EQ(a.tfill, b.tfill);
  EXPECT_EQ(a.ttmt, b.ttmt);
  EXPECT_EQ(a.tthmt, b.tthmt);
}

// ---------------------------------------------------------------- steps

TEST(WaterBalanceSteps, OneStepPerWholeSecondOfTheStorm) {
  ScriptedInflow in{[](int) { return flow(0.0); }};
  Storage s = sump_of(5.0, 5.0, 1.0, 1.0);
  water_balance(s, Outlet{10.0}, 1.0, 3, 0, in, nullptr);
  ASSERT_EQ(in.times.size(), 180u);
  EXPECT_EQ(in.times.front(), 1);
  EXPECT_EQ(in.times.back(), 180);
  // A step of 2 s halves the count; the source gets the step length as given.
  ScriptedInflow in2{[](int) { return flow(0.0); }};
  water_balance(s, Outlet{10.0}, 2.0, 3, 0, in2, nullptr);
  ASSERT_EQ(in2.times.size(), 90u);
  EXPECT_EQ(in2.times[1], 4);
  EXPECT_EQ(in2.dts[0], 2.0);
}

// ------------------------------------------------------------ no runoff

TEST(WaterBalanceNoRunoff, EndAtTheFirstStepLeavesEverythingZero) {
  ScriptedInflow in{[](int) {
    runoff::StepResult r = flow(0.0, 5.0);
    r.end = true;
    return r;
  }};
  Storage s = sump_of(5.0, 5.0, 1.0, 1.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{10.0}, 1.0, 60, 0, in, &rec);
  EXPECT_EQ(in.times.size(), 1u);
  EXPECT_TRUE(rec.steps.empty());
  expect_same(r, Results{});
}

TEST(WaterBalanceNoRunoff, RainWithoutRunoffCountsOnlyTheRainVolume) {
  const geometry::CoeffTable table = geometry::build_coefficient_table({100, 100, 1}, 1500);
  Storage s;
  s.depth = 1.0;
  s.base_l = 5.0;
  s.base_w = 5.0;
  s.batter = 2.0;
  ScriptedInflow in{[](int) { return flow(0.0, 0.25); }};
  Recorder rec;
  const Results r = water_balance(s, Outlet{100.0, &table, 1}, 1.0, 2, 0, in, &rec);
  EXPECT_DOUBLE_EQ(r.rain_volume, 30.0);
  Results expected;
  expected.rain_volume = r.rain_volume;
  expect_same(r, expected);
  ASSERT_EQ(rec.steps.size(), 120u);
  for (const DiagnosticStep& d : rec.steps) {
    EXPECT_EQ(d.storage, 0.0);
    EXPECT_EQ(d.depth, 0.0);
    EXPECT_EQ(d.flowout, 0.0);
    EXPECT_EQ(d.meanflow, 0.0);
  }
}

// ---------------------------------------------------------- runoff only

TEST(WaterBalanceRunoffOnly, OnlyTheRunoffFiguresAreFormed) {
  ScriptedInflow in{[](int t) { return flow(t >= 10 && t <= 20 ? 0.5 : 0.0, 1.0); }};
  Storage s;  // no storage at all
  Recorder rec;
  const Results r = water_balance(s, Outlet{}, 1.0, 1, 1, in, &rec);
  EXPECT_EQ(r.total_inflow, 5.5);
  EXPECT_EQ(r.rain_volume, 60.0);
  EXPECT_EQ(r.tfill, 11.0 / 3600.0);
  EXPECT_EQ(r.mean_inflow, 1800.0);  // 5.5 m^3 in 11 s
  EXPECT_EQ(r.smax, 0.0);
  EXPECT_EQ(r.qmax, 0.0);
  EXPECT_EQ(r.mean_outflow, 0.0);
  EXPECT_EQ(r.ttmt, 0.0);
  EXPECT_EQ(r.tthmt, 0.0);
  ASSERT_EQ(rec.steps.size(), 60u);
  EXPECT_EQ(rec.steps[8].meanflow, 0.0);    // t = 9, before the runoff
  EXPECT_EQ(rec.steps[14].meanflow, 0.5);   // t = 15: 3 m^3 in 6 s, m^3/s
  EXPECT_EQ(rec.steps[14].cumflow, 3.0);
  EXPECT_EQ(rec.steps[59].meanflow, 0.5);   // unchanged after the runoff
  for (const DiagnosticStep& d : rec.steps) {
    EXPECT_EQ(d.flowout, 0.0);
    EXPECT_EQ(d.depth, 0.0);
    EXPECT_EQ(d.storage, 0.0);
  }
}

// ---------------------------------------------------------- storage runs

TEST(WaterBalanceStorage, RunoffDurationCountsFirstToLatestRunoffStep) {
  ScriptedInflow in{[](int t) { return flow(t >= 10 && t <= 20 ? 0.5 : 0.0); }};
  Storage s = sump_of(2.0, 2.0, 1.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{3.6}, 1.0, 1, 0, in, &rec);
  EXPECT_EQ(r.tfill, 11.0 / 3600.0);
  EXPECT_EQ(r.mean_inflow, 1800.0);
  // Steps without runoff neither fill nor drain the storage.
  const DiagnosticStep& last_runoff = rec.steps[19];
  for (std::size_t k = 20; k < rec.steps.size(); ++k) {
    EXPECT_EQ(rec.steps[k].storage, last_runoff.storage);
    EXPECT_EQ(rec.steps[k].depth, last_runoff.depth);
    EXPECT_EQ(rec.steps[k].flowout, last_runoff.flowout);
  }
  EXPECT_EQ(rec.steps[5].storage, 0.0);
}

TEST(WaterBalanceStorage, SumpReleasesItsPumpRate) {
  // 2 by 2 base, batter 1, 2 m deep: 34.67 m^3 full, half at 17.33 m^3.
  ScriptedInflow in{[](int t) { return flow(t <= 600 ? 0.05 : 0.0); }};
  Storage s = sump_of(2.0, 2.0, 1.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{36.0}, 1.0, 10, 0, in, &rec);
  EXPECT_DOUBLE_EQ(r.qmax, 36.0);
  for (const DiagnosticStep& d : rec.steps) {
    if (d.depth > 0.005)
      EXPECT_EQ(d.flowout, 36.0 / 3600.0);
    else
      EXPECT_EQ(d.flowout, 0.0);
  }
  // Net 0.04 m^3 a second once pumping.
  EXPECT_NEAR(r.smax, 30.0 - released(rec) + 0.01, 1e-9);
  EXPECT_GT(r.smax, geometry::PONDVOLBASE(2.0, 1.0, 2.0, 2.0) / 2.0);
  // Every half-full step releases the pump rate, so the half-emptying time is
  // half the largest volume at the pump rate.
  EXPECT_NEAR(r.tthmt, r.smax / 2.0 / 36.0, 1e-9);
  EXPECT_NEAR(r.ttmt, r.smax / r.mean_outflow, 1e-12);
  EXPECT_NEAR(r.mean_outflow * r.tfill, released(rec), 1e-9);
}

TEST(WaterBalanceStorage, NoHalfEmptyingTimeWhenNeverHalfFull) {
  ScriptedInflow in{[](int t) { return flow(t <= 600 ? 0.05 : 0.0); }};
  Storage s = sump_of(10.0, 10.0, 1.0, 2.0);
  const Results r = water_balance(s, Outlet{36.0}, 1.0, 10, 0, in, nullptr);
  EXPECT_GT(r.ttmt, 0.0);
  EXPECT_EQ(r.tthmt, 0.0);
}

TEST(WaterBalanceStorage, TooSmallAStorageComesBackEnlarged) {
  ScriptedInflow in{[](int t) { return flow(t <= 600 ? 0.05 : 0.0); }};
  Storage s = sump_of(2.0, 2.0, 0.0, 1.0);  // holds 4 m^3; no pumping
  const Results r = water_balance(s, Outlet{0.0}, 1.0, 10, 0, in, nullptr);
  EXPECT_NEAR(r.smax, 30.0, 1e-9);
  EXPECT_GT(s.base_l, 2.0);
  EXPECT_EQ(s.base_l, s.base_w);
  EXPECT_GE(geometry::PONDVOLBASE(1.0, 0.0, s.base_w, s.base_l), r.smax);
  EXPECT_LT(geometry::PONDVOLBASE(1.0, 0.0, s.base_w, s.base_l), r.smax * 1.0003);
}

TEST(WaterBalanceStorage, EmptiedStorageHasNoDepthAndReleasesNoMore) {
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
  EXPECT_LE(released(rec), r.total_inflow);
  EXPECT_NEAR(r.mean_outflow * r.tfill, released(rec), 1e-9);
}

// ------------------------------------------------------------------ pond

class PondBalance : public ::testing::Test {
 protected:
  geometry::CoeffTable table = geometry::build_coefficient_table({75, 125, 25}, 2000);
  Storage pond() const {
    Storage s;
    s.depth = 1.5;
    s.base_l = 6.0;  // 85.5 m^3 full
    s.base_w = 3.0;
    s.batter = 2.0;
    return s;
  }
  // 90 m^3 in half an hour, then a trickle.
  static runoff::StepResult storm(int t) { return flow(t <= 1800 ? 0.05 : 1.0e-5, 0.06); }
};

TEST_F(PondBalance, OutflowIsTheMeanOfTheOrificeRatesAtBothDepths) {
  ScriptedInflow in{storm};
  Storage s = pond();
  Recorder rec;
  const Outlet outlet{100.0, &table, 2};
  const Results r = water_balance(s, outlet, 1.0, 60, 0, in, &rec);
  ASSERT_EQ(rec.steps.size(), 3600u);
  double h_prev = 0.0;
  double qmax = 0.0;
  for (const DiagnosticStep& d : rec.steps) {
    const double q = d.depth > 0.005 ? (OUTFLOW(h_prev, 100.0, table, 2) +
                                        OUTFLOW(d.depth, 100.0, table, 2)) /
                                           3600.0 / 2.0
                                     : 0.0;
    ASSERT_EQ(d.flowout, q) << "t = " << d.t;
    if (q > qmax) qmax = q;
    h_prev = d.depth;
  }
  EXPECT_EQ(r.qmax, qmax * 3600.0);
  EXPECT_GT(r.tthmt, 0.0);
  EXPECT_EQ(s.base_l, 6.0);  // fits: no enlargement
}

TEST_F(PondBalance, MassBalanceAndFigures) {
  ScriptedInflow in{storm};
  Storage s = pond();
  Recorder rec;
  const Results r = water_balance(s, Outlet{100.0, &table, 2}, 1.0, 60, 0, in, &rec);
  EXPECT_NEAR(r.total_inflow, 90.0 + 1800 * 1.0e-5, 1e-9);
  EXPECT_NEAR(r.rain_volume, 0.06 * 3600, 1e-9);
  EXPECT_EQ(r.tfill, 1.0);
  EXPECT_NEAR(r.mean_inflow, r.total_inflow, 1e-9);  // per hour, over one hour
  const double out = released(rec);
  EXPECT_GT(out, 0.0);
  EXPECT_LE(out, r.total_inflow);
  EXPECT_NEAR(rec.steps.back().storage,
              r.total_inflow - (out - rec.steps.back().flowout), 1e-9);
  double smax = 0.0;
  for (const DiagnosticStep& d : rec.steps) smax = std::max(smax, d.storage);
  EXPECT_EQ(r.smax, smax);
  EXPECT_NEAR(r.mean_outflow, out, 1e-9);  // m^3/h over the one hour of runoff
  EXPECT_NEAR(r.ttmt, r.smax / r.mean_outflow, 1e-12);
}

TEST_F(PondBalance, AnyDepthGridIsReadThroughTheSearch) {
  // A grid in 2 mm steps over the same coefficients, against the table as
  // built: each step's outflow uses the coefficient its own grid gives.
  geometry::CoeffTable coarse = table;
  for (int& g : coarse.depth_grid) g = 2 * g;
  ScriptedInflow in{storm};
  Storage s = pond();
  Recorder rec;
  water_balance(s, Outlet{100.0, &coarse, 2}, 1.0, 60, 0, in, &rec);
  double h_prev = 0.0;
  for (const DiagnosticStep& d : rec.steps) {
    const double q = d.depth > 0.005 ? (OUTFLOW(h_prev, 100.0, coarse, 2) +
                                        OUTFLOW(d.depth, 100.0, coarse, 2)) /
                                           3600.0 / 2.0
                                     : 0.0;
    ASSERT_EQ(d.flowout, q) << "t = " << d.t;
    h_prev = d.depth;
  }
}

TEST_F(PondBalance, DiagnosticSinkChangesNothing) {
  ScriptedInflow a{storm}, b{storm};
  Storage sa = pond(), sb = pond();
  Recorder rec;
  const Outlet outlet{75.0, &table, 1};
  expect_same(water_balance(sa, outlet, 1.0, 60, 0, a, nullptr),
              water_balance(sb, outlet, 1.0, 60, 0, b, &rec));
}

// -------------------------------------------------------------- soakaway

TEST(WaterBalanceSoakaway, FillRaisesTheVolumeAndTheSidesInfiltrate) {
  ScriptedInflow in{[](int t) { return flow(t <= 600 ? 0.01 : 0.0); }};
  Storage s;
  s.depth = 1.5;
  s.base_l = 3.0;
  s.base_w = 2.0;
  s.soak = 1;
  s.sideno = 5;
  s.ffill = 0.4;
  s.infiltco = 0.5;
  Recorder rec;
  water_balance(s, Outlet{1.0}, 1.0, 15, 0, in, &rec);
  EXPECT_EQ(rec.steps[0].storage, 0.01 / (1.0 - 0.4));
  bool drained = false;
  for (const DiagnosticStep& d : rec.steps) {
    if (d.depth > 0.005) {
      drained = true;
      EXPECT_EQ(d.flowout, SOAKAWAY(3.0, 2.0, 0.0, 5, 0.5, d.depth) / 3600.0);
    }
  }
  EXPECT_TRUE(drained);
  EXPECT_EQ(s.base_l, 3.0);
}

}  // namespace
}  // namespace sitedrain::storage
