// The run set-up: generated lists, outlet sweeps, depth step count, and the
// stops and warnings of the set-up as the program shows them.
#include <gtest/gtest.h>

#include <functional>

#include "params/run_setup.h"
#include "support/base_case.h"
#include "support/run_case.h"
#include "textio/stop.h"

namespace sitedrain::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using params::DesignParams;
using params::RUN_SETUP;

DesignParams pond() {
  DesignParams p;
  p.ponds = 1;
  p.season = 1;
  p.ctchm = 2;
  p.strmprf = 1;
  p.rom = 2;
  p.nrp = 1;
  p.rp[0] = 2;
  p.ndur = 1;
  p.dur[0] = 60;
  p.nsubc = 1;
  p.area[0] = 1000.0;
  p.topl = 30;
  p.topw = 15;
  p.maxdepth = 1.5;
  p.tpod = {50, 100, 25};
  p.pumprate = {10, 100, 10};
  return p;
}

TEST(RunSetup, GeneratedReturnPeriods) {
  DesignParams p = pond();
  p.calcrp = 1;
  p.nrp = 3;
  p.rp[0] = 2, p.rp[1] = 100, p.rp[2] = 10;
  auto s = RUN_SETUP(p);
  EXPECT_EQ(s.return_periods, (std::vector<int>{2, 12, 22, 32, 42, 52, 62, 72, 82, 92}));
  EXPECT_EQ(p.nrp, 10);
  EXPECT_EQ(p.rp[9], 92);
  EXPECT_EQ(p.rp[10], params::kUnsetInt);
}

TEST(RunSetup, DurationLists) {
  DesignParams p = pond();
  p.caldur = 1;
  p.ndur = 3;
  p.dur = {60, 360, 60};
  auto s = RUN_SETUP(p);
  EXPECT_EQ(s.durations, (std::vector<int>{60, 120, 180, 240, 300, 360}));
  EXPECT_EQ(p.ndur, 6);

  DesignParams q = pond();
  q.ndur = 2;
  q.dur = {30, 60, params::kUnsetInt};
  EXPECT_EQ(RUN_SETUP(q).durations, (std::vector<int>{30, 60}));
}

TEST(RunSetup, OutletSweepsAndTableSizes) {
  struct Case {
    params::Triple tpod;
    int sump, soak, rnf;
    int expected;
  };
  const Case cases[] = {
      {{50, 100, 25}, 0, 0, 0, 3},  {{50, 90, 25}, 0, 0, 0, 2},  {{100, 50, -10}, 0, 0, 0, 6},
      {{75, 75, 5}, 0, 0, 0, 1},    {{50, 100, 25}, 0, 1, 0, 1}, {{50, 100, 25}, 0, 0, 1, 1},
      {{50, 100, 25}, 1, 0, 0, 10},  // the pump sweep 10..100 by 10
  };
  for (const Case& c : cases) {
    DesignParams p = pond();
    p.tpod = c.tpod;
    p.sump = c.sump;
    p.soak = c.soak;
    p.rnf = c.rnf;
    if (c.rnf) p.ponds = 0;
    auto s = RUN_SETUP(p);
    EXPECT_EQ(s.outlet_count, c.expected) << c.tpod.first << " " << c.tpod.last;
    EXPECT_EQ(s.combinations, c.expected);
    EXPECT_EQ(s.tables.records.size(), static_cast<std::size_t>(19 * c.expected));
    if (c.soak || c.rnf) {
      EXPECT_EQ(p.tpod.first, 1);
    }
  }
}

TEST(RunSetup, DepthStepCountInExtendedPrecision) {
  EXPECT_EQ(params::depth_step_count(1.2), 1699);
  EXPECT_EQ(params::depth_step_count(1.5), 2000);
  EXPECT_EQ(params::depth_step_count(2.0), 2500);
  EXPECT_EQ(params::depth_step_count(0.0), 500);
}

TEST(RunSetup, HortonModelsForceTheUniformProfile) {
  for (int rom : {0, 1, 4, -1}) {
    DesignParams p = pond();
    p.rom = rom;
    p.strmprf = 3;
    RUN_SETUP(p);
    EXPECT_EQ(p.strmprf, 1) << rom;
  }
  DesignParams p = pond();
  p.rom = 2;
  p.strmprf = 3;
  RUN_SETUP(p);
  EXPECT_EQ(p.strmprf, 3);
}

