#include "design/storm_sizing.h"

#include <algorithm>
#include <cmath>

#include "geometry/basin.h"
#include "rainfall/profile.h"
#include "storage/water_balance.h"
#include "textio/format.h"
#include "textio/stop.h"

namespace sitedrain::design {

namespace {

using params::StorageKind;
using textio::FreeRecord;

// A storm whose total inflow is below this (m^3) gives no design, and a
// runoff-only storm counts as runoff only above it.
constexpr double kLeastInflow = 4.0;

// One water-balance call of the storm, counted for the benchmark: replayed
// when it can be, else with the runoff computed live.
storage::Results simulate(const SizingSetup& setup, const runoff::StormSpec& storm,
                          const StormInflow* inflow, storage::Storage& st,
                          const storage::Outlet& outlet, storage::DiagnosticSink* diag) {
  const bool runoff_only = setup.p->runoff_only == 1;
  std::optional<storage::Results> replayed;
  if (!setup.in_order && inflow != nullptr && diag == nullptr)
    replayed = replay(*inflow, storm, st, outlet, runoff_only);
  storage::Results r;
  if (replayed) {
    r = *replayed;
  } else {
    LiveInflow live(setup.subs, storm);
    storage::StormCall call;
    call.storage = st;
    call.outlet = outlet;
    call.live = &live;
    call.diag = diag;
    call.stepwise_statistics = true;
    call.duration = storm.duration;
    call.runoff_only = runoff_only;
    const storage::CallOutcome o = storage::water_balance(call);
    st = o.storage;
    r = o.results;
  }
  if (setup.stats) {
    setup.stats->calls += 1;
    setup.stats->steps += r.steps;
    setup.stats->storage_steps += r.storage_steps;
  }
  return r;
}

// The trial storage of a design run, without its dimensions.
storage::Storage trial_storage(const params::DesignParams& p) {
  const StorageKind kind = p.storage_kind;
  storage::Storage st;
  st.batter = p.batter_1_in;
  st.kind = kind;
  st.soakaway_sides = p.soakaway_sides_code;
  st.fill_fraction = kind == StorageKind::soakaway ? p.fill_fraction : 0.0;
  st.infiltration_m_per_h = p.infiltration_coefficient_m_per_h;
  return st;
}

storage::Outlet storm_outlet(const SizingSetup& setup, const DesignStorm& s) {
  storage::Outlet outlet;
  outlet.value = s.outlet_size;
  outlet.table = setup.table;
  outlet.position = s.j;
  return outlet;
}

// A design storm: sizing, the stability iteration and its record.
void design_storm(const SizingSetup& setup, const DesignStorm& s, const StormInflow* inflow,
                  storage::DiagnosticSink* diag, StormOutcome& o) {
  const params::DesignParams& p = *setup.p;
  const StorageKind kind = p.storage_kind;
  const int dur = s.duration;
  const double ff = kind == StorageKind::soakaway ? p.fill_fraction : 0.0;
  double qp = 0.0;
  const double im = s.rain_depth / (dur / 60.0);
  const double ip = rainfall::profile_factor(p.profile, 0.5) * im;
  for (int n = 0; n < p.subcatchment_count; ++n)
    qp = qp + ip / 1000 * p.areas_m2[static_cast<std::size_t>(n)];
  double v = dur / 60.0 * qp / (1 - ff);

  storage::Results r;
  geometry::PondDims dims;
  double d = p.max_depth_m;
  storage::Storage st = trial_storage(p);
  const storage::Outlet outlet = storm_outlet(setup, s);
  const runoff::StormSpec storm_rain = storm_spec(p, s);
  bool unstable = false;
  double base_w = 0.0, base_l = 0.0;  // the base of the simulation the record comes from

  // A storm that brings no water is neither sized nor simulated.
  if (v > 0.0) {
    dims = geometry::size_pond(v, setup.ratio, d, p.batter_1_in, o.log);
    double v_prev = 0.0;
    for (int c = 1;; ++c) {
      st.depth = d;
      st.base_w = dims.Wb;
      st.base_l = dims.Lb;
      base_w = st.base_w;
      base_l = st.base_l;
      r = simulate(setup, storm_rain, inflow, st, outlet, nullptr);
      v = r.peak_volume;
      if (r.total_inflow < kLeastInflow) break;
      if (std::fabs(v - v_prev) <= 0.1) break;
      dims = geometry::size_pond(v, setup.ratio, d, p.batter_1_in, o.log);
      if (c == 10) {
        o.log.line((FreeRecord("i,k,tpod,unstable storage, prvstrg,diff")
                    << s.i << s.k << s.outlet_size << v << v_prev << v - v_prev)
                       .str());
        v = (v_prev + v) / 2;
      }
      if (c > 15) {
        o.log.line((FreeRecord("unable to get stability at i,k,tpod,jj")
                    << s.i << s.k << s.outlet_size << c)
                       .str());
        v = (v_prev + v) / 2;
        unstable = true;
        break;
      }
      v_prev = v;
    }
    // The time series describes the final storage.
    if (diag != nullptr && kind != StorageKind::sump) {
      st.depth = d;
      base_w = st.base_w;
      base_l = st.base_l;
      r = simulate(setup, storm_rain, inflow, st, outlet, diag);
      v = r.peak_volume;
    }
  }

  if (r.total_inflow < kLeastInflow) return;
  const double a_top = dims.Wt * dims.Lt;
  const double a_lag = r.peak_outflow / 0.036;
  o.stored = o.runoff = true;
  results::StormRecord& rec = o.record;
  rec.return_period = s.return_period;
  rec.outlet_size = s.outlet_size;
  rec.duration = dur;
  rec.mean_inflow = r.mean_inflow;
  rec.runoff_volume = r.total_inflow;
  rec.water_area = a_lag + a_top;
  rec.lagoon_area = a_lag;
  rec.top_area = a_top;
  rec.top_length = dims.Lt;
  rec.top_width = dims.Wt;
  rec.depth = d;
  rec.base_width = base_w;
  rec.base_length = base_l;
  rec.peak_volume = v;
  rec.peak_outflow = r.peak_outflow;
  rec.mean_outflow = r.mean_outflow;
  if (kind != StorageKind::sump) rec.outflow_24h = std::min(r.emptying_time, 24.0) * r.mean_outflow;
  rec.runoff_duration = r.runoff_duration;
  rec.emptying_time = r.emptying_time;
  rec.half_emptying_time = r.half_emptying_time;
  // the settlement lagoon: an ellipse for a negative ratio, none for 0
  const int ratio = p.lagoon_ratio;
  const double mag = std::abs(ratio);
  if (ratio < 0)
    rec.lagoon_width = 2 * std::sqrt(a_lag / mag / 3.1415926);
  else if (ratio > 0)
    rec.lagoon_width = std::sqrt(a_lag / mag);
  rec.lagoon_length = mag * rec.lagoon_width;
  rec.peak_rain_flow = qp;
  rec.rain_depth = s.rain_depth;
  rec.rain_volume = r.rain_volume;
  rec.unstable = unstable;
}

// A storm of a runoff-only run: one simulation and its report row.
void runoff_storm(const SizingSetup& setup, const DesignStorm& s, const StormInflow* inflow,
                  storage::DiagnosticSink* diag, StormOutcome& o) {
  storage::Storage st;
  storage::Outlet outlet;
  outlet.value = 1.0;
  outlet.table = setup.table;
  const storage::Results r = simulate(setup, storm_spec(*setup.p, s), inflow, st, outlet, diag);
  o.row = {s.return_period, s.duration, r.mean_inflow, r.total_inflow, s.rain_depth, r.rain_volume};
  o.runoff = r.total_inflow > kLeastInflow;
}

}  // namespace

runoff::StormSpec storm_spec(const params::DesignParams& p, const DesignStorm& s) {
  runoff::StormSpec storm_rain;
  storm_rain.duration = s.duration;
  storm_rain.profile = p.profile;
  storm_rain.intensity = s.rain_depth / (60 * s.duration);
  return storm_rain;
}

runoff::SubCatchments sub_catchments(const params::DesignParams& p) {
  runoff::SubCatchments subs;
  subs.model = p.loss_model;
  subs.count = p.subcatchment_count;
  subs.surface = p.surface_codes.data();
  subs.area = p.areas_m2.data();
  return subs;
}

StormOutcome size_storm(const SizingSetup& setup, const DesignStorm& storm,
                        const StormInflow* inflow, storage::DiagnosticSink* diag) {
  if (setup.stats) setup.stats->storms += 1;
  StormOutcome o;
  console::Redirect redirect(o.console);
  try {
    if (setup.p->storage_kind == StorageKind::runoff_only)
      runoff_storm(setup, storm, inflow, diag, o);
    else
      design_storm(setup, storm, inflow, diag, o);
  } catch (const RunStop& s) {
    o.stop_status = s.status;
  }
  return o;
}

storage::Results simulate_record(const SizingSetup& setup, const DesignStorm& s,
                                 const results::StormRecord& rec, storage::DiagnosticSink& diag,
                                 storage::Storage* after) {
  storage::Storage st = trial_storage(*setup.p);
  st.depth = rec.depth;
  st.base_w = rec.base_width;
  st.base_l = rec.base_length;
  console::Recording dropped;  // the loss models' console lines were shown the first time
  console::Redirect redirect(dropped);
  const storage::Results r =
      simulate(setup, storm_spec(*setup.p, s), nullptr, st, storm_outlet(setup, s), &diag);
  if (after) *after = st;
  return r;
}

storage::DrainEnd drain_record(const SizingSetup& setup, const DesignStorm& s,
                               const storage::Storage& after, const storage::DiagnosticStep& last,
                               int last_t, storage::DiagnosticSink& diag) {
  storage::StormCall call;
  call.storage = after;
  call.outlet = storm_outlet(setup, s);
  call.diag = &diag;
  call.duration = s.duration;
  call.runoff_only = setup.p->runoff_only == 1;
  return storage::drain_down(call, last, last_t);
}

}  // namespace sitedrain::design
