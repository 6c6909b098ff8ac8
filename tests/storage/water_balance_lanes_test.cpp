// The lockstep lanes against the scalar water balance, bit for bit: every
// call alone in the lanes and among a full set of other calls (lanes ending
// at different steps), on storms of the bundled pond, sump and soakaway cases.
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

#include "design/storm_inflow.h"
#include "design/storm_sizing.h"
#include "geometry/basin.h"
#include "params/parameter_file.h"
#include "params/run_setup.h"
#include "run/control_file.h"
#include "support/capture.h"
#include "support/run_case.h"
#include "textio/stop.h"

namespace sitedrain::storage {
namespace {

using Bits = std::array<std::uint64_t, 14>;

// Every result and the storage's base, as bits; all ones when the call is
// for the scalar path.
Bits bits_of(const Results& r, const Storage& s, bool scalar) {
  Bits b;
  b.fill(~0ull);
  if (scalar) return b;
  auto u = [](double x) { return std::bit_cast<std::uint64_t>(x); };
  return {u(r.smax),
          u(r.qmax),
          u(r.rain_volume),
          u(r.mean_inflow),
          u(r.total_inflow),
          u(r.mean_outflow),
          u(r.tfill),
          u(r.ttmt),
          u(r.tthmt),
          static_cast<std::uint64_t>(r.steps),
          static_cast<std::uint64_t>(r.storage_steps),
          u(s.base_w),
          u(s.base_l),
          u(s.depth)};
}

// The scalar call as the replay makes it; for the scalar path when it shows
// anything, stops or cannot form its statistics at the end.
Bits scalar_call(const LaneCall& c) {
  std::vector<double> runoff(c.runoff, c.runoff + c.n_runoff);
  design::StormInflow inflow{runoff, 0.0, nullptr};
  design::ReplayedInflow source{&inflow};
  Storage st = c.storage;
  console::Recording side;
  try {
    console::Redirect redirect(side);
    const Results r = water_balance<design::ReplayedInflow, Lookup::fast, true>(
        st, c.outlet, 1.0, c.duration, c.rnf, source, nullptr);
    return bits_of(r, st, !side.empty() || !r.exact);
  } catch (const RunStop&) {
    return bits_of({}, st, true);
  }
}

// The calls through K lanes, fed in order; results by tag.
template <int K>
std::map<std::uint64_t, Bits> lane_calls(const std::vector<LaneCall>& calls,
                                         LaneIsa isa = lane_isa()) {
  std::map<std::uint64_t, Bits> out;
  std::size_t next = 0;
  WaterBalanceLanes<K> lanes(isa);
  lanes.run([&](LaneCall& c) { return next < calls.size() && (c = calls[next++], true); },
            [&](const LaneCall& c, const LaneOutcome& o) {
              EXPECT_TRUE(out.emplace(c.tag, bits_of(o.results, o.storage, o.scalar)).second);
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
  std::vector<LaneCall> calls;
};

void add_case(const std::string& name, CaseCalls& c) {
  const testing::fs::path dir = testing::fs::path(SITEDRAIN_TEST_CASES) / name;
  const run::RunFiles files = run::resolve_files(
      run::parse_control(testing::read_file(dir / "PSnamel.nml"), "PSnamel.nml"), "PSnamel.nml");
  textio::LineReader in((dir / files.input[0]).string());
  c.p = params::GETPARAM(in);
  const params::RunSetup setup = params::make_run_setup(c.p);
  const bool pond = c.p.sump == 0 && c.p.soak == 0;
  if (pond) c.table = geometry::build_coefficient_table(c.p.tpod, setup.depth_steps);
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
          LaneCall call;
          testing::KeptLines log;
          double d = c.p.maxdepth;
          const geometry::PondDims dims = geometry::POND_SIZE(
              std::max(total * share, 1.0), c.p.topl / c.p.topw, d, c.p.batter, log);
          call.storage = {d,           dims.Wb,  dims.Lb,    c.p.batter,
                          c.p.sump,    c.p.soak, c.p.sideno, c.p.soak == 1 ? c.p.ffill : 0.0,
                          c.p.infiltco};
          const params::Triple sweep = c.p.sump == 1 ? c.p.pumprate : c.p.tpod;
          call.outlet = {static_cast<double>(sweep.first + (j - 1) * sweep.step),
                         pond ? &c.table : nullptr, j};
          call.runoff = runoff.data();
          call.n_runoff = static_cast<int>(runoff.size());
          call.duration = duration;
          call.rnf = c.p.rnf;
          c.calls.push_back(call);
        }
      }
    }
  }
}

TEST(WaterBalanceLanes, EveryCallAsTheScalarCallAloneAndAmongOthers) {
  std::deque<CaseCalls> cases;
  std::vector<LaneCall> calls;
  const std::vector<double> nan(200, std::numeric_limits<double>::quiet_NaN());
  for (const std::string name : {"pond_design", "sump_design", "soakaway_design"}) {
    CaseCalls& c = cases.emplace_back();
    ASSERT_NO_FATAL_FAILURE(add_case(name, c));
    calls.insert(calls.end(), c.calls.begin(), c.calls.end());
    // Odd calls among them: runoff only, a NaN inflow, a search that pauses
    // (NaN batter), an outlet without coefficients, a storage of no depth.
    LaneCall odd = c.calls.back();
    odd.rnf = 1;
    calls.push_back(odd);
    odd.runoff = nan.data();
    odd.n_runoff = static_cast<int>(nan.size());
    calls.push_back(odd);
    odd.rnf = 0;
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
  }
  std::shuffle(calls.begin(), calls.end(), std::mt19937(17));
  for (std::size_t k = 0; k < calls.size(); ++k) calls[k].tag = k;

  std::vector<Bits> expected;
  int scalar = 0;
  for (const LaneCall& c : calls) {
    expected.push_back(scalar_call(c));
    scalar += expected.back()[0] == ~0ull;
  }
  EXPECT_EQ(scalar, 7);  // the pausing and stopping calls (a pump or soakaway has no table)
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
  std::map<std::uint64_t, Bits> alone;
  for (const LaneCall& c : calls) alone.merge(lane_calls<kLanes>({c}));
  check(alone, "alone");
}

}  // namespace
}  // namespace sitedrain::storage
