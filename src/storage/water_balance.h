// PONDWATERBALANCE: one design storm, second by second, through a trial
// storage (an attenuation pond with a throttle-plate orifice, a pumped sump
// or a soakaway), or as runoff only.
#pragma once

#include "geometry/orifice.h"
#include "runoff/runoff_step.h"
#include "storage/diagnostic_sink.h"

namespace sitedrain::storage {

// The trial storage (items 1-9).  base_w and base_l are in/out: the depth
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

// The outlet (items 10, 12-16).
struct Outlet {
  double value = 0.0;                          // orifice diameter (mm) or pump rate (m^3/h)
  const geometry::CoeffTable* table = nullptr; // pond runs
  int position = 1;                            // of the diameter in the table's list, from 1
};

// Items 27-35, in the units on return.
struct Results {
  double smax = 0.0;          // 27 largest stored volume, m^3
  double qmax = 0.0;          // 28 largest outflow rate, m^3/h
  double rain_volume = 0.0;   // 29 total rain volume, m^3
  double mean_inflow = 0.0;   // 30 mean inflow rate, m^3/h
  double total_inflow = 0.0;  // 31 total inflow, m^3
  double mean_outflow = 0.0;  // 32 mean outflow rate, m^3/h
  double tfill = 0.0;         // 33 duration of runoff, h
  double ttmt = 0.0;          // 34 emptying time, h
  double tthmt = 0.0;         // 35 half-emptying time, h
};

// One storm simulation.  diag: nullptr for diagnostic flag 0, else the sink
// that receives one record per step.
Results PONDWATERBALANCE(Storage& storage, const Outlet& outlet, double dt,
                         const runoff::SubCatchments& subs, const runoff::StormSpec& storm,
                         int rnf, DiagnosticSink* diag);

// Depth (m) at which the storage holds S; enlarges base_l and base_w by
// 1.0001 until S fits within the depth D.
double WATERDEPTH(double S, double b, double& W, double& L, double D);

// Orifice outflow rate (m^3/h) at depth h (m) for diameter d (mm).
double OUTFLOW(double h, double d, const geometry::CoeffTable& table, int position);

// Bisection in an ordered integer list: the bracket position (0 before the
// first entry).  list is 1-based in the result.
int LOCATE(const std::vector<int>& list, double x);

}  // namespace sitedrain::storage
