#include "params/run_setup.h"

#include <cmath>
#include <limits>
#include <new>
#include <string>

#include "textio/console.h"
#include "textio/format.h"
#include "textio/stop.h"

namespace sitedrain::params {

namespace {

// first, first + step, ... up to last (down to last for a negative step).
std::vector<int> generate(int first, int last, int step) {
  std::vector<int> values;
  long long value = first;
  long long remaining = static_cast<long long>(last) - first;
  long long stride = step;
  if (step < 1) {
    stride = -static_cast<long long>(step);
    remaining = -remaining;
  }
  if (stride == 0) return values;  // refused when the parameters are read
  while (remaining >= 0) {
    values.push_back(static_cast<int>(value));
    value += step;
    remaining -= stride;
  }
  return values;
}

}  // namespace

long long sweep_count(const Triple& t) {
  if (t.step == 0) return 0;
  double n =
      static_cast<double>(static_cast<long long>(t.last) - t.first) / static_cast<double>(t.step) +
      1.0;
  if (n < 1.0) return 0;
  return static_cast<long long>(n);
}

void stop_for_allocation_failure() {
  console::line(textio::fmt_a("ALLOACTION ERROR - probably insufficient memory", 81));
  console::stop_with("Unexcpected allocation error");
}

int depth_step_count(double max_depth_m) {
  long double steps = (static_cast<long double>(max_depth_m) + 0.5L) * 1000.0L;
  if (!(steps < 2147483647.0L)) return std::numeric_limits<int>::max();
  if (!(steps > -2147483648.0L)) return std::numeric_limits<int>::min();
  return static_cast<int>(steps);
}

RunSetup make_run_setup(DesignParams& p) {
  RunSetup s;
  p.decode_modes();

  // 1. A diagnostic run must produce a single set of results.
  if (p.diagnostic_series == 1 && (p.return_periods_generated == 1 || p.durations_generated == 1 ||
                                   p.duration_count > 1 || p.return_period_count > 1)) {
    console::line("For diagnostic output make sure that there is only one set of outputs");
    console::line(" - put calcrp = 0, caldur = 0, ndur = 1 and nrp = 1");
    console::pause();
    stop(1);
  }

  // 2. Return periods.
  if (p.return_periods_generated == 1) {
    std::vector<int> rp =
        generate(p.return_periods_years[0], p.return_periods_years[1], p.return_periods_years[2]);
    p.return_period_count = static_cast<int>(rp.size());
    for (std::size_t i = 0; i < rp.size(); ++i) p.return_periods_years[i] = rp[i];
  }
  s.return_periods.assign(p.return_periods_years.begin(),
                          p.return_periods_years.begin() + p.return_period_count);

  // 3. Durations.
  try {
    if (p.durations_generated == 1) {
      s.durations = generate(p.durations_min[0], p.durations_min[1], p.durations_min[2]);
      p.duration_count = static_cast<int>(s.durations.size());
    } else {
      s.durations.assign(p.durations_min.begin(), p.durations_min.begin() + p.duration_count);
    }
  } catch (const std::bad_alloc&) {
    stop_for_allocation_failure();
  }

  if (!p.greenfield_only() && (p.return_period_count < 1 || p.duration_count < 1))
    console::stop_with("ERROR - at least one return period and one storm duration are needed");

  // 4. Storage runs: settings that no design could use stop here, before
  // any table is sized or any output file exists.
  if (p.storage_run()) {
    if (p.runoff_only == 1 && p.design_sump == 1)
      console::stop_with("ERROR - cannot have both rnf and sump set to 1");
    if (p.season_code < 1 || p.season_code > 3)
      console::stop_with("value of season must be 1,2 or 3");
    if (p.areal_reduction == 1 && p.areal_reduction_area_code != 1 &&
        p.areal_reduction_area_code != 2)
      console::stop_with("Invalid value for ctchm flag - must be 1 or 2");
    if (p.runoff_only != 1 && (p.top_length_m <= 0.0 || p.top_width_m <= 0.0))
      console::stop_with("ERROR - topl and topw must be greater than 0");
    if (p.runoff_only != 1 && !(p.max_depth_m > 0.0))
      console::stop_with("ERROR - maxdepth must be greater than 0");

    if (p.design_soakaway == 1 || p.runoff_only == 1) p.orifice_diameters_mm = {1, 1, 1};
    const bool pump = p.design_sump == 1;
    const Triple& sweep = outlet_sweep(p);
    long long outlets = sweep_count(sweep);
    if (sweep.step == 0 || outlets < 1)
      console::stop_with(pump ? "Final value of PUMPRATE is less than initial"
                              : "Final value of TPOD is less than initial");
    for (long long m = 0; m < outlets; ++m) {
      long long size = sweep.first + m * static_cast<long long>(sweep.step);
      if (size <= 0)
        console::stop_with(pump ? "ERROR - pump rates must be greater than 0"
                                : "ERROR - orifice diameters must be greater than 0");
    }
    if (outlets > std::numeric_limits<int>::max()) stop_for_allocation_failure();
    s.outlet_count = static_cast<int>(outlets);
    s.depth_steps = depth_step_count(p.max_depth_m);
    s.combinations =
        static_cast<std::int64_t>(s.outlet_count) * p.duration_count * p.return_period_count;
  }

  // 6. Storage and rainfall-only runs.
  if (!p.greenfield_only()) {
    const bool horton =
        p.loss_model == LossModel::final_horton || p.loss_model == LossModel::horton;
    if (horton && p.storm_profile_code > 1) {
      console::line("Horton model should only be used with uniform rainfall distribution -");
      console::line("The rainfall distribution has been set to uniform");
      p.storm_profile_code = 1;
      p.decode_modes();
    }
    s.total_area = 0.0;
    for (int i = 0; i < p.subcatchment_count; ++i) {
      double a = p.areas_m2[static_cast<std::size_t>(i)];
      if (a < 1.0)
        console::line("WARNING: Area of subcatchment " + std::to_string(i + 1) + " is < 1m^2");
      s.total_area = s.total_area + a;
    }
    if (p.orifice_diameters_mm.last < p.orifice_diameters_mm.first &&
        p.orifice_diameters_mm.step > 0)
      console::stop_with("Final value of TPOD is less than initial");
  }
  return s;
}

}  // namespace sitedrain::params
