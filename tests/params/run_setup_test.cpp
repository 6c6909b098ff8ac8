// The run set-up: generated lists, outlet sweeps, depth step count, and the
// stops and warnings of the set-up as the program shows them.
#include "params/run_setup.h"

#include <gtest/gtest.h>

#include "support/base_case.h"

namespace sitedrain::testing {
namespace {

using params::DesignParams;
using params::make_run_setup;

DesignParams pond() {
  DesignParams p;
  p.design_pond = 1, p.season_code = 1, p.areal_reduction_area_code = 2, p.storm_profile_code = 1,
  p.loss_model_code = 2;
  p.return_period_count = 1, p.return_periods_years[0] = 2, p.duration_count = 1,
  p.durations_min[0] = 60, p.subcatchment_count = 1, p.areas_m2[0] = 1000.0;
  p.top_length_m = 30, p.top_width_m = 15, p.max_depth_m = 1.5,
  p.orifice_diameters_mm = {50, 100, 25}, p.pump_rates_m3_per_h = {10, 100, 10};
  return p;
}

TEST(RunSetup, GeneratedAndListedStorms) {
  DesignParams p = pond();
  p.return_periods_generated = 1, p.return_period_count = 3, p.return_periods_years[0] = 2,
  p.return_periods_years[1] = 100, p.return_periods_years[2] = 10;
  EXPECT_EQ(make_run_setup(p).return_periods,
            (std::vector<int>{2, 12, 22, 32, 42, 52, 62, 72, 82, 92}));
  EXPECT_EQ(p.return_period_count, 10);
  EXPECT_EQ(p.return_periods_years[9], 92);
  EXPECT_EQ(p.return_periods_years[10], params::kUnsetInt);
  p = pond();
  p.durations_generated = 1, p.duration_count = 3, p.durations_min = {60, 360, 60};
  EXPECT_EQ(make_run_setup(p).durations, (std::vector<int>{60, 120, 180, 240, 300, 360}));
  EXPECT_EQ(p.duration_count, 6);
  p = pond();
  p.duration_count = 2, p.durations_min = {30, 60, params::kUnsetInt};
  EXPECT_EQ(make_run_setup(p).durations, (std::vector<int>{30, 60}));
}

TEST(RunSetup, OutletSweepsAndTableSizes) {
  const struct {
    params::Triple tpod;
    int sump, soak, rnf, expected;
  } cases[] = {
      {{50, 100, 25}, 0, 0, 0, 3},  {{50, 90, 25}, 0, 0, 0, 2},  {{100, 50, -10}, 0, 0, 0, 6},
      {{75, 75, 5}, 0, 0, 0, 1},    {{50, 100, 25}, 0, 1, 0, 1}, {{50, 100, 25}, 0, 0, 1, 1},
      {{50, 100, 25}, 1, 0, 0, 10},  // the pump sweep 10..100 by 10
  };
  for (const auto& c : cases) {
    DesignParams p = pond();
    p.orifice_diameters_mm = c.tpod, p.design_sump = c.sump, p.design_soakaway = c.soak,
    p.runoff_only = c.rnf;
    if (c.rnf) p.design_pond = 0;
    auto s = make_run_setup(p);
    EXPECT_EQ(s.outlet_count, c.expected) << c.tpod.first << " " << c.tpod.last;
    EXPECT_EQ(s.combinations, c.expected);
    EXPECT_TRUE(!(c.soak || c.rnf) || p.orifice_diameters_mm.first == 1);
  }
}

TEST(RunSetup, DepthStepsHortonProfileAndTotalArea) {
  EXPECT_EQ(params::depth_step_count(1.2), 1699);  // in extended precision
  EXPECT_EQ(params::depth_step_count(1.5), 2000);
  EXPECT_EQ(params::depth_step_count(2.0), 2500);
  EXPECT_EQ(params::depth_step_count(0.0), 500);
  for (int rom : {0, 1, 4, -1, 2}) {  // the Horton models force the uniform profile
    DesignParams p = pond();
    p.loss_model_code = rom, p.storm_profile_code = 3;
    make_run_setup(p);
    EXPECT_EQ(p.storm_profile_code, rom == 2 ? 3 : 1) << rom;
  }
  DesignParams p = pond();  // small areas count in the total
  p.subcatchment_count = 2, p.areas_m2[0] = 0.5, p.areas_m2[1] = 100.0;
  EXPECT_DOUBLE_EQ(make_run_setup(p).total_area, 100.5);
}

TEST(RunSetupMessages, StopsBeforeAnyOutputFile) {
  const Lines b = base_parameter_lines();
  const Lines sump = set(b, "sump", "     1");
  const Lines greenfield_sump = greenfield_only(sump);  // season, ctchm unchecked at reading
  const std::string tpod = "Final value of TPOD is less than initial\n";
  const struct {
    Lines lines;
    std::string console;
  } cases[] = {
      {set(b, "diagf", "     1"),  // a diagnostic run with two storms
       "For diagnostic output make sure that there is only one set of outputs\n"
       " - put calcrp = 0, caldur = 0, ndur = 1 and nrp = 1\n"},
      {set(b, "tpod", "   100    50    10"), tpod},
      {set(b, "tpod", "   100   150     0"), tpod},
      {set(sump, "tpod", "   100    50    10"), tpod},
      {set(sump, "pumprate", "   100    10    10"),
       "Final value of PUMPRATE is less than initial\n"},
      {set(sump, "rnf", "     1"), "ERROR - cannot have both rnf and sump set to 1\n"},
      {set(b, "topw", "     0"), "ERROR - topl and topw must be greater than 0\n"},
      {set(b, "maxdepth", "         0.0"), "ERROR - maxdepth must be greater than 0\n"},
      {set(b, "tpod", "     0    50    25"), "ERROR - orifice diameters must be greater than 0\n"},
      {set(sump, "pumprate", "   -10    10    10"), "ERROR - pump rates must be greater than 0\n"},
      {set(greenfield_sump, "season", "     7"), "value of season must be 1,2 or 3\n"},
      {set(greenfield_sump, "ctchm", "     0"), "Invalid value for ctchm flag - must be 1 or 2\n"},
  };
  for (const auto& c : cases) expect_stop(c.lines, c.console);
}

TEST(RunSetupMessages, Warnings) {
  Lines l = set(set(base_parameter_lines(), "rom", "     1"), "surface", "     1");
  l[record_index(l, "area") + 1] = record("", "         0.5", false);
  const Outcome o = run_with(l);
  const std::string expected =
      "PSnamel.nml\n"
      "Horton model should only be used with uniform rainfall distribution -\n"
      "The rainfall distribution has been set to uniform\n"
      "WARNING: Area of subcatchment 2 is < 1m^2\n"
      "Calculating the pond dimensions\n";
  EXPECT_EQ(o.run.console.substr(0, expected.size()), expected);
  EXPECT_EQ(o.run.status, 0);
}

}  // namespace
}  // namespace sitedrain::testing
