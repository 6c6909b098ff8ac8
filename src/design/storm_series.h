// The time series of a design's critical storms, for the report's
// hydrographs.  Each storm is simulated once more through the storage of
// its record's last sizing pass, with a diagnostic sink on the water
// balance (the path of the diagnostic series), so that its largest stored
// volume and outflow are the record's, bit for bit, for a sizing that
// settled.
#pragma once

#include <cstddef>
#include <vector>

#include "design/design_results.h"
#include "design/storm_sizing.h"
#include "geometry/orifice.h"
#include "params/design_params.h"

namespace sitedrain::design {

struct SeriesPoint {
  double t = 0.0;        // end of the step, s
  double rain = 0.0;     // rain intensity, mm/h
  double inflow = 0.0;   // runoff into the storage, m^3/s
  double outflow = 0.0;  // m^3/s
  double depth = 0.0;    // m
  double volume = 0.0;   // stored volume, m^3
};

struct StormSeries {
  std::size_t record = 0;           // in DesignResults::records
  std::vector<SeriesPoint> points;  // at most 1500 evenly spaced steps, and the steps of the peaks
  double max_volume = 0.0;          // over every step, m^3
  double max_outflow = 0.0;         // over every step, m^3/h
};

// In: the results.  Out: the records whose storms the report plots: the
// smallest design of each return period, of the `most` largest return
// periods when there are more.
std::vector<std::size_t> critical_records(const DesignResults& results, std::size_t most = 6);

// What simulating a record again needs besides the results.
struct SeriesInput {
  const ReportHeadData* head = nullptr;         // parameters, return periods, durations
  const geometry::CoeffTable* table = nullptr;  // pond runs
  double ratio = 1.0;
};

// In: the inputs and a record of a design run.  Out: its series.
StormSeries storm_series(const SeriesInput& in, const StormRecord& record, std::size_t index);

}  // namespace sitedrain::design
