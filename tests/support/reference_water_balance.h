// The oracle of the storm step: the water balance written plainly, as the
// method states it, with none of the program's speed-ups (no lanes, the
// depth search from its start on the basin volume every step, the orifice
// table searched by bisection at both depths of every step, the statistics
// formed at every step).  The program's water balance must give its results
// bit for bit (tests/storage/water_balance_lanes_test.cpp).
#pragma once

#include "geometry/basin.h"
#include "numeric/rtsafe.h"
#include "storage/orifice_outflow.h"
#include "storage/soakaway.h"
#include "storage/water_balance.h"
#include "textio/console.h"

namespace sitedrain::testing {

// The volume of the basin of base L by W with batter b filled to depth x,
// less S; df the plan area at depth x.
inline void basin_volume_less(double S, double b, double L, double W, double x, double& f,
                              double& df) {
  f = (4.0 / 3.0) * (b * b) * (x * x * x) + b * (W + L) * (x * x) + W * L * x - S;
  df = 4.0 * ((b * x) * (b * x)) + W * L + 2.0 * b * x * (W + L);
}

// The depth (m) at which the basin holds S, to 1e-9 m, enlarging the base by
// 1.0001 (a side under 0.01 m first raised to 0.01 m) while S does not fit.
inline double reference_water_depth(double S, double b, double& W, double& L, double D) {
  if (!(D > 0.0)) console::stop_with("Storage depth is 0 - no depth holds the stored volume");
  for (;;) {
    double h = 0.0;
    auto volume = [&](double x, double& f, double& df) { basin_volume_less(S, b, L, W, x, f, df); };
    if (numeric::rtsafe_core(volume, 0.0, D, 1.0e-9, true, "rtsafe1 exceeding maximum iterations",
                             h))
      return h;
    if (L < 0.01) L = 0.01;
    if (W < 0.01) W = 0.01;
    L = L * 1.0001;
    W = W * 1.0001;
  }
}

// The bracket position from 1 in the depth grid 1, 2, ..., n (mm) compared
// with x as reals, by bisection: the last point below x, 0 when there is none.
inline int bisection_locate(int n, double x) {
  int jl = 0, ju = n + 1;
  while (ju - jl > 1) {
    const int jm = (ju + jl) / 2;
    if (x > static_cast<double>(jm))  // the grid's point at position jm
      jl = jm;
    else
      ju = jm;
  }
  return jl;
}

// The orifice rate (m^3/h) at depth h with the coefficient of the grid point
// found by bisection in the depth grid 1, 2, ..., n (mm) (the first point at
// or under 1 mm).
inline double reference_orifice_outflow(double h, const storage::Outlet& o) {
  int jh = bisection_locate(o.table->n_depth, 1000.0 * h);
  if (jh == 0) jh = 1;
  return storage::orifice_rate(h, o.value, o.table->at(o.position, jh));
}

inline storage::Results reference_water_balance(storage::Storage& st, const storage::Outlet& outlet,
                                                int duration, bool runoff_only,
                                                storage::Inflow& inflow,
                                                storage::DiagnosticSink* diag = nullptr) {
  using params::StorageKind;
  const bool pond = st.kind != StorageKind::sump && st.kind != StorageKind::soakaway;
  if (!runoff_only && pond &&
      (outlet.table == nullptr || outlet.position < 1 ||
       outlet.position > static_cast<int>(outlet.table->diameters.size())))
    console::stop_with("No discharge coefficients for this orifice diameter");
  double shalf = 0.0;
  if (!runoff_only) shalf = geometry::basin_volume(st.depth, st.batter, st.base_w, st.base_l) / 2.0;
  storage::Results out;
  double S = 0.0, h = 0.0, h_prev = 0.0, Q = 0.0, sumq = 0.0, vhalf = 0.0;
  int nhalf = 0, t1 = 0;
  const double dt = 1.0;
  for (int t = 1; t <= 60 * duration; ++t) {
    const runoff::StepResult r = inflow.step(t);
    if (r.end) break;
    ++out.steps;
    out.rain_volume += r.rain_volume;
    out.total_inflow += r.runoff;
    if (runoff_only) {
      if (r.runoff > 0.0) {
        if (t1 == 0) t1 = t;
        const int n = t - t1 + 1;
        out.runoff_duration = n;
        if (n >= 1) out.mean_inflow = out.total_inflow / n;
      }
    } else if (r.runoff > 0.0) {
      ++out.storage_steps;
      S = S + (r.runoff - dt * Q) / (1.0 - st.fill_fraction);
      if (S < 0.0) S = 0.0;
      if (t1 == 0) t1 = t;
      h = S > 1.0 ? reference_water_depth(S, st.batter, st.base_w, st.base_l, st.depth) : 0.0;
      Q = 0.0;
      if (h > 0.005) {
        if (st.kind == StorageKind::sump)
          Q = outlet.value / 3600.0;
        else if (st.kind == StorageKind::soakaway)
          Q = storage::soakaway_outflow(st.base_l, st.base_w, st.batter, st.soakaway_sides,
                                        st.infiltration_m_per_h, h) /
              3600.0;
        else
          Q = (reference_orifice_outflow(h_prev, outlet) + reference_orifice_outflow(h, outlet)) /
              3600.0 / 2.0;
        sumq = sumq + Q;
      }
      if (Q > out.peak_outflow) out.peak_outflow = Q;
      if (S > out.peak_volume) out.peak_volume = S;
      const int n = t - t1 + 1;
      out.runoff_duration = n;
      if (n >= 1) {
        out.mean_inflow = out.total_inflow / n;
        out.mean_outflow = sumq / n;
        if (out.mean_outflow > 0.0) out.emptying_time = out.peak_volume / out.mean_outflow;
      }
      if (vhalf > 0.0) out.half_emptying_time = (out.peak_volume / 2.0) / (vhalf / nhalf);
      if (S >= shalf) {
        vhalf = vhalf + dt * Q;
        nhalf = nhalf + 1;
      }
      h_prev = h;
    }
    if (diag != nullptr)
      diag->step({t, r.rain, r.infilt, r.runoff, out.total_inflow, out.mean_inflow, r.rain_volume,
                  Q, h, S});
  }
  out.mean_inflow = out.mean_inflow * 3600.0;
  out.mean_outflow = out.mean_outflow * 3600.0;
  out.peak_outflow = out.peak_outflow * 3600.0;
  out.runoff_duration = out.runoff_duration / 3600.0;
  out.half_emptying_time = out.half_emptying_time / 3600.0;
  out.emptying_time = out.emptying_time / 3600.0;
  return out;
}

}  // namespace sitedrain::testing
