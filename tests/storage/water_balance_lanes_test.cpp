// The storm step against its oracle (support/reference_water_balance.h), bit
// for bit: every call made alone, with statistics deferred and step by step,
// and in the lockstep lanes, alone and among a full set of other calls (lanes
// ending at different steps), on storms of the bundled pond, sump and
// soakaway cases.
#include "storage/water_balance_lanes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <deque>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "control/control_file.h"
#include "design/storm_inflow.h"
#include "design/storm_sizing.h"
#include "geometry/basin.h"
#include "params/parameter_file.h"
#include "params/run_setup.h"
#include "support/capture.h"
#include "support/reference_water_balance.h"
#include "support/run_case.h"
#include "textio/stop.h"

namespace sitedrain::storage {
namespace {

// Every result and the storage's base, as bits, and what the call showed;
// all ones when the call is left to the call made alone.
struct Bits {
  std::array<std::uint64_t, 14> bits;
  std::string shown;
  bool operator==(const Bits&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Bits& b) {
  for (std::uint64_t x : b.bits) o << std::hex << x << " ";
  return o << b.shown;
}

Bits bits_of(const Results& r, const Storage& s, bool alone, std::string shown = {}) {
  Bits b;
  b.bits.fill(~0ull);
  if (alone) return b;
  auto u = [](double x) { return std::bit_cast<std::uint64_t>(x); };
  b.bits = {u(r.peak_volume),
            u(r.peak_outflow),
            u(r.rain_volume),
            u(r.mean_inflow),
            u(r.total_inflow),
            u(r.mean_outflow),
            u(r.runoff_duration),
            u(r.emptying_time),
            u(r.half_emptying_time),
            static_cast<std::uint64_t>(r.steps),
            static_cast<std::uint64_t>(r.storage_steps),
            u(s.base_w),
            u(s.base_l),
            u(s.depth)};
  b.shown = std::move(shown);
  return b;
}

// The runoff of a call as the oracle reads it.
struct Replayed : Inflow {
  const StormCall& c;
  explicit Replayed(const StormCall& call) : c(call) {}
  runoff::StepResult step(int t) override {
    runoff::StepResult r;
    r.end = t > c.n_runoff;
    if (!r.end) r.runoff = c.runoff[t - 1];
    return r;
  }
};

// What f shows on the console, the text of a stop included.
template <class F>
std::string shown_by(F&& f) {
  console::Recording side;
  try {
    console::Redirect redirect(side);
    f();
  } catch (const RunStop&) {
    side.line("(stopped)");
  }
  ::testing::internal::CaptureStdout();
  side.replay();
  console::flush();
  return ::testing::internal::GetCapturedStdout();
}

// The oracle's figures and console.
Bits oracle(const StormCall& c) {
  Storage st = c.storage;
  Results r;
  Replayed in(c);
  std::string shown = shown_by(
      [&] { r = testing::reference_water_balance(st, c.outlet, c.duration, c.runoff_only, in); });
  if (shown.ends_with("(stopped)\n")) r = {}, st = {};  // a stop leaves no figures
  return bits_of(r, st, false, shown);
}

// The call made alone; all ones when its deferred statistics underflowed.
Bits alone(StormCall c, bool stepwise) {
  c.stepwise_statistics = stepwise;
  CallOutcome o;
  std::string shown = shown_by([&] { o = water_balance(c); });
  if (shown.ends_with("(stopped)\n")) o = {};
  return bits_of(o.results, o.storage, !o.results.exact, shown);
}

// The calls through K lanes, fed in order; results by tag.
template <int K>
std::map<std::uint64_t, Bits> lane_calls(const std::vector<StormCall>& calls,
                                         LaneIsa isa = lane_isa()) {
  std::map<std::uint64_t, Bits> out;
  std::size_t next = 0;
  WaterBalanceLanes<K> lanes(isa);
  lanes.run([&](StormCall& c) { return next < calls.size() && (c = calls[next++], true); },
            [&](const StormCall& c, const CallOutcome& o) {
              EXPECT_TRUE(out.emplace(c.tag, bits_of(o.results, o.storage, o.alone)).second);
            });
  return out;
}

// A bundled case's storms: its catchment, loss model, profile, durations
// and storage at rain depths of 2 to 150 mm, each for every outlet of the case
// with a storage sized for the storm's volume and one far too small.
struct CaseCalls {
  params::DesignParams p;
  geometry::CoeffTable table;
  std::deque<std::vector<double>> runoff;
  std::vector<StormCall> calls;
};

void add_case(const std::string& name, CaseCalls& c) {
  const testing::fs::path dir = testing::fs::path(SITEDRAIN_TEST_CASES) / name;
  const control::RunFiles files = control::resolve_files(
      control::parse_control(testing::read_file(dir / "PSnamel.nml"), "PSnamel.nml"),
      "PSnamel.nml");
  textio::LineReader in((dir / files.input[0]).string());
  c.p = params::read_parameter_file(in);
  const params::RunSetup setup = params::make_run_setup(c.p);
  const bool pond = c.p.storage_kind == params::StorageKind::pond;
  if (pond)
    c.table = geometry::build_coefficient_table(c.p.orifice_diameters_mm, setup.depth_steps);
  const runoff::SubCatchments subs = design::sub_catchments(c.p);
  for (int duration : setup.durations) {
    for (double depth : {2.0, 9.0, 31.0, 70.0, 150.0}) {
      const runoff::StormSpec storm{duration, c.p.profile, depth / (60 * duration)};
      std::unique_ptr<design::StormInflow> inflow = design::compute_inflow(subs, storm);
      ASSERT_TRUE(inflow);
      const std::vector<double>& runoff = c.runoff.emplace_back(inflow->runoff);
      double total = 0.0;
      for (double r : runoff) total += r;
      for (int j = 1; j <= setup.outlet_count; ++j) {
        for (double share : {1.0, 0.05}) {
          StormCall call;
          testing::KeptLines log;
          double d = c.p.max_depth_m;
          const geometry::PondDims dims =
              geometry::size_pond(std::max(total * share, 1.0), c.p.top_length_m / c.p.top_width_m,
                                  d, c.p.batter_1_in, log);
          const bool soakaway = c.p.storage_kind == params::StorageKind::soakaway;
          call.storage = {d,
                          dims.Wb,
                          dims.Lb,
                          c.p.batter_1_in,
                          c.p.storage_kind,
                          c.p.soakaway_sides_code,
                          soakaway ? c.p.fill_fraction : 0.0,
                          c.p.infiltration_coefficient_m_per_h};
          const params::Triple sweep =
              c.p.design_sump == 1 ? c.p.pump_rates_m3_per_h : c.p.orifice_diameters_mm;
          call.outlet = {static_cast<double>(sweep.first + (j - 1) * sweep.step),
                         pond ? &c.table : nullptr, j};
          call.runoff = runoff.data();
          call.n_runoff = static_cast<int>(runoff.size());
          call.duration = duration;
          call.runoff_only = c.p.runoff_only == 1;
          c.calls.push_back(call);
        }
      }
    }
  }
}

TEST(WaterBalanceLanes, EveryCallAsTheOracleAloneAndInLanes) {
  std::deque<CaseCalls> cases;
  std::vector<StormCall> calls;
  const std::vector<double> nan(200, std::numeric_limits<double>::quiet_NaN());
  const std::vector<double> one_step{0.0, 50.0, 0.0};
  for (const std::string name : {"pond_design", "sump_design", "soakaway_design"}) {
    CaseCalls& c = cases.emplace_back();
    ASSERT_NO_FATAL_FAILURE(add_case(name, c));
    calls.insert(calls.end(), c.calls.begin(), c.calls.end());
    // Odd calls among them: runoff only, a NaN inflow, a search that pauses
    // (NaN batter), an outlet without coefficients, a storage of no depth,
    // runoff in one step only (statistics of a single storage step).
    StormCall odd = c.calls.back();
    odd.runoff_only = true;
    calls.push_back(odd);
    odd.runoff = nan.data();
    odd.n_runoff = static_cast<int>(nan.size());
    calls.push_back(odd);
    odd.runoff_only = false;
    calls.push_back(odd);
    odd = c.calls.back();
    odd.storage.batter = std::numeric_limits<double>::quiet_NaN();
    calls.push_back(odd);
    odd = c.calls.back();
    odd.outlet.position = 99;
    calls.push_back(odd);
    odd = c.calls.back();
    odd.storage.depth = 0.0;
    calls.push_back(odd);
    odd = c.calls.back();
    odd.runoff = one_step.data();
    odd.n_runoff = static_cast<int>(one_step.size());
    calls.push_back(odd);
    if (c.p.storage_kind == params::StorageKind::pond)  // orifices that overdraw the pond
      for (StormCall k : c.calls) {
        k.outlet.value *= 10.0;
        calls.push_back(k);
      }
  }
  std::shuffle(calls.begin(), calls.end(), std::mt19937(17));
  for (std::size_t k = 0; k < calls.size(); ++k) calls[k].tag = k;

  // The call alone is the oracle, shown lines and stops included; in lanes,
  // a call that shows or stops is left to it.
  ASSERT_EQ(std::freopen("/dev/null", "r", stdin) != nullptr, true);  // the pauses read it
  std::vector<Bits> expected;
  int left_alone = 0;
  for (const StormCall& c : calls) {
    const Bits want = oracle(c);
    EXPECT_EQ(alone(c, true), want) << "call " << c.tag;
    EXPECT_EQ(alone(c, false), want) << "call " << c.tag;
    expected.push_back(want.shown.empty() ? want : bits_of({}, {}, true));
    left_alone += !want.shown.empty();
  }
  EXPECT_EQ(left_alone, 7);  // the pausing and stopping calls (a pump or soakaway has no table)
  ASSERT_GT(calls.size(), 190u);

  auto check = [&](const std::map<std::uint64_t, Bits>& got, const char* how) {
    ASSERT_EQ(got.size(), calls.size()) << how;
    for (std::size_t k = 0; k < calls.size(); ++k)
      EXPECT_EQ(got.at(k), expected[k]) << how << ": call " << k;
  };
  check(lane_calls<1>(calls), "one lane");
  check(lane_calls<3>(calls), "three lanes");
  check(lane_calls<8>(calls, LaneIsa::sse2), "eight lanes, two to a register");
  check(lane_calls<16>(calls), "sixteen lanes");
  std::map<std::uint64_t, Bits> one_by_one;
  for (const StormCall& c : calls) one_by_one.merge(lane_calls<kLanes>({c}));
  check(one_by_one, "one call in the lanes at a time");
}

}  // namespace
}  // namespace sitedrain::storage
