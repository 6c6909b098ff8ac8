#include "storage/lane_call.h"

#include <bit>
#include <cstddef>

#include "geometry/basin.h"
#include "numeric/rtsafe.h"

namespace sitedrain::storage {

// In: the call.  Sets up the state of water_balance (the same checks; a call
// that would stop at them is for the scalar path) and runs to the first
// depth search or the end.
LaneState::Next LaneState::start(const LaneCall& call) {
  *this = LaneState();
  call_ = call;
  const Storage& st = call_.storage;
  const Outlet& outlet = call_.outlet;
  storage_run_ = call_.rnf != 1;
  pond_ = st.sump != 1 && st.soak != 1;
  if (storage_run_ && pond_ &&
      (outlet.table == nullptr || outlet.position < 1 ||
       outlet.position > static_cast<int>(outlet.table->diameters.size()))) {
    scalar_ = true;
    return Next::ended;
  }
  if (storage_run_) shalf_ = geometry::PONDVOLBASE(st.depth, st.batter, st.base_w, st.base_l) / 2.0;
  unit_grid_ = storage_run_ && pond_ && is_unit_grid(outlet.table->depth_grid);
  n_grid_ = pond_ && outlet.table ? static_cast<int>(outlet.table->depth_grid.size()) : 0;
  if (unit_grid_)
    coeff_ = outlet.table->c.data() + static_cast<std::size_t>(outlet.position - 1) *
                                          static_cast<std::size_t>(outlet.table->n_depth);
  if (storage_run_) form_basin_terms();
  unit_fill_ = 1.0 - st.ffill == 1.0;
  nsteps_ = 60 * call_.duration;
  step_ = 1;
  return run_steps();
}

LaneState::Next LaneState::resume(double h) {
  end_step(h);
  ++step_;
  return run_steps();
}

// The steps from step_ on: the inflow and the storage update of each, up to
// a depth search that needs iterating or the end of the simulation.
LaneState::Next LaneState::run_steps() {
  const double dt = 1.0;
  for (; step_ <= nsteps_; ++step_) {
    const int t = step_;
    if (t > call_.n_runoff) break;
    const double runoff = call_.runoff[t - 1];
    ++out_.steps;
    out_.total_inflow += runoff;
    if (!storage_run_) {
      if (runoff > 0.0) {
        if (t1_ == 0) t1_ = t;
        const int n = t - t1_ + 1;
        out_.tfill = n;
        if (n >= 1) out_.mean_inflow = out_.total_inflow / n;
      }
      continue;
    }
    if (!(runoff > 0.0)) continue;
    ++out_.storage_steps;
    // x / 1 is x: a pond or a sump (no fill) needs no division.
    const double change = runoff - dt * Q_;
    S_ = S_ + (unit_fill_ ? change : change / (1.0 - call_.storage.ffill));
    if (S_ < 0.0) S_ = 0.0;
    if (t1_ == 0) t1_ = t;
    double h = 0.0;
    if (S_ > 1.0) {
      // WATERDEPTH stops the run on a storage of no depth.
      if (!(call_.storage.depth > 0.0)) {
        scalar_ = true;
        return Next::ended;
      }
      if (start_search()) return Next::search;
      h = search_.rts;
    }
    end_step(h);
  }

  if (last_n_ >= 1) {
    out_.tfill = last_n_;
    out_.mean_inflow = last_total_ / last_n_;
    out_.mean_outflow = sumq_ / last_n_;
  }
  if (last_outflow_.set) {
    const double mean = last_outflow_.volume / last_outflow_.count;
    if (mean > 0.0)
      out_.ttmt = last_outflow_.smax / mean;
    else
      scalar_ = true;  // an underflow: the statistics step by step
  }
  if (last_half_.set) out_.tthmt = (last_half_.smax / 2.0) / (last_half_.volume / last_half_.count);
  out_.mean_inflow = out_.mean_inflow * 3600.0;
  out_.mean_outflow = out_.mean_outflow * 3600.0;
  out_.qmax = out_.qmax * 3600.0;
  out_.tfill = out_.tfill / 3600.0;
  out_.tthmt = out_.tthmt / 3600.0;
  out_.ttmt = out_.ttmt / 3600.0;
  return Next::ended;
}

// The rest of a storage step once its depth h is known: the outflow rate and
// the statistics.
void LaneState::end_step(double h) {
  const double dt = 1.0;
  const Storage& st = call_.storage;
  const int t = step_;
  Q_ = 0.0;
  if (h > 0.005) {
    if (st.sump == 1) {
      Q_ = call_.outlet.value / 3600.0;
    } else if (st.soak == 1) {
      Q_ = SOAKAWAY(st.base_l, st.base_w, st.batter, st.sideno, st.infiltco, h) / 3600.0;
    } else {
      const double q_prev = orifice_rate_at(h_prev_);
      const double q_now = orifice_rate_at(h);
      Q_ = (q_prev + q_now) / 3600.0 / 2.0;
    }
    sumq_ = sumq_ + Q_;
  }
  if (Q_ > out_.qmax) out_.qmax = Q_;
  if (S_ > out_.smax) out_.smax = S_;
  const int n = t - t1_ + 1;
  last_n_ = n;
  last_total_ = out_.total_inflow;
  if (sumq_ > 0.0) last_outflow_ = {true, out_.smax, sumq_, n};
  if (vhalf_ > 0.0) last_half_ = {true, out_.smax, vhalf_, nhalf_};
  if (S_ >= shalf_) {
    vhalf_ = vhalf_ + dt * Q_;
    nhalf_ = nhalf_ + 1;
  }
  h_prev_ = h;
}

// The orifice rate at a depth, the rate of the last depth evaluated kept with
// the depth's bits.
double LaneState::orifice_rate_at(double depth) {
  const std::uint64_t key = std::bit_cast<std::uint64_t>(depth);
  if (!cached_ || key != cached_h_) {
    const Outlet& outlet = call_.outlet;
    if (unit_grid_) {
      int jh = locate_unit_grid(n_grid_, 1000.0 * depth);
      if (jh == 0) jh = 1;
      cached_rate_ = orifice_rate(depth, outlet.value, coeff_[jh - 1]);
    } else {
      cached_rate_ = OUTFLOW(depth, outlet.value, *outlet.table, outlet.position);
    }
    cached_h_ = key;
    cached_ = true;
  }
  return cached_rate_;
}

// FUNCD1 is p(x) - S with the cubic p(x) of the basin, which does not
// depend on S, and its derivative does not either: at the fixed points of
// the search (both ends of [0, D], its middle) they are formed once for the
// base, and FUNCD1 there is p - S, the same last operation on the same
// operands.
void LaneState::form_basin_terms() {
  const Storage& st = call_.storage;
  const double b = st.batter, W = st.base_w, L = st.base_l, D = st.depth;
  double unused;
  numeric::FUNCD1(0.0, b, L, W, 0.0, basin_.p_low, unused);
  numeric::FUNCD1(0.0, b, L, W, D, basin_.p_high, unused);
  basin_.mid = 0.5 * (0.0 + D);
  numeric::FUNCD1(0.0, b, L, W, basin_.mid, basin_.p_mid, basin_.df_mid);
  DepthSearch& s = search_;
  s.b = b;
  s.c1 = (4.0 / 3.0) * (b * b);
  s.c2 = b * (W + L);
  s.c3 = W * L;
  s.c4 = 2.0 * b;
  s.c5 = W + L;
}

// WATERDEPTH up to the iteration of RTSAFE1: the ends of [0, D], the base
// enlarged while they do not bracket the volume, the start of the iteration.
// Returns false when a bracket end is the root (search_.rts).
bool LaneState::start_search() {
  Storage& st = call_.storage;
  const double S = S_, D = st.depth;
  const double x1 = 0.0, x2 = D;
  DepthSearch& s = search_;
  for (;;) {
    const double fl = basin_.p_low - S, fh = basin_.p_high - S;
    if ((fl > 0.0 && fh > 0.0) || (fl < 0.0 && fh < 0.0)) {
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
    s.f = basin_.p_mid - S;
    s.df = basin_.df_mid;
    s.S = S;
    return true;
  }
}

LaneOutcome LaneState::outcome() const {
  LaneOutcome o;
  o.results = out_;
  o.storage = call_.storage;
  o.scalar = scalar_;
  return o;
}

}  // namespace sitedrain::storage
