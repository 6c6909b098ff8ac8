// PONDWATERBALANCE: one design storm, second by second, through a trial
// storage (an attenuation pond with a throttle-plate orifice, a pumped sump
// or a soakaway), or as runoff only.
//
// The step loop is generic in its inflow source so that the runoff of a storm
// can be computed live (runoff::StormRunoff) or replayed from a record.
#pragma once

#include <bit>
#include <cstdint>

#include "geometry/basin.h"
#include "geometry/orifice.h"
#include "runoff/runoff_step.h"
#include "storage/diagnostic_sink.h"
#include "storage/orifice_outflow.h"
#include "storage/soakaway.h"
#include "storage/water_depth.h"
#include "textio/console.h"

namespace sitedrain::storage {

// The trial storage.  base_w and base_l are in/out: the depth
// search enlarges them when the storage cannot hold the stored volume.
struct Storage {
  double depth = 0.0;    // D, m
  double base_w = 0.0;   // W, m
  double base_l = 0.0;   // L, m
  double batter = 0.0;   // b
  int sump = 0;
  int soak = 0;
  int sideno = 0;
  double ffill = 0.0;    // 0 for ponds and sumps
  double infiltco = 0.0; // m/h
};

// The outlet.
struct Outlet {
  double value = 0.0;                          // orifice diameter (mm) or pump rate (m^3/h)
  const geometry::CoeffTable* table = nullptr; // pond runs
  int position = 1;                            // of the diameter in the table's list, from 1
};

// What one simulation returns.
struct Results {
  double smax = 0.0;          // largest stored volume, m^3
  double qmax = 0.0;          // largest outflow rate, m^3/h
  double rain_volume = 0.0;   // total rain volume, m^3
  double mean_inflow = 0.0;   // mean inflow rate, m^3/h
  double total_inflow = 0.0;  // total inflow, m^3
  double mean_outflow = 0.0;  // mean outflow rate, m^3/h
  double tfill = 0.0;         // duration of runoff, h
  double ttmt = 0.0;          // emptying time, h
  double tthmt = 0.0;         // half-emptying time, h
  // Work done, for the benchmark: steps simulated and storage steps among them.
  int steps = 0;
  int storage_steps = 0;
  // False when the statistics, formed once at the end of the call, could not
  // be formed exactly as step by step; the call must then be made again with
  // statistics step by step.
  bool exact = true;
};

// One storm simulation of duration minutes in steps of dt seconds (whole
// seconds count), taking each step's rain and runoff from inflow:
//   runoff::StepResult inflow.step(int t, double dt)   (t = end of the step, s)
// rnf = 1 accumulates the runoff figures only.  diag: nullptr for no
// diagnostic output, else the sink that receives one record per step (none
// for a step that ends the simulation).  The storage's base comes back
// enlarged when the stored volume did not fit.  The working state lives in
// this call; the loop allocates nothing.
// How the orifice rates are found.  reference: OUTFLOW at the previous and at
// this storage step's depth, each with the bisection LOCATE; fast: the rate
// of the previous storage step kept, and the grid point found directly on the
// grid 1..n.  Both give the same rates, bit for bit.
enum class Lookup { reference, fast };

// kDeferStats: the mean rates and emptying times are formed once from the
// values of the last storage step that set them, instead of at every storage
// step (same operands, same results; no diagnostic series then).
template <class Inflow, Lookup kLookup = Lookup::fast, bool kDeferStats = false>
Results water_balance(Storage& storage, const Outlet& outlet, double dt, int duration, int rnf,
                      Inflow& inflow, DiagnosticSink* diag);

// One storm simulation with the runoff of the given sub-catchments.
Results PONDWATERBALANCE(Storage& storage, const Outlet& outlet, double dt,
                         const runoff::SubCatchments& subs, const runoff::StormSpec& storm,
                         int rnf, DiagnosticSink* diag);

// ---------------------------------------------------------------------------

template <class Inflow, Lookup kLookup, bool kDeferStats>
Results water_balance(Storage& storage, const Outlet& outlet, double dt, int duration, int rnf,
                      Inflow& inflow, DiagnosticSink* diag) {
  const bool storage_run = rnf != 1;
  const bool pond = storage.sump != 1 && storage.soak != 1;
  if (storage_run && pond &&
      (outlet.table == nullptr || outlet.position < 1 ||
       outlet.position > static_cast<int>(outlet.table->diameters.size())))
    console::stop_with("No discharge coefficients for this orifice diameter");
  const int idt = static_cast<int>(dt);  // whole seconds
  if (idt <= 0) console::stop_with("Water balance time step is under one second");

  // Half the volume of the storage filled to its full depth.
  double shalf = 0.0;
  if (storage_run)
    shalf = geometry::PONDVOLBASE(storage.depth, storage.batter, storage.base_w,
                                  storage.base_l) /
            2.0;

  Results out;
  double S = 0.0;       // stored volume (gross, with the fill, for a soakaway), m^3
  double h = 0.0;       // depth, m
  double h_prev = 0.0;  // depth of the previous storage step, m
  double Q = 0.0;       // outflow rate, m^3/s
  double sumq = 0.0;    // summed outflow rates
  double vhalf = 0.0;   // outflow volume while at least half full, m^3
  int nhalf = 0;        // and its step count
  int t1 = 0;           // time of the first runoff, s (0: none yet)

  // The orifice rate as OUTFLOW gives it.  On the usual depth grid 1..n the
  // grid point comes from locate_unit_grid, which equals LOCATE there.
  const bool unit_grid = storage_run && pond && is_unit_grid(outlet.table->depth_grid);
  const int n_grid = pond && outlet.table ? static_cast<int>(outlet.table->depth_grid.size()) : 0;
  auto outflow = [&](double depth) {
    if (!unit_grid) return OUTFLOW(depth, outlet.value, *outlet.table, outlet.position);
    int jh = locate_unit_grid(n_grid, 1000.0 * depth);
    if (jh == 0) jh = 1;
    return orifice_rate(depth, outlet.value, outlet.table->at(outlet.position, jh));
  };
  // Orifice rate of the last depth evaluated, kept with the depth's bits: the
  // same depth gives the same rate, so the rate at this step's depth serves
  // again as the previous-depth rate of the next storage step.
  bool cached = false;
  std::uint64_t cached_h = 0;
  double cached_rate = 0.0;
  auto orifice_rate_at = [&](double depth) {
    const std::uint64_t key = std::bit_cast<std::uint64_t>(depth);
    if (!cached || key != cached_h) {
      cached_rate = outflow(depth);
      cached_h = key;
      cached = true;
    }
    return cached_rate;
  };

  // With kDeferStats: the values of the last storage step, the last with
  // outflow so far, and the last with outflow while at least half full.
  struct Deferred {
    int n = 0;
    double total = 0.0;
    struct Mark {
      bool set = false;
      double smax = 0.0, volume = 0.0;
      int count = 0;
    } outflow, half;
  } last;
  static_assert(!(kDeferStats && kLookup == Lookup::reference));

  const int nsteps = (60 * duration) / idt;
  for (int step = 1, t = idt; step <= nsteps; ++step, t += idt) {
    const runoff::StepResult r = inflow.step(t, dt);
    if (r.end) break;
    ++out.steps;
    out.rain_volume += r.rain_volume;
    out.total_inflow += r.runoff;

    if (!storage_run) {
      if (r.runoff > 0.0) {
        if (t1 == 0) t1 = t;
        const int n = t - t1 + 1;
        out.tfill = n;
        if (n >= 1) out.mean_inflow = out.total_inflow / n;
      }
    } else if (r.runoff > 0.0) {
      ++out.storage_steps;
      S = S + (r.runoff - dt * Q) / (1.0 - storage.ffill);
      if (S < 0.0) S = 0.0;
      if (t1 == 0) t1 = t;
      // The depth follows the stored volume; 1 m^3 or less counts as empty.
      h = S > 1.0 ? WATERDEPTH(S, storage.batter, storage.base_w, storage.base_l, storage.depth)
                  : 0.0;
      Q = 0.0;
      if (h > 0.005) {
        if (storage.sump == 1) {
          Q = outlet.value / 3600.0;
        } else if (storage.soak == 1) {
          Q = SOAKAWAY(storage.base_l, storage.base_w, storage.batter, storage.sideno,
                       storage.infiltco, h) /
              3600.0;
        } else {
          double q_prev, q_now;
          if constexpr (kLookup == Lookup::reference) {
            q_prev = OUTFLOW(h_prev, outlet.value, *outlet.table, outlet.position);
            q_now = OUTFLOW(h, outlet.value, *outlet.table, outlet.position);
          } else {
            q_prev = orifice_rate_at(h_prev);
            q_now = orifice_rate_at(h);
          }
          Q = (q_prev + q_now) / 3600.0 / 2.0;
        }
        sumq = sumq + Q;
      }
      if (Q > out.qmax) out.qmax = Q;
      if (S > out.smax) out.smax = S;
      const int n = t - t1 + 1;
      if constexpr (kDeferStats) {
        last.n = n;
        last.total = out.total_inflow;
        if (sumq > 0.0) last.outflow = {true, out.smax, sumq, n};
        if (vhalf > 0.0) last.half = {true, out.smax, vhalf, nhalf};
      } else {
        out.tfill = n;
        if (n >= 1) {
          out.mean_inflow = out.total_inflow / n;
          out.mean_outflow = sumq / n;
          if (out.mean_outflow > 0.0) out.ttmt = out.smax / out.mean_outflow;
        }
        if (vhalf > 0.0) out.tthmt = (out.smax / 2.0) / (vhalf / nhalf);
      }
      if (S >= shalf) {
        vhalf = vhalf + dt * Q;
        nhalf = nhalf + 1;
      }
      h_prev = h;
    }

    if (diag != nullptr) {
      DiagnosticStep d;
      d.t = t;
      d.rain = r.rain;
      d.infilt = r.infilt;
      d.inflow = r.runoff;
      d.cumflow = out.total_inflow;
      d.meanflow = out.mean_inflow;
      d.rain_volume = r.rain_volume;
      d.flowout = Q;
      d.depth = h;
      d.storage = S;
      diag->step(d);
    }
  }

  if constexpr (kDeferStats) {
    if (last.n >= 1) {
      out.tfill = last.n;
      out.mean_inflow = last.total / last.n;
      out.mean_outflow = sumq / last.n;
    }
    if (last.outflow.set) {
      const double mean = last.outflow.volume / last.outflow.count;
      if (mean > 0.0)
        out.ttmt = last.outflow.smax / mean;
      else
        out.exact = false;  // an underflow: the time of an earlier step would stand
    }
    if (last.half.set) out.tthmt = (last.half.smax / 2.0) / (last.half.volume / last.half.count);
  }
  out.mean_inflow = out.mean_inflow * 3600.0;
  out.mean_outflow = out.mean_outflow * 3600.0;
  out.qmax = out.qmax * 3600.0;
  out.tfill = out.tfill / 3600.0;
  out.tthmt = out.tthmt / 3600.0;
  out.ttmt = out.ttmt / 3600.0;
  return out;
}

}  // namespace sitedrain::storage
