// The storm water balance driven by scripted inflows.
#include "storage/water_balance.h"

#include <gtest/gtest.h>

#include "geometry/basin.h"
#include "storage/orifice_outflow.h"

#include <array>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace sitedrain::storage {
namespace {

// An inflow source that plays a script: step t gives script(t).
struct ScriptedInflow : Inflow {
  explicit ScriptedInflow(std::function<runoff::StepResult(int)> s) : script(std::move(s)) {}
  std::function<runoff::StepResult(int)> script;
  int calls = 0;
  runoff::StepResult step(int t) override {
    ++calls;
    return script(t);
  }
};

// The call alone on the scripted inflow; the base comes back in s.
Results water_balance(Storage& s, const Outlet& outlet, int duration, Inflow& in,
                      DiagnosticSink* diag, bool stepwise = true) {
  StormCall call;
  call.storage = s;
  call.outlet = outlet;
  call.live = &in;
  call.diag = diag;
  call.stepwise_statistics = stepwise;
  call.duration = duration;
  const CallOutcome o = storage::water_balance(call);
  s = o.storage;
  return o.results;
}

runoff::StepResult flow(double runoff, double rain_volume = 0.0) {
  return {.rain = 0.01, .rain_volume = rain_volume, .runoff = runoff, .infilt = 0.002};
}

// Runoff of q m^3 a second up to step last, then of trickle.
ScriptedInflow inflow(double q, int last, double trickle = 0.0, double rain_volume = 0.0) {
  return ScriptedInflow([=](int t) { return flow(t <= last ? q : trickle, rain_volume); });
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
  return {.depth = D, .base_w = W, .base_l = L, .batter = b, .kind = params::StorageKind::sump};
}

std::array<double, 9> all_of(const Results& r) {
  return {r.peak_volume,         r.peak_outflow,  r.rain_volume, r.mean_inflow, r.total_inflow,
          r.mean_outflow, r.runoff_duration, r.emptying_time,        r.half_emptying_time};
}

TEST(WaterBalance, NoRunoff) {
  // An end at the first step leaves everything zero and records nothing.
  ScriptedInflow ended([](int) {
    runoff::StepResult r = flow(0.0, 5.0);
    r.end = true;
    return r;
  });
  Storage s = sump_of(5.0, 5.0, 1.0, 1.0);
  Recorder rec;
  EXPECT_EQ(all_of(water_balance(s, Outlet{10.0}, 60, ended, &rec)), all_of(Results{}));
  EXPECT_EQ(ended.calls, 1);
  EXPECT_TRUE(rec.steps.empty());
  // Rain without runoff counts only the rain volume.
  const geometry::CoeffTable table = geometry::build_coefficient_table({100, 100, 1}, 1500);
  Storage pond{.depth = 1.0, .base_w = 5.0, .base_l = 5.0, .batter = 2.0};
  ScriptedInflow rain = inflow(0.0, 0, 0.0, 0.25);
  const Results r = water_balance(pond, Outlet{100.0, &table, 1}, 2, rain, &rec);
  EXPECT_EQ(all_of(r), all_of(Results{.rain_volume = 30.0}));
  ASSERT_EQ(rec.steps.size(), 120u);
  for (const DiagnosticStep& d : rec.steps)
    EXPECT_TRUE(d.storage == 0.0 && d.depth == 0.0 && d.flowout == 0.0 && d.meanflow == 0.0);
}

TEST(WaterBalance, TooSmallAStorageComesBackEnlarged) {
  ScriptedInflow in = inflow(0.05, 600);
  Storage s = sump_of(2.0, 2.0, 0.0, 1.0);  // holds 4 m^3; no pumping
  const Results r = water_balance(s, Outlet{0.0}, 10, in, nullptr);
  EXPECT_NEAR(r.peak_volume, 30.0, 1e-9);
  EXPECT_GT(s.base_l, 2.0);
  EXPECT_EQ(s.base_l, s.base_w);
  EXPECT_GE(geometry::PONDVOLBASE(1.0, 0.0, s.base_w, s.base_l), r.peak_volume);
  EXPECT_LT(geometry::PONDVOLBASE(1.0, 0.0, s.base_w, s.base_l), r.peak_volume * 1.0003);
}

TEST(WaterBalance, EmptiedStorageHasNoDepthAndReleasesNoMore) {
  // 20 m^3 in 20 s, then a trickle that keeps the storage steps going.
  ScriptedInflow in = inflow(1.0, 20, 1.0e-6);
  Storage s = sump_of(10.0, 10.0, 0.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{360.0}, 10, in, &rec);
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
  EXPECT_NEAR(r.mean_outflow * r.runoff_duration, rec.released(), 1e-9);
}

TEST(WaterBalance, RunoffDurationCountsFirstToLatestRunoffStep) {
  ScriptedInflow in([](int t) { return flow(t >= 10 && t <= 20 ? 0.5 : 0.0); });
  Storage s = sump_of(2.0, 2.0, 1.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{3.6}, 1, in, &rec);
  EXPECT_EQ(r.runoff_duration, 11.0 / 3600.0);
  EXPECT_EQ(r.mean_inflow, 1800.0);  // 5.5 m^3 in 11 s
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
  ScriptedInflow in = inflow(0.05, 600);
  Storage s = sump_of(2.0, 2.0, 1.0, 2.0);
  Recorder rec;
  const Results r = water_balance(s, Outlet{36.0}, 10, in, &rec);
  EXPECT_DOUBLE_EQ(r.peak_outflow, 36.0);
  for (const DiagnosticStep& d : rec.steps)
    EXPECT_EQ(d.flowout, d.depth > 0.005 ? 36.0 / 3600.0 : 0.0) << d.t;
  EXPECT_NEAR(r.peak_volume, 30.0 - rec.released() + 0.01, 1e-9);  // net 0.04 m^3/s once pumping
  EXPECT_GT(r.peak_volume, geometry::PONDVOLBASE(2.0, 1.0, 2.0, 2.0) / 2.0);
  // Every half-full step releases the pump rate: half the volume at that rate.
  EXPECT_NEAR(r.half_emptying_time, r.peak_volume / 2.0 / 36.0, 1e-9);
  EXPECT_NEAR(r.emptying_time, r.peak_volume / r.mean_outflow, 1e-12);
  EXPECT_NEAR(r.mean_outflow * r.runoff_duration, rec.released(), 1e-9);
  ScriptedInflow again = inflow(0.05, 600);  // never half full: no half-emptying time
  Storage big = sump_of(10.0, 10.0, 1.0, 2.0);
  const Results b = water_balance(big, Outlet{36.0}, 10, again, nullptr);
  EXPECT_GT(b.emptying_time, 0.0);
  EXPECT_EQ(b.half_emptying_time, 0.0);
}

TEST(WaterBalance, ExactlyHalfFullCountsAsHalfFull) {
  // A vertical 2 x 2 x 1 m sump holds 4 m^3; 2 m^3 in the first step fills it
  // to exactly half, and the pump then keeps it below half.  Only that step
  // is half full: its outflow alone gives the half-emptying time.
  auto run = [](double first, auto deferred) {
    ScriptedInflow in([=](int t) { return flow(t == 1 ? first : 0.001); });
    Storage s = sump_of(2.0, 2.0, 0.0, 1.0);
    return water_balance(s, Outlet{36.0}, 1, in, nullptr, !decltype(deferred)::value);
  };
  const double at_half = (2.0 / 2.0) / (36.0 / 3600.0) / 3600.0;
  EXPECT_EQ(run(2.0, std::false_type{}).half_emptying_time, at_half);
  EXPECT_EQ(run(2.0, std::true_type{}).half_emptying_time, at_half);
  EXPECT_EQ(run(1.9999999, std::false_type{}).half_emptying_time, 0.0);
  EXPECT_EQ(run(1.9999999, std::true_type{}).half_emptying_time, 0.0);
}

TEST(WaterBalance, PondOutflowAndMassBalance) {
  const geometry::CoeffTable table = geometry::build_coefficient_table({75, 125, 25}, 2000);
  Storage pond{.depth = 1.5, .base_w = 3.0, .base_l = 6.0, .batter = 2.0};  // 85.5 m^3 full
  ScriptedInflow in = inflow(0.05, 1800, 1.0e-5, 0.06);  // 90 m^3 in half an hour
  Recorder rec;
  const Results r = water_balance(pond, Outlet{100.0, &table, 2}, 60, in, &rec);
  ASSERT_EQ(rec.steps.size(), 3600u);
  // Each step's outflow is the mean of the orifice rates at both depths.
  double h_prev = 0.0, qmax = 0.0, smax = 0.0;
  for (const DiagnosticStep& d : rec.steps) {
    const double q = d.depth > 0.005 ? (orifice_outflow(h_prev, 100.0, table, 2) +
                                        orifice_outflow(d.depth, 100.0, table, 2)) / 3600.0 / 2.0
                                     : 0.0;
    ASSERT_EQ(d.flowout, q) << "t = " << d.t;
    qmax = std::max(qmax, q);
    smax = std::max(smax, d.storage);
    h_prev = d.depth;
  }
  EXPECT_EQ(r.peak_outflow, qmax * 3600.0);
  EXPECT_EQ(r.peak_volume, smax);
  EXPECT_GT(r.half_emptying_time, 0.0);
  EXPECT_EQ(pond.base_l, 6.0);  // fits: no enlargement
  EXPECT_NEAR(r.total_inflow, 90.0 + 1800 * 1.0e-5, 1e-9);
  EXPECT_NEAR(r.rain_volume, 0.06 * 3600, 1e-9);
  EXPECT_EQ(r.runoff_duration, 1.0);
  EXPECT_NEAR(r.mean_inflow, r.total_inflow, 1e-9);  // per hour, over one hour
  const double out = rec.released();
  EXPECT_GT(out, 0.0);
  EXPECT_NEAR(rec.steps.back().storage, r.total_inflow - (out - rec.steps.back().flowout), 1e-9);
  EXPECT_NEAR(r.mean_outflow, out, 1e-9);  // m^3/h over the one hour of runoff
  EXPECT_NEAR(r.emptying_time, r.peak_volume / r.mean_outflow, 1e-12);
}

}  // namespace
}  // namespace sitedrain::storage
