// The CSV table of storm records: its header, its row layout, and every
// number in its shortest form that reads back as the very double the record
// holds (0.1 + 0.2, 2/3, 1e-7, 1e21, the least subnormal, -0; a NaN empty).
#include "report/csv_storms.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <vector>

#include "report/csv_tables.h"

namespace sitedrain::report {
namespace {

using results::DesignResults;
using results::StormRecord;

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> parts(1);
  for (char c : s) {
    if (c == sep)
      parts.emplace_back();
    else
      parts.back().push_back(c);
  }
  return parts;
}

TEST(StormsCsv, HeaderRowsAndShortestRoundTrip) {
  DesignResults res;
  res.kind = params::StorageKind::pond;
  StormRecord a{.return_period = 30,
                .outlet_size = 75,
                .duration = 120,
                .mean_inflow = 0.1 + 0.2,
                .runoff_volume = 1234.5,
                .peak_volume = 2.0 / 3.0,
                .emptying_time = 1e-7,
                .half_emptying_time = 1e21,
                .rain_depth = 5e-324};
  StormRecord b = a;
  b.duration = 240, b.depth = -0.0, b.lagoon_width = std::numeric_limits<double>::quiet_NaN();
  b.unstable = true;
  res.records = {a, b};
  res.governing = {{1}};
  res.smallest = {1};
  std::ostringstream out;
  write_storms_csv(res, out);

  const std::vector<std::string> lines = split(out.str(), '\n');
  ASSERT_EQ(lines.size(), 4u);  // header, two rows, nothing after the last line end
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[0],
            "return_period_years,orifice_diameter_mm,duration_min,mean_inflow_m3_per_h,"
            "runoff_volume_m3,water_area_m2,lagoon_area_m2,top_area_m2,top_length_m,top_width_m,"
            "depth_m,peak_volume_m3,peak_outflow_m3_per_h,mean_outflow_m3_per_h,outflow_24h_m3,"
            "runoff_duration_h,emptying_time_h,half_emptying_time_h,lagoon_length_m,"
            "lagoon_width_m,peak_rain_flow_m3_per_h,rain_depth_mm,rain_volume_m3,unstable,"
            "governing,smallest,half_emptying\r");
  EXPECT_EQ(lines[1],
            "30,75,120,0.30000000000000004,1234.5,0,0,0,0,0,0,0.6666666666666666,0,0,0,0,1e-07,"
            "1e+21,0,0,0,5e-324,0,0,0,0,0\r");
  EXPECT_EQ(lines[2],
            "30,75,240,0.30000000000000004,1234.5,0,0,0,0,0,-0,0.6666666666666666,0,0,0,0,1e-07,"
            "1e+21,0,,0,5e-324,0,1,1,1,0\r");

  // a soakaway has no outlet column; a sump's is its pump rate
  EXPECT_EQ(storms_csv_header(params::StorageKind::soakaway).substr(0, 33),
            "return_period_years,duration_min,");
  EXPECT_EQ(split(storms_csv_header(params::StorageKind::sump), ',')[1], "pump_rate_m3_per_h");
}

// critical.csv: the governing records alone, each with its own selections
// (the smallest design and the designs that half-empty in time).
TEST(StormsCsv, CriticalKeepsTheSelectionsOfItsRecords) {
  DesignResults res;
  res.head.params.design_pond = 1;
  for (int duration : {30, 60, 120, 240}) res.records.push_back({.duration = duration});
  res.governing = {{1, 3}};
  res.smallest = {3};
  res.half_emptying = {0, 1};
  for (const auto& [name, text] : csv_tables({&res, nullptr, nullptr})) {
    if (name != "critical.csv") continue;
    const std::vector<std::string> lines = split(text, '\n');
    ASSERT_EQ(lines.size(), 4u);
    auto flags = [](const std::string& line) { return line.substr(line.size() - 8); };
    EXPECT_EQ(lines[1].substr(0, 6), "0,0,60");
    EXPECT_EQ(flags(lines[1]), "0,1,0,1\r");  // unstable, governing, smallest, half_emptying
    EXPECT_EQ(lines[2].substr(0, 7), "0,0,240");
    EXPECT_EQ(flags(lines[2]), "0,1,1,0\r");
    return;
  }
  ADD_FAILURE() << "no critical.csv";
}

}  // namespace
}  // namespace sitedrain::report
