// Whole rainfall table files of the bundled example runs, written from hand-built
// parameters and the catchment values of each run's descriptor file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rainfall/descriptor.h"
#include "rainfall/design_rainfall.h"
#include "rainfall_test_support.h"

namespace sitedrain::rainfall {
namespace {

using test::TextSink;

struct ExampleRun {
  const char* name;
  struct Modes {
    int ponds, sump, soak, rnf, grnff;
  } modes;
  struct Rain {
    int season, arff, ctchm;
    double cchgfac;
  } rain;
  std::vector<int> rps, durs;
  double total_area_m2;
  // catchment
  Catchment c;
  const char* expected_file;
};

Catchment catchment(int east, int north, double saar, double saar4170, double area, double C,
                    double D1, double D2, double D3, double E, double F) {
  Catchment c;
  c.easting = east;
  c.northing = north;
  c.SAAR = saar;
  c.SAAR4170 = saar4170;
  c.AREA = area;
  c.C = C;
  c.D1 = D1;
  c.D2 = D2;
  c.D3 = D3;
  c.E = E;
  c.F = F;
  return c;
}

const std::vector<ExampleRun>& example_runs() {
  static const std::vector<ExampleRun> runs = {
      {"pond_design",
       {1, 0, 0, 0, 0},
       {1, 1, 2, 1.4},
       {1, 30, 100},
       {60, 120, 240},
       16500.0 + 7200.0,
       catchment(393500, 564000, 828, 846, 1.73, -0.0224, 0.379, 0.327, 0.29, 0.279, 2.431),
       "Rainfall depth (mm) at Nat. Grid Ref.    393500  564000\n"
       "Climate change factor       1.4\n"
       "Standard period (1961-1990) Average Annual Rainfall (mm)        828.0\n"
       "\n"
       "                    return period (years)\n"
       "duration         1        30       100\n"
       " (min.)\n"
       "    60         15.8      40.5      56.8\n"
       "   120         20.6      50.1      69.0\n"
       "   240         26.7      61.9      83.7\n"},
      {"runoff_only",
       {0, 0, 0, 1, 0},
       {1, 1, 1, 1.0},
       {2, 30, 100},
       {15, 60, 360},
       14000.0 + 6500.0 + 3800.0,
       catchment(485500, 238500, 610, 624, 2.47, -0.0246, 0.37, 0.301, 0.251, 0.305, 2.374),
       "Rainfall depth (mm) at Nat. Grid Ref.    485500  238500\n"
       "Climate change factor       1.0\n"
       "Standard period (1961-1990) Average Annual Rainfall (mm)        610.0\n"
       "\n"
       "                    return period (years)\n"
       "duration         2        30       100\n"
       " (min.)\n"
       "    15          6.6      16.8      23.8\n"
       "    60         11.4      28.5      41.3\n"
       "   360         22.3      49.0      67.3\n"},
      {"soakaway_design",
       {0, 0, 1, 0, 0},
       {1, 1, 2, 1.0},
       {10, 30},
       {15, 60, 180},
       540.0 + 610.0,
       catchment(392300, 323000, 722, 740, 0.86, -0.0237, 0.36, 0.305, 0.261, 0.297, 2.412),
       "Rainfall depth (mm) at Nat. Grid Ref.    392300  323000\n"
       "Climate change factor       1.0\n"
       "Standard period (1961-1990) Average Annual Rainfall (mm)        722.0\n"
       "\n"
       "              return period (years)\n"
       "duration        10        30\n"
       " (min.)\n"
       "    15         13.4      18.6\n"
       "    60         21.7      30.4\n"
       "   180         30.4      41.3\n"},
      {"sump_design",
       {0, 1, 0, 0, 0},
       {1, 1, 2, 1.0},
       {2, 100},
       {30, 120},
       5200.0 + 3100.0,
       catchment(182500, 44800, 1150, 1178, 1.19, -0.0216, 0.372, 0.334, 0.296, 0.282, 2.541),
       "Rainfall depth (mm) at Nat. Grid Ref.    182500   44800\n"
       "Climate change factor       1.0\n"
       "Standard period (1961-1990) Average Annual Rainfall (mm)       1150.0\n"
       "\n"
       "              return period (years)\n"
       "duration         2       100\n"
       " (min.)\n"
       "    30         10.4      34.2\n"
       "   120         18.0      55.8\n"},
      {"diagnostic_single_storm",
       {0, 0, 1, 0, 0},
       {1, 1, 2, 1.0},
       {100},
       {60},
       1350.0,
       catchment(258000, 371500, 1390, 1412, 0.74, -0.0208, 0.409, 0.355, 0.319, 0.271, 2.598),
       "Rainfall depth (mm) at Nat. Grid Ref.    258000  371500\n"
       "Climate change factor       1.0\n"
       "Standard period (1961-1990) Average Annual Rainfall (mm)       1390.0\n"
       "\n"
       "        return period (years)\n"
       "duration       100\n"
       " (min.)\n"
       "    60         46.6\n"},
      {"greenfield_only",
       {0, 0, 0, 0, 1},
       {1, 1, 1, 1.0},
       {30, 100},
       {60},
       32000.0 + 18000.0,
       catchment(311500, 723500, 890, 912, 1.56, -0.0219, 0.393, 0.338, 0.302, 0.269, 2.402),
       "Rainfall depth (mm) at Nat. Grid Ref.    311500  723500\n"
       "Climate change factor       1.0\n"
       "Standard period (1961-1990) Average Annual Rainfall (mm)        890.0\n"
       "\n"
       "              return period (years)\n"
       "duration        30       100\n"
       " (min.)\n"},
  };
  return runs;
}

class ExampleRunTable : public ::testing::TestWithParam<ExampleRun> {};

TEST_P(ExampleRunTable, WritesTheExpectedRainfallTableFile) {
  const ExampleRun& r = GetParam();
  params::DesignParams p;
  p.ponds = r.modes.ponds;
  p.sump = r.modes.sump;
  p.soak = r.modes.soak;
  p.rnf = r.modes.rnf;
  p.grnff = r.modes.grnff;
  p.season = r.rain.season;
  p.arff = r.rain.arff;
  p.ctchm = r.rain.ctchm;
  p.cchgfac = r.rain.cchgfac;
  params::RunSetup setup;
  setup.return_periods = r.rps;
  setup.durations = r.durs;
  setup.total_area = r.total_area_m2;
  TextSink rain, log;
  std::string console = test::console_of([&] {
    RainfallOutcome out = DESIGN_RAINFALL(p, setup, r.c, rain, log);
    EXPECT_FALSE(out.beyond_16_days);
  });
  EXPECT_EQ(rain.text(), r.expected_file);
  EXPECT_EQ(log.text(), "");
  EXPECT_EQ(console, "");
}

INSTANTIATE_TEST_SUITE_P(Runs, ExampleRunTable, ::testing::ValuesIn(example_runs()),
                         [](const auto& info) { return std::string(info.param.name); });

// The rainfall-only run, from its descriptor file text to its summer table file.
TEST(RainfallOnlyRun, DescriptorFileToSummerTableFileByteForByte) {
  const char* descriptor =
      "340000,555800,grid reference\n"
      "AREA,4.10\nALTBAR,152\nASPBAR,211\nASPVAR,0.18\nBFIHOST,0.329\nDPLBAR,0.50\n"
      "DPSBAR,58.8\nFARL,0.998\nFPEXT,0.0773\nLDP,3.27\nPROPWET,0.38\nRMED-1H,11.9\n"
      "RMED-1D,37.3\nRMED-2D,51.2\nSAAR,850\nSAAR4170,871\nSPRHOST,24.02\n"
      "URBCONC1990,0.489\nURBEXT1990,0.0189\nURBLOC1990,0.802\nURBCONC2000,0.658\n"
      "URBEXT2000,0.1527\nURBLOC2000,1.189\nC,-0.0222\nD1,0.385\nD2,0.331\nD3,0.294\n"
      "E,0.278\nF,2.418\nC(1km),-0.0225\nD1(1km),0.38\nD2(1km),0.335\nD3(1km),0.29\n"
      "E(1km),0.281\nF(1km),2.41\n";
  const char* expected =
      "Summer rainfall depth (mm) at Nat. Grid  340000  555800\n"
      "Climate change factor       1.2\n"
      "Standard period (1961-1990) Average Annual Rainfall (mm)        850.0\n"
      "\n"
      "                                return period (years)\n"
      "duration         2        10        30       100       200\n"
      " (min.)\n"
      "    60         14.1      23.9      32.6      45.8      55.6\n"
      "   360         28.9      45.2      59.2      79.1      93.4\n"
      "  1440         46.8      69.1      87.5     112.6     130.1\n";

  const auto path = std::filesystem::temp_directory_path() /
                    ("sitedrain_cd_Carlisle_site_" + std::to_string(::getpid()) + ".csv");
  {
    std::ofstream f(path, std::ios::binary);
    f << descriptor;
  }
  params::DesignParams p;
  p.season = 2;
  p.nrp = 5;
  p.ndur = 3;
  p.cchgfac = 1.25;
  p.point = 0;
  p.arff = 1;
  p.ctchm = 1;
  params::RunSetup setup;
  setup.return_periods = {2, 10, 30, 100, 200};
  setup.durations = {60, 360, 1440};
  setup.total_area = 10000.0;

  textio::LineReader in(path.string());
  ASSERT_TRUE(in.is_open());
  Catchment c;
  auto lines = read_descriptor_lines(in, 36);
  parse_grid_reference(lines[0], in.name(), c);
  DescriptorKeys keys = parse_descriptor_values(lines, p.point, p.arff, in.name(), c);
  check_descriptor_keys(keys, p, setup, in.name());
  std::filesystem::remove(path);

  TextSink rain, log;
  RainfallOutcome out = DESIGN_RAINFALL(p, setup, c, rain, log);
  EXPECT_EQ(rain.text(), expected);
  EXPECT_EQ(log.text(), "");
  ASSERT_EQ(out.table.ndur, 3);
  ASSERT_EQ(out.table.nrp, 5);
  EXPECT_DOUBLE_EQ(out.table.at(2, 4), 1041.0 / 10.0 * 1.25);  // printed 130.1
}

}  // namespace
}  // namespace sitedrain::rainfall
