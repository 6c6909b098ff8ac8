// The time series of a design's critical storms, for the report's
// hydrographs.  Each storm is simulated once more through the storage of
// its record's last sizing pass, with a diagnostic sink on the water
// balance (the path of the diagnostic series), so that its largest stored
// volume and outflow are the record's, bit for bit, for a sizing that
// settled.  After the storm the same water balance goes on without inflow
// (the drain-down) until the storage is empty (1 m^3 or less, as the water
// balance counts it), lets nothing more out, or 48 hours from the storm's
// start have passed.
#pragma once

#include <cstddef>
#include <vector>

#include "design/storm_sizing.h"
#include "geometry/orifice.h"
#include "params/design_params.h"
#include "results/design_results.h"

namespace sitedrain::design {

// The drain-down ends at the latest this long after the storm's start.
constexpr int kDrainDownLimitS = 48 * 3600;

// The lowest, highest and mean value over the steps a kept point stands for.
struct StepRange {
  double low = 0.0, high = 0.0, mean = 0.0;
};

struct SeriesPoint {
  double t = 0.0;                        // end of the step, s
  double rain = 0.0;                     // rain intensity, mm/h
  double inflow = 0.0;                   // runoff into the storage, m^3/s
  double outflow = 0.0;                  // m^3/s
  double depth = 0.0;                    // m
  double volume = 0.0;                   // stored volume, m^3
  StepRange outflow_range, depth_range;  // over the steps since the point before
};

// How the drain-down ended.
using storage::DrainEnd;

struct StormSeries {
  std::size_t record = 0;           // in results::DesignResults::records
  std::vector<SeriesPoint> points;  // evenly spaced steps, the steps of the peaks and the last
  double max_volume = 0.0;          // over every step, m^3
  double max_outflow = 0.0;         // over every step, m^3/h
  double storm_end = 0.0;           // time of the storm's last step, s
  double end = 0.0;                 // time of the drain-down's last step, s
  DrainEnd drain_end = DrainEnd::emptied;
  double peak_volume_time = 0.0;  // s
  double half_volume_time =
      -1.0;             // first time after the peak with at most half of it, s (< 0: none)
  int pump_starts = 0;  // sumps: times the pump started
  int most_starts_in_an_hour = 0;  // in any hour counted from the storm's start
};

// In: the results.  Out: the records whose storms the report plots: the
// smallest design of each return period, of the `most` largest return
// periods when there are more.
std::vector<std::size_t> critical_records(const results::DesignResults& results,
                                          std::size_t most = 6);

// In: the results.  Out: the records to simulate again: those the report
// plots and, for a pumped sump, every governing record (its pump starts are
// a design check).
std::vector<std::size_t> simulated_records(const results::DesignResults& results);

// What simulating a record again needs besides the results.
struct SeriesInput {
  const results::ReportHeadData* head = nullptr;  // parameters, return periods, durations
  const geometry::CoeffTable* table = nullptr;    // pond runs
  double ratio = 1.0;
};

// In: the inputs and a record of a design run.  Out: its series, the
// drain-down included.
StormSeries storm_series(const SeriesInput& in, const results::StormRecord& record,
                         std::size_t index);

}  // namespace sitedrain::design