TEST(RunSetup, SmallAreasCountInTheTotal) {
  DesignParams p = pond();
  p.nsubc = 2;
  p.area[0] = 0.5;
  p.area[1] = 100.0;
  EXPECT_DOUBLE_EQ(RUN_SETUP(p).total_area, 100.5);
}

// The program's own view: the set-up's stops, its pause and its warnings.
struct Outcome {
  RunResult run;
  bool outputs_exist = false;
};

Outcome run_with(const Lines& lines) {
  fs::path dir = make_temp_dir("setup");
  write_case(dir, lines);
  Outcome o;
  o.run = run_program(dir, "\n");
  for (int j = 1; j <= 8; ++j)
    if (fs::exists(dir / ("out" + std::to_string(j) + ".txt"))) o.outputs_exist = true;
  fs::remove_all(dir);
  return o;
}

Lines set(Lines lines, const std::string& key, const std::string& value) {
  std::size_t i = record_index(lines, key);
  lines[i] = lines[i].substr(0, 16) + value;
  return lines;
}

TEST(RunSetupMessages, StopsBeforeAnyOutputFile) {
  struct Case {
    std::string name;
    std::function<Lines(Lines)> change;
    std::string console;
  };
  const std::vector<Case> cases = {
      {"diagnostic run with two storms", [](Lines l) { return set(l, "diagf", "     1"); },
       "For diagnostic output make sure that there is only one set of outputs\n"
       " - put calcrp = 0, caldur = 0, ndur = 1 and nrp = 1\n"},
      {"orifice sweep backwards", [](Lines l) { return set(l, "tpod", "   100    50    10"); },
       "Final value of TPOD is less than initial\n"},
      {"orifice sweep with no step", [](Lines l) { return set(l, "tpod", "   100   150     0"); },
       "Final value of TPOD is less than initial\n"},
      {"sump run with a backward orifice sweep",
       [](Lines l) { return set(set(l, "sump", "     1"), "tpod", "   100    50    10"); },
       "Final value of TPOD is less than initial\n"},
      {"pump sweep backwards",
       [](Lines l) { return set(set(l, "sump", "     1"), "pumprate", "   100    10    10"); },
       "Final value of PUMPRATE is less than initial\n"},
      {"runoff-only sump", [](Lines l) { return set(set(l, "sump", "     1"), "rnf", "     1"); },
       "ERROR - cannot have both rnf and sump set to 1\n"},
      {"zero top width", [](Lines l) { return set(l, "topw", "     0"); },
       "ERROR - topl and topw must be greater than 0\n"},
      {"zero maximum depth", [](Lines l) { return set(l, "maxdepth", "         0.0"); },
       "ERROR - maxdepth must be greater than 0\n"},
      {"zero orifice", [](Lines l) { return set(l, "tpod", "     0    50    25"); },
       "ERROR - orifice diameters must be greater than 0\n"},
      {"negative pump rate",
       [](Lines l) { return set(set(l, "sump", "     1"), "pumprate", "   -10    10    10"); },
       "ERROR - pump rates must be greater than 0\n"},
      {"season skipped at reading, sump run",
       [](Lines l) {
         l = set(set(set(l, "ponds", "     0"), "grnff", "     1"), "hydromarea", "    22");
         return set(set(l, "sump", "     1"), "season", "     7");
       },
       "value of season must be 1,2 or 3\n"},
      {"ctchm skipped at reading, sump run",
       [](Lines l) {
         l = set(set(set(l, "ponds", "     0"), "grnff", "     1"), "hydromarea", "    22");
         return set(set(l, "sump", "     1"), "ctchm", "     0");
       },
       "Invalid value for ctchm flag - must be 1 or 2\n"},
  };
  for (const Case& c : cases) {
    Outcome o = run_with(c.change(base_parameter_lines()));
    EXPECT_EQ(o.run.console, "PSnamel.nml\n" + c.console) << c.name;
    EXPECT_EQ(o.run.status, 1) << c.name;
    EXPECT_FALSE(o.outputs_exist) << c.name;
  }
}

TEST(RunSetupMessages, Warnings) {
  Lines l = set(base_parameter_lines(), "rom", "     1");
  l[record_index(l, "surface")] = record("surface", "     1");
  std::size_t a = record_index(l, "area");
  l[a + 1] = record("", "         0.5", false);
  Outcome o = run_with(l);
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
