// Descriptor values outside the rainfall models' domain: refused where the
// file is read when the run needs them, and, for depth-duration-frequency
// parameters that give no usable depth, when the table is computed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rainfall/descriptor.h"
#include "rainfall/design_rainfall.h"
#include "support/capture.h"

namespace sitedrain::rainfall {
namespace {

constexpr const char* kFile = "cd_Site_2024.csv";

struct ValueCase {
  const char* name;
  const char* line;  // replaces the line of its key (line 2 AREA, 3 SAAR, 4 SAAR4170)
  int season, grnff, arff, ctchm;
  int duration;
  const char* message;  // empty: accepted
};

class DescriptorValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DescriptorValues, RefusedWhenTheRunNeedsThem) {
  const ValueCase& v = GetParam();
  std::vector<std::string> lines = {"393500,564000,grid reference", "AREA,1.73", "SAAR,828",
                                    "SAAR4170,846"};
  for (std::string& l : lines)
    if (l.substr(0, l.find(',')) == std::string(v.line).substr(0, std::string(v.line).find(',')))
      l = v.line;
  params::DesignParams p;
  p.design_pond = 1, p.season_code = v.season, p.greenfield_rates = v.grnff,
  p.areal_reduction = v.arff, p.areal_reduction_area_code = v.ctchm;
  p.decode_modes();
  params::RunSetup setup;
  setup.return_periods = {30}, setup.durations = {v.duration};
  Catchment c;
  const DescriptorKeys keys = parse_descriptor_values(lines, 0, p.areal_reduction, kFile, c);
  auto check = [&] { check_descriptor_values(keys, c, p, setup, kFile); };
  if (std::string(v.message).empty())
    EXPECT_EQ(testing::console_of(check), "");
  else
    EXPECT_EQ(testing::stop_output(check),
              std::string("ERROR - catchment descriptor file ") + kFile + ", " + v.message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DescriptorValues,
    ::testing::Values(ValueCase{"area_zero", "AREA,0", 1, 0, 1, 1, 60,
                                "line 2: value of AREA must be greater than 0"},
                      ValueCase{"area_unused", "AREA,-1", 1, 0, 1, 2, 60, ""},
                      ValueCase{"saar_winter", "SAAR,-828", 3, 0, 0, 1, 60,
                                "line 3: value of SAAR must be greater than 0"},
                      ValueCase{"saar_summer", "SAAR,0", 2, 0, 0, 1, 60,
                                "line 3: value of SAAR must be greater than 0"},
                      ValueCase{"saar_all_year", "SAAR,0", 1, 0, 0, 1, 60, ""},
                      ValueCase{"saar4170_short_storm", "SAAR4170,0", 1, 0, 0, 1, 30,
                                "line 4: value of SAAR4170 must be greater than 0"},
                      ValueCase{"saar4170_greenfield", "SAAR4170,-846", 1, 1, 0, 1, 60,
                                "line 4: value of SAAR4170 must be greater than 0"},
                      ValueCase{"saar4170_unused", "SAAR4170,0", 1, 0, 0, 1, 60, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A fuzz finding: E = 0.2D297 overflowed the depth to infinity, which the
// report would have shown as asterisks of a valid-looking design.
TEST(DesignRainfallDomain, DepthThatIsNoNumberStopsTheRun) {
  params::DesignParams p;
  p.design_pond = 1, p.season_code = 1, p.climate_change_factor = 1.0;
  params::RunSetup setup;
  setup.return_periods = {2, 30}, setup.durations = {60, 120};
  const Catchment c{.C = -0.0224, .D1 = 0.379, .D2 = 0.327, .D3 = 0.29, .E = 0.2e297, .F = 2.431};
  testing::KeptLines rain_file, log;
  EXPECT_EQ(testing::stop_output([&] { design_rainfall(p, setup, c, rain_file, log); }),
            "ERROR - the rainfall models give no finite depth for a return period of 2 years "
            "and a duration of 60 min: check the catchment descriptor values\n");
}

}  // namespace
}  // namespace sitedrain::rainfall
