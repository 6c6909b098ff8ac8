#include "rainfall/descriptor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/capture.h"
#include "support/run_case.h"

namespace sitedrain::rainfall {
namespace {

using testing::stop_output;
constexpr const char* kFile = "cd_Site_2024.csv";

// Parses the key lines (a grid reference line is put in front).
Catchment values_of(std::vector<std::string> key_lines, int point = 0, int arff = 0,
                    DescriptorKeys* keys = nullptr) {
  key_lines.insert(key_lines.begin(), "400000,500000,grid reference");
  Catchment c;
  DescriptorKeys k = parse_descriptor_values(key_lines, point, arff, kFile, c);
  if (keys) *keys = k;
  return c;
}

TEST(DescriptorValues, ReadRules) {
  using C = Catchment;
  const struct {
    std::vector<std::string> lines;
    double C::*field;
    double value;
  } cases[] = {
      {{"AREA,2"}, &C::AREA, 0.002},  // three implied decimals
      {{"AREA,2.0"}, &C::AREA, 2.0},
      {{"AREA, 4 . 1 0"}, &C::AREA, 4.1},             // blanks ignored
      {{"AREA,1234.5678901"}, &C::AREA, 1234.56789},  // the first 10 characters
      {{"AREA,"}, &C::AREA, 0.0},
      {{"AREA    ,2.5"}, &C::AREA, 2.5},                       // trailing blanks of the key
      {{"AREA                    ,1.2345"}, &C::AREA, 1.234},  // 30 characters
      {{"SAAR,650"}, &C::SAAR, 650.0},                         // whole numbers
      {{"SAAR4170,700"}, &C::SAAR4170, 700.0},
      {{"SPRHOST,24.02"}, &C::SPRHOST, 24.02},
      {{"C,-0.02345678"}, &C::C, -0.0234567},
      {{"D1,0.385", "SAAR,850", "D1,0.401"}, &C::D1, 0.401},   // a later line wins
      {{" C,0.5", "'C',0.5", "c,0.5", "C1,0.5"}, &C::C, 0.0},  // keys match only exactly
      {{"Area,3.0"}, &C::AREA, 0.0},
      {{"SAAR ,700"}, &C::SAAR, 700.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(values_of(c.lines).*c.field, c.value) << c.lines[0];
}

TEST(DescriptorValues, Stops) {
  EXPECT_EQ(stop_output([] { values_of({"AREA,2.0"}, 1, 1); }),
            "ERROR - cannot have both point and arff set to 1\n");
  Catchment c;  // checked at the key lines only: a file of one line passes
  parse_descriptor_values({"400000,500000,"}, 1, 1, kFile, c);
  const struct {
    std::vector<std::string> lines;
    const char* part;  // the message names the file and holds this
  } bad[] = {{{"AREA,1.0", "SAAR,850.0"}, "line 3, value of SAAR"},
             {{"SAAR4170,8x1"}, "\"8x1"},
             {{"URBEXT,n/a"}, "line 2, value of URBEXT"},
             {{"AREA,1.0", "grid reference"}, "line 3, value (the line has no comma)"}};
  for (const auto& b : bad) {
    std::string msg = stop_output([&] { values_of(b.lines); });
    EXPECT_NE(msg.find(kFile), std::string::npos) << msg;
    EXPECT_NE(msg.find(b.part), std::string::npos) << msg;
  }
}

TEST(GridReference, ReadsEachItemWhole) {
  const struct {
    const char* line;
    int easting, northing;
  } cases[] = {{"  437850 ,   464450 ,", 437850, 464450},
               {"1234567,7654321,seven digits", 1234567, 7654321},
               {"182500,44800", 182500, 0},  // no second comma
               {",,", 0, 0},
               {"340000", 0, 0},
               {"340000,                 555800,x", 340000, 0}};  // cut at 30 characters
  for (const auto& g : cases) {
    Catchment c;
    parse_grid_reference(g.line, kFile, c);
    EXPECT_EQ(c.easting, g.easting) << g.line;
    EXPECT_EQ(c.northing, g.northing) << g.line;
  }
  Catchment c;
  std::string msg = stop_output([&] { parse_grid_reference("4378.5,464450,", kFile, c); });
  EXPECT_NE(msg.find(std::string(kFile) + ", line 1, easting"), std::string::npos) << msg;
  EXPECT_NE(msg.find("\"4378.5\""), std::string::npos) << msg;
  msg = stop_output([&] { parse_grid_reference("437850,NY123,", kFile, c); });
  EXPECT_NE(msg.find("line 1, northing (columns 8-12): \"NY123\""), std::string::npos) << msg;
}

TEST(DescriptorLines, ThirtyCharactersOfNumlineLines) {
  const testing::TempDir dir("descriptor");
  const std::string path = (dir / "cd.csv").string();
  testing::write_file(path,
                      "340000,555800,grid reference with a long tail\r\nAREA,4.10\nSAAR,850\n");
  textio::LineReader in(path);
  auto lines = read_descriptor_lines(in, 2);
  EXPECT_EQ(lines, (std::vector<std::string>{"340000,555800,grid reference w",
                                             "AREA,4.10                     "}));
  textio::LineReader again(path);
  std::string msg = stop_output([&] { read_descriptor_lines(again, 36); });
  for (const std::string& part : {path, std::string("has 3 lines"), std::string("36")})
    EXPECT_NE(msg.find(part), std::string::npos) << msg;
  textio::LineReader third(path);
  EXPECT_NE(stop_output([&] { read_descriptor_lines(third, 0); }).find("NUMLINE"),
            std::string::npos);
}

TEST(DescriptorKeysNeeded, MissingKeysStopTheRunInOneMessage) {
  using K = DescriptorKeys;
  K all;
  all.SAAR4170 = all.SAAR = all.AREA = all.C = all.D1 = all.D2 = all.D3 = all.E = all.F = true;
  auto without = [](K k, std::initializer_list<bool K::*> gone) {
    for (auto m : gone) k.*m = false;
    return k;
  };
  const struct {
    int ponds, grnff, season, point, arff, ctchm;
    std::vector<int> durs;
    K keys;
    std::string missing;  // empty: no stop
  } cases[] = {
      {1, 0, 1, 0, 1, 1, {15, 60}, all, ""},
      {1, 0, 1, 0, 0, 1, {60}, without(all, {&K::D2, &K::F}), "D2, F"},
      {1, 0, 1, 1, 0, 1, {60}, without(all, {&K::C}), "C(1km)"},
      {1, 0, 2, 0, 0, 1, {60}, without(all, {&K::SAAR}), "SAAR"},              // seasonal
      {0, 0, 1, 0, 0, 1, {60, 30}, without(all, {&K::SAAR4170}), "SAAR4170"},  // a short storm
      {1, 0, 1, 0, 1, 1, {60}, without(all, {&K::AREA}), "AREA"},
      {1, 0, 1, 0, 1, 2, {60}, without(all, {&K::AREA}), ""},              // the sub-catchment area
      {0, 1, 1, 0, 1, 1, {30}, without(K{}, {&K::SAAR4170}), "SAAR4170"},  // greenfield only
      {0, 1, 1, 0, 1, 1, {30}, without(all, {&K::C, &K::AREA}), ""},
      {1, 1, 3, 0, 1, 1, {60}, K{}, "SAAR4170, SAAR, AREA, C, D1, D2, D3, E, F"},
  };
  for (const auto& n : cases) {
    params::DesignParams p;
    p.design_pond = n.ponds, p.greenfield_rates = n.grnff, p.season_code = n.season;
    p.decode_modes();
    p.point_rainfall = n.point, p.areal_reduction = n.arff, p.areal_reduction_area_code = n.ctchm;
    params::RunSetup setup;
    setup.return_periods = {10};
    setup.durations = n.durs;
    auto check = [&] { check_descriptor_keys(n.keys, p, setup, kFile); };
    if (n.missing.empty())
      EXPECT_EQ(testing::console_of(check), "") << n.ponds << n.grnff << n.season;
    else
      EXPECT_EQ(stop_output(check), std::string("ERROR - catchment descriptor file ") + kFile +
                                        " has no line for " + n.missing +
                                        " (needed by this run)\n");
  }
}

}  // namespace
}  // namespace sitedrain::rainfall
