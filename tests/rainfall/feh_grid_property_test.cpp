// End to end: an export whose FEH22 grid holds the 1999 model's own depths
// gives back, with DDFMODEL = 'FEH22', the rainfall table rows of the FEH99
// run for every duration of an hour or more (the 1999 model is bilinear in
// ln(duration) and the Gumbel variate between its nodes at 12 and 48 hours).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "rainfall/feh.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

// The rows of a rainfall table file: the lines after " (min.)".
std::string rows_of(const std::string& table) {
  const std::size_t at = table.find(" (min.)\n");
  return at == std::string::npos ? std::string() : table.substr(at + 8);
}

TEST(FehGridProperty, GridOfThe1999ModelGivesItsTableBack) {
  const TempDir dir("feh_grid_property");
  copy_files(case_dir("rainfall_only"),
             dir);  // summer, areal_reduction_factor on AREA, factor 1.25
  std::string params = read_file(dir / "params.txt");
  params = replaced(params, "caldur          0", "caldur          1");  // 60 to 14400 min, step 290
  params = replaced(params, "60\n                360\n                1440",
                    "60\n                14400\n                290");
  write_file(dir / "params.txt", params);
  ASSERT_EQ(run_program(dir).status, 0);
  const std::string feh99 = rows_of(read_file(dir / "RainSU.txt"));

  // The 1999 catchment parameters of the case's descriptor file.
  const double C = -0.0222, D1 = 0.385, D2 = 0.331, D3 = 0.294, E = 0.278, F = 2.418;
  const int hours[] = {1, 2, 4, 6, 12, 18, 24, 48, 96, 192, 240};
  const int rps[] = {2, 5, 20, 50, 150, 500, 1000};  // 10, 30, 100, 200 between
  std::string xml = "<FEHDescriptors><CatchmentDescriptors x=\"340000\" y=\"555800\">";
  xml += "<area>4.10</area><saar>850</saar><CatchmentAverageDDF2022Values><ReturnPeriods>";
  for (int T : rps) xml += (T == 2 ? "" : ", ") + std::to_string(T);
  xml += "</ReturnPeriods>\n";
  char depth[40];
  for (int h : hours) {
    xml += "<Depths duration=\"" + std::to_string(h) + "\">";
    for (int T : rps) {
      std::snprintf(depth, sizeof depth, "%s%.17g", T == 2 ? "" : ",",
                    rainfall::feh99_depth(C, D1, D2, D3, E, F, T, 60 * h));
      xml += depth;
    }
    xml += "</Depths>\n";
  }
  write_file(dir / "cd_Carlisle_site.xml",
             xml + "</CatchmentAverageDDF2022Values></CatchmentDescriptors></FEHDescriptors>\n");
  write_file(dir / "PSnamel.nml", replaced(read_file(dir / "PSnamel.nml"), "cd_Carlisle_site.csv'",
                                           "cd_Carlisle_site.xml', DDFMODEL = 'FEH22'"));
  ASSERT_EQ(run_program(dir).status, 0);
  const std::string feh22 = read_file(dir / "RainSU.txt");
  EXPECT_NE(feh22.find("\nRainfall depths from the FEH22 catchment depth grid\n"),
            std::string::npos);
  EXPECT_EQ(std::count(feh99.begin(), feh99.end(), '\n'), 50);
  EXPECT_EQ(rows_of(feh22), feh99);
}

}  // namespace
}  // namespace sitedrain::testing
