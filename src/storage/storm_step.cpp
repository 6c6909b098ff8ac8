#include "storage/storm_step.h"

#include <bit>
#include <cstddef>

#include "geometry/basin.h"
#include "storage/orifice_outflow.h"
#include "storage/soakaway.h"

namespace sitedrain::storage {

namespace {

// Below this depth (m) nothing leaves the storage.
constexpr double kLeastOutflowDepth = 0.005;
// A stored volume of this (m^3) or less counts as empty: no depth.
constexpr double kEmptyVolume = 1.0;
constexpr double kSecondsPerHour = 3600.0;

// The basin of base L by W with batter b filled to depth x: its volume f and
// plan area df.
void basin_cubic(double b, double L, double W, double x, double& f, double& df) {
  f = (4.0 / 3.0) * (b * b) * (x * x * x) + b * (W + L) * (x * x) + W * L * x - 0.0;
  df = 4.0 * ((b * x) * (b * x)) + W * L + 2.0 * b * x * (W + L);
}

}  // namespace

// In: the call.  Checks the outlet, forms what the steps share and runs to
// the first depth search or the end.
StormStep::Next StormStep::start(const StormCall& call) {
  *this = StormStep();
  call_ = call;
  if (prepare() == Next::ended) return Next::ended;
  t_ = 1;
  return run_steps();
}

StormStep::Next StormStep::prepare() {
  if (call_.diag != nullptr) call_.stepwise_statistics = true;
  const Storage& st = call_.storage;
  const Outlet& outlet = call_.outlet;
  storage_run_ = !call_.runoff_only;
  pond_ = st.kind != params::StorageKind::sump && st.kind != params::StorageKind::soakaway;
  if (storage_run_ && pond_ &&
      (outlet.table == nullptr || outlet.position < 1 ||
       outlet.position > static_cast<int>(outlet.table->diameters.size()))) {
    halt_ = Halt::no_coefficients;
    return Next::ended;
  }
  if (storage_run_)
    half_volume_ = geometry::basin_volume(st.depth, st.batter, st.base_w, st.base_l) / 2.0;
  // The coefficients of the outlet's diameter by depth grid point (1 mm).
  if (storage_run_ && pond_) {
    n_grid_ = outlet.table->n_depth;
    coeff_ = outlet.table->c.data() +
             static_cast<std::size_t>(outlet.position - 1) * static_cast<std::size_t>(n_grid_);
  }
  if (storage_run_) form_basin_terms();
  unit_fill_ = 1.0 - st.fill_fraction == 1.0;
  last_t_ = 60 * call_.duration;
  return Next::search;
}

void StormStep::fill(double runoff) {
  // One-second steps: the outflow volume of the last step is its rate.
  // x / 1 is x: a pond or a sump (no fill) needs no division.
  const double change = runoff - 1.0 * outflow_;
  stored_ = stored_ + (unit_fill_ ? change : change / (1.0 - call_.storage.fill_fraction));
  if (stored_ < 0.0) stored_ = 0.0;
}

DrainEnd StormStep::drain(const StormCall& call, const DiagnosticStep& last, int last_t) {
  *this = StormStep();
  call_ = call;
  call_.stepwise_statistics = true;
  if (prepare() == Next::ended || call_.runoff_only) return DrainEnd::no_outflow;
  stored_ = last.storage;
  depth_ = last.depth;
  outflow_ = last.flowout;
  first_runoff_t_ = 1;
  for (t_ = last.t + 1; t_ <= last_t; ++t_) {
    fill(0.0);
    double h = 0.0;
    if (stored_ > kEmptyVolume) {
      if (!(call_.storage.depth > 0.0)) return DrainEnd::no_outflow;
      if (start_search()) {
        SearchColumns column;
        load_search(search_, column, 0);
        for (int j = 1; j <= kMaxDepthIterations; ++j)
          if (depth_search_iteration<double>(column, 0) != 0) break;
        h = column.rts[0];
      } else {
        h = search_.rts;
      }
    }
    end_step(h);
    if (call_.diag != nullptr) record_step();
    if (!(stored_ > kEmptyVolume)) return DrainEnd::emptied;
    if (!(outflow_ > 0.0)) return DrainEnd::no_outflow;
  }
  return DrainEnd::time_limit;
}

StormStep::Next StormStep::resume(double h) {
  end_step(h);
  if (call_.diag != nullptr) record_step();
  ++t_;
  return run_steps();
}

// The steps from t_ on: the inflow and the storage update of each, up to a
// depth search that needs iterating or the end of the simulation.
StormStep::Next StormStep::run_steps() {
  for (; t_ <= last_t_; ++t_) {
    const int t = t_;
    if (call_.live != nullptr) {
      inflow_ = call_.live->step(t);
      if (inflow_.end) break;
      out_.rain_volume += inflow_.rain_volume;
    } else {
      if (t > call_.n_runoff) break;
      inflow_.runoff = call_.runoff[t - 1];  // only the runoff is replayed
    }
    const double runoff = inflow_.runoff;
    ++out_.steps;
    out_.total_inflow += runoff;
    if (!storage_run_) {
      if (runoff > 0.0) {
        if (first_runoff_t_ == 0) first_runoff_t_ = t;
        const int n = t - first_runoff_t_ + 1;
        out_.runoff_duration = n;
        if (n >= 1) out_.mean_inflow = out_.total_inflow / n;
      }
      if (call_.diag != nullptr) record_step();
      continue;
    }
    if (!(runoff > 0.0)) {
      if (call_.diag != nullptr) record_step();
      continue;
    }
    ++out_.storage_steps;
    fill(runoff);
    if (first_runoff_t_ == 0) first_runoff_t_ = t;
    double h = 0.0;
    if (stored_ > kEmptyVolume) {
      // No base can make a basin of no depth hold water.
      if (!(call_.storage.depth > 0.0)) {
        halt_ = Halt::no_depth;
        return Next::ended;
      }
      if (start_search()) return Next::search;
      h = search_.rts;
    }
    end_step(h);
    if (call_.diag != nullptr) record_step();
  }

  if (!call_.stepwise_statistics) {
    if (last_n_ >= 1) {
      out_.runoff_duration = last_n_;
      out_.mean_inflow = last_total_ / last_n_;
      out_.mean_outflow = summed_outflow_ / last_n_;
    }
    if (last_outflow_.set) {
      const double mean = last_outflow_.volume / last_outflow_.count;
      if (mean > 0.0) {
        out_.emptying_time = last_outflow_.peak_volume / mean;
      } else {  // an underflow: the time of an earlier step would stand
        out_.exact = false;
        halt_ = Halt::inexact;
      }
    }
    if (last_half_.set)
      out_.half_emptying_time =
          (last_half_.peak_volume / 2.0) / (last_half_.volume / last_half_.count);
  }
  out_.mean_inflow = out_.mean_inflow * kSecondsPerHour;
  out_.mean_outflow = out_.mean_outflow * kSecondsPerHour;
  out_.peak_outflow = out_.peak_outflow * kSecondsPerHour;
  out_.runoff_duration = out_.runoff_duration / kSecondsPerHour;
  out_.half_emptying_time = out_.half_emptying_time / kSecondsPerHour;
  out_.emptying_time = out_.emptying_time / kSecondsPerHour;
  return Next::ended;
}

// The rest of a storage step once its depth h is known: the outflow rate and
// the statistics.
void StormStep::end_step(double h) {
  const Storage& st = call_.storage;
  const int t = t_;
  outflow_ = 0.0;
  if (h > kLeastOutflowDepth) {
    if (st.kind == params::StorageKind::sump) {
      outflow_ = call_.outlet.value / kSecondsPerHour;
    } else if (st.kind == params::StorageKind::soakaway) {
      outflow_ = soakaway_outflow(st.base_l, st.base_w, st.batter, st.soakaway_sides,
                                  st.infiltration_m_per_h, h) /
                 kSecondsPerHour;
    } else {  // the mean of the orifice rates at the last and at this depth
      const double q_prev = orifice_rate_at(depth_);
      const double q_now = orifice_rate_at(h);
      outflow_ = (q_prev + q_now) / kSecondsPerHour / 2.0;
    }
    summed_outflow_ = summed_outflow_ + outflow_;
  }
  if (outflow_ > out_.peak_outflow) out_.peak_outflow = outflow_;
  if (stored_ > out_.peak_volume) out_.peak_volume = stored_;
  const int n = t - first_runoff_t_ + 1;
  if (call_.stepwise_statistics) {
    out_.runoff_duration = n;
    if (n >= 1) {
      out_.mean_inflow = out_.total_inflow / n;
      out_.mean_outflow = summed_outflow_ / n;
      if (out_.mean_outflow > 0.0) out_.emptying_time = out_.peak_volume / out_.mean_outflow;
    }
    if (half_full_outflow_ > 0.0)
      out_.half_emptying_time = (out_.peak_volume / 2.0) / (half_full_outflow_ / half_full_steps_);
  } else {
    last_n_ = n;
    last_total_ = out_.total_inflow;
    if (summed_outflow_ > 0.0) last_outflow_ = {true, out_.peak_volume, summed_outflow_, n};
    if (half_full_outflow_ > 0.0)
      last_half_ = {true, out_.peak_volume, half_full_outflow_, half_full_steps_};
  }
  if (stored_ >= half_volume_) {
    half_full_outflow_ = half_full_outflow_ + 1.0 * outflow_;
    half_full_steps_ = half_full_steps_ + 1;
  }
  depth_ = h;
}

// The step's values to the diagnostic sink.
void StormStep::record_step() {
  DiagnosticStep d;
  d.t = t_;
  d.rain = inflow_.rain;
  d.infilt = inflow_.infilt;
  d.inflow = inflow_.runoff;
  d.cumflow = out_.total_inflow;
  d.meanflow = out_.mean_inflow;
  d.rain_volume = inflow_.rain_volume;
  d.flowout = outflow_;
  d.depth = depth_;
  d.storage = stored_;
  call_.diag->step(d);
}

// The orifice rate at a depth; the rate of the last depth evaluated is kept
// with the depth's bits, so that the rate at this step's depth serves again
// as the last depth's rate of the next storage step.
double StormStep::orifice_rate_at(double depth) {
  const std::uint64_t key = std::bit_cast<std::uint64_t>(depth);
  if (!cached_ || key != cached_depth_) {
    int jh = locate_unit_grid(n_grid_, 1000.0 * depth);
    if (jh == 0) jh = 1;
    cached_rate_ = orifice_rate(depth, call_.outlet.value, coeff_[jh - 1]);
    cached_depth_ = key;
    cached_ = true;
  }
  return cached_rate_;
}

// The search's function is the basin's volume less S, and its slope the plan
// area: at the fixed points of the search (both ends of [0, D], its middle)
// they are formed once for the base, the volume less S being the same last
// operation on the same operands.
void StormStep::form_basin_terms() {
  const Storage& st = call_.storage;
  const double b = st.batter, W = st.base_w, L = st.base_l, D = st.depth;
  double unused;
  basin_cubic(b, L, W, 0.0, basin_.f_low, unused);
  basin_cubic(b, L, W, D, basin_.f_high, unused);
  basin_.mid = 0.5 * (0.0 + D);
  basin_cubic(b, L, W, basin_.mid, basin_.f_mid, basin_.df_mid);
  DepthSearch& s = search_;
  s.batter = b;
  s.cubic = (4.0 / 3.0) * (b * b);
  s.square = b * (W + L);
  s.base_area = W * L;
  s.twice_batter = 2.0 * b;
  s.length_plus_width = W + L;
}

// The depth search up to its iteration: the ends of [0, D], the base
// enlarged while they do not bracket the volume, the start of the iteration.
// Returns false when a bracket end is the root (search_.rts).
bool StormStep::start_search() {
  Storage& st = call_.storage;
  const double S = stored_, D = st.depth;
  const double x1 = 0.0, x2 = D;
  DepthSearch& s = search_;
  for (;;) {
    const double fl = basin_.f_low - S, fh = basin_.f_high - S;
    if ((fl > 0.0 && fh > 0.0) || (fl < 0.0 && fh < 0.0)) {
      // The volume does not fit: a larger base, at least 0.01 m a side so
      // that the growth is geometric.
      double& W = st.base_w;
      double& L = st.base_l;
      if (L < 0.01) L = 0.01;
      if (W < 0.01) W = 0.01;
      L = L * 1.0001;
      W = W * 1.0001;
      form_basin_terms();
      continue;
    }
    if (fl == 0.0) {
      s.rts = x1;
      return false;
    }
    if (fh == 0.0) {
      s.rts = x2;
      return false;
    }
    if (fl < 0.0) {
      s.xl = x1;
      s.xh = x2;
    } else {
      s.xh = x1;
      s.xl = x2;
    }
    s.rts = basin_.mid;
    s.dxold = std::fabs(x2 - x1);
    s.dx = s.dxold;
    s.f = basin_.f_mid - S;
    s.df = basin_.df_mid;
    s.S = S;
    return true;
  }
}

CallOutcome StormStep::outcome() const {
  CallOutcome o;
  o.results = out_;
  o.storage = call_.storage;
  o.alone = halt_ != Halt::none;
  return o;
}

}  // namespace sitedrain::storage
