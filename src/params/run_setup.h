// The run set-up: generated lists, the outlet sweep, table sizes, enforced
// settings and the total sub-catchment area, made once between reading the
// parameter file and reading the catchment descriptor file.
#pragma once

#include <cstdint>
#include <vector>

#include "params/design_params.h"

namespace sitedrain::params {

struct RunSetup {
  std::vector<int> return_periods;  // nrp entries, years
  std::vector<int> durations;       // ndur entries, minutes
  int outlet_count = 0;             // orifice diameters, or pump rates when sump = 1
  int depth_steps = 0;              // 1 mm depth steps of the coefficient table and grid
  std::int64_t combinations = 0;    // outlet count x ndur x nrp
  double total_area = 0.0;          // m^2, sum of the sub-catchment areas
};

// Stops the run with the message of a case too large for memory.
[[noreturn]] void stop_for_allocation_failure();

// The outlet sweep of a run, the one place it is formed: the pump rates
// (m^3/h) of a sump, else the orifice diameters (mm).
inline const Triple& outlet_sweep(const DesignParams& p) {
  return p.storage_kind == StorageKind::sump ? p.pump_rates_m3_per_h : p.orifice_diameters_mm;
}
// Number of sizes of a sweep: trunc((last - first) / step + 1.0), 0 for none.
long long sweep_count(const Triple& t);
// Size j (from 1) of a sweep.
inline double outlet_size(const Triple& t, int j) {
  return static_cast<double>(t.first + static_cast<long long>(j - 1) * t.step);
}
// The position j (from 1) of a size of a sweep.
inline int outlet_position(const Triple& t, double size) {
  return t.step != 0 ? static_cast<int>((size - t.first) / t.step) + 1 : 1;
}

// Number of 1 mm depth steps up to half a metre above the maximum depth:
// trunc((max_depth_m + 0.5) * 1000) formed in extended precision, so that
// max_depth_m = 1.2 gives 1699.  The one expression for every user of the count.
int depth_step_count(double max_depth_m);

// Makes the set-up (it may change p: generated lists, nrp, ndur, the tpod
// triple of soakaway and runoff-only runs, strmprf).  Shows the warnings and
// stops the run on the conditions of the set-up.
RunSetup make_run_setup(DesignParams& p);

}  // namespace sitedrain::params
