// The results of a design search as data.  The search fills them; every
// output (the full results file, the report's tables, the CSV tables) reads
// them.  Values are in the units named beside them and are exactly the
// values the search computed, unrounded; the closing tables of the report
// read them rounded to tenths (rounded_for_tables).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "greenfield/greenfield.h"
#include "params/design_params.h"
#include "rainfall/catchment.h"

namespace sitedrain::results {

// One design storm with runoff, through the storage sized for it.
struct StormRecord {
  int return_period = 0;            // years
  double outlet_size = 0.0;         // orifice diameter (mm), or pump rate of a sump (m^3/h)
  int duration = 0;                 // minutes
  double mean_inflow = 0.0;         // m^3/h
  double runoff_volume = 0.0;       // total inflow, m^3
  double water_area = 0.0;          // lagoon and storage top together, m^2
  double lagoon_area = 0.0;         // settlement lagoon, m^2
  double top_area = 0.0;            // storage top, m^2
  double top_length = 0.0;          // m
  double top_width = 0.0;           // m
  double depth = 0.0;               // m
  double base_length = 0.0;         // base of the simulation the record comes from, m
  double base_width = 0.0;          // m
  double peak_volume = 0.0;         // largest stored volume, m^3
  double peak_outflow = 0.0;        // m^3/h
  double mean_outflow = 0.0;        // m^3/h
  double outflow_24h = 0.0;         // volume let out within 24 hours, m^3 (ponds, soakaways)
  double runoff_duration = 0.0;     // h
  double emptying_time = 0.0;       // h (0: not found)
  double half_emptying_time = 0.0;  // h (0: not found)
  double lagoon_length = 0.0;       // m (0: no lagoon)
  double lagoon_width = 0.0;        // m
  double peak_rain_flow = 0.0;      // peak rainfall rate on the catchment Q_p, m^3/h
  double rain_depth = 0.0;          // mm
  double rain_volume = 0.0;         // m^3
  bool unstable = false;  // the sizing did not settle: the volume is a mean of the last two
};

// One storm of a runoff-only run.
struct RunoffRow {
  int return_period = 0;       // years
  int duration = 0;            // minutes
  double mean_inflow = 0.0;    // m^3/h
  double runoff_volume = 0.0;  // m^3
  double rain_depth = 0.0;     // mm
  double rain_volume = 0.0;    // m^3 (0: no runoff coefficient)
};

// What the head of a report states about the run.
struct ReportHeadData {
  params::DesignParams params;      // every parameter as read, with its decoded modes
  std::vector<int> return_periods;  // years
  std::vector<int> durations;       // minutes
  double total_area = 0.0;          // m^2
  rainfall::Catchment catchment;
  std::string location;     // site name
  greenfield::Rates rates;  // when grnff = 1
};

struct DesignResults {
  params::StorageKind kind = params::StorageKind::pond;
  std::vector<StormRecord> records;                 // storms with runoff, in storm order
  std::vector<std::vector<std::size_t>> governing;  // per return period: records, in outlet order
  std::vector<std::size_t> smallest;                // per return period with designs: a record
  std::vector<std::size_t> half_emptying;           // governing records half-empty in time
  std::vector<RunoffRow> runoff_rows;               // runoff-only runs, every storm
  ReportHeadData head;
};

// In: a record.  Out: the record with every rate, volume, area, dimension
// and time rounded to tenths (round_places(x, 1, 1)), as the closing tables show it.
StormRecord rounded_for_tables(const StormRecord& r);

}  // namespace sitedrain::results
