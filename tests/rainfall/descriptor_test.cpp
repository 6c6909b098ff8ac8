#include "rainfall/descriptor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rainfall_test_support.h"

namespace sitedrain::rainfall {
namespace {

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

// ---- values

struct AreaCase {
  const char* line;
  double area;
};

class AreaValue : public ::testing::TestWithParam<AreaCase> {};

TEST_P(AreaValue, ReadsWithThreeImpliedDecimals) {
  EXPECT_DOUBLE_EQ(values_of({GetParam().line}).AREA, GetParam().area) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AreaValue,
    ::testing::Values(AreaCase{"AREA,2", 0.002}, AreaCase{"AREA,2.0", 2.0},
                      AreaCase{"AREA, 4 . 1 0", 4.1},             // blanks ignored
                      AreaCase{"AREA,1234.5678901", 1234.56789},  // first 10 characters
                      AreaCase{"AREA,", 0.0},
                      AreaCase{"AREA    ,2.5", 2.5},  // trailing blanks of the key
                      AreaCase{"AREA                    ,1.2345", 1.234}));  // 30 characters

TEST(DescriptorValues, SaarKeysAreWholeNumbers) {
  Catchment c = values_of({"SAAR,650", "SAAR4170,700", "SPRHOST,24.02"});
  EXPECT_EQ(c.SAAR, 650.0);
  EXPECT_EQ(c.SAAR4170, 700.0);
  EXPECT_DOUBLE_EQ(c.SPRHOST, 24.02);
}

TEST(DescriptorValues, ValueLongerThanTenCharactersIsCut) {
  EXPECT_DOUBLE_EQ(values_of({"C,-0.02345678"}).C, -0.0234567);
}

TEST(DescriptorValues, LaterDuplicateWins) {
  DescriptorKeys keys;
  Catchment c = values_of({"D1,0.385", "SAAR,850", "D1,0.401", "SAAR,900"}, 0, 0, &keys);
  EXPECT_DOUBLE_EQ(c.D1, 0.401);
  EXPECT_EQ(c.SAAR, 900.0);
  EXPECT_TRUE(keys.D1);
}

TEST(DescriptorValues, KeysMatchOnlyExactly) {
  DescriptorKeys keys;
  Catchment c =
      values_of({" C,0.5", "'C',0.5", "c,0.5", "C1,0.5", "Area,3.0", "SAAR ,700"}, 0, 0, &keys);
  EXPECT_EQ(c.C, 0.0);
  EXPECT_FALSE(keys.C);
  EXPECT_EQ(c.AREA, 0.0);
  EXPECT_FALSE(keys.AREA);
  EXPECT_EQ(c.SAAR, 700.0);  // a trailing blank does not matter
}

const std::vector<std::string> kBothSets = {"C,-0.0222",      "D1,0.385",     "D2,0.331",
                                            "D3,0.294",       "E,0.278",      "F,2.418",
                                            "C(1km),-0.0225", "D1(1km),0.38", "D2(1km),0.335",
                                            "D3(1km),0.29",   "E(1km),0.281", "F(1km),2.41"};

TEST(DescriptorValues, PointSelectsTheOneKilometreParameters) {
  Catchment cat = values_of(kBothSets, 0, 1);
  EXPECT_DOUBLE_EQ(cat.C, -0.0222);
  EXPECT_DOUBLE_EQ(cat.D1, 0.385);
  EXPECT_DOUBLE_EQ(cat.D2, 0.331);
  EXPECT_DOUBLE_EQ(cat.D3, 0.294);
  EXPECT_DOUBLE_EQ(cat.E, 0.278);
  EXPECT_DOUBLE_EQ(cat.F, 2.418);
  Catchment pt = values_of(kBothSets, 1, 0);
  EXPECT_DOUBLE_EQ(pt.C, -0.0225);
  EXPECT_DOUBLE_EQ(pt.D1, 0.38);
  EXPECT_DOUBLE_EQ(pt.D2, 0.335);
  EXPECT_DOUBLE_EQ(pt.D3, 0.29);
  EXPECT_DOUBLE_EQ(pt.E, 0.281);
  EXPECT_DOUBLE_EQ(pt.F, 2.41);
}

TEST(DescriptorValues, FoundKeysAreThoseOfTheChosenSet) {
  DescriptorKeys keys;
  values_of({"C(1km),-0.0225", "D1(1km),0.38", "E,0.278"}, 1, 0, &keys);
  EXPECT_TRUE(keys.C);
  EXPECT_TRUE(keys.D1);
  EXPECT_FALSE(keys.E);
  values_of({"C(1km),-0.0225", "D1(1km),0.38", "E,0.278"}, 0, 0, &keys);
  EXPECT_FALSE(keys.C);
  EXPECT_TRUE(keys.E);
}

TEST(DescriptorValues, PointAndArffTogetherStop) {
  std::string msg = test::stop_message([] { values_of({"AREA,2.0"}, 1, 1); });
  EXPECT_EQ(msg, "ERROR - cannot have both point and arff set to 1\n");
  // Checked with the key lines only: a file of one line passes.
  Catchment c;
  parse_descriptor_values({"400000,500000,"}, 1, 1, kFile, c);
}

struct BadValue {
  std::vector<std::string> lines;
  const char* expected_part;  // the message must contain it
};

class BadDescriptorValue : public ::testing::TestWithParam<BadValue> {};

TEST_P(BadDescriptorValue, StopsNamingFileLineAndText) {
  std::string msg = test::stop_message([&] { values_of(GetParam().lines); });
  EXPECT_NE(msg.find(kFile), std::string::npos) << msg;
  EXPECT_NE(msg.find(GetParam().expected_part), std::string::npos) << msg;
}

INSTANTIATE_TEST_SUITE_P(Lines, BadDescriptorValue,
                         ::testing::Values(BadValue{{"AREA,1.0", "SAAR,850.0"},
                                                    "line 3, value of SAAR"},
                                           BadValue{{"SAAR4170,8x1"}, "\"8x1"},
                                           BadValue{{"URBEXT,n/a"}, "line 2, value of URBEXT"},
                                           BadValue{{"AREA,1.0", "grid reference"},
                                                    "line 3, value (the line has no comma)"}));

// ---- grid reference

struct GridCase {
  const char* line;
  int easting, northing;
};

class GridReference : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridReference, ReadsEachItemWhole) {
  Catchment c;
  parse_grid_reference(GetParam().line, kFile, c);
  EXPECT_EQ(c.easting, GetParam().easting) << GetParam().line;
  EXPECT_EQ(c.northing, GetParam().northing) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GridReference,
    ::testing::Values(GridCase{"340000,555800,grid reference", 340000, 555800},
                      GridCase{"437850, 464450, x", 437850, 464450},
                      GridCase{"  437850 ,   464450 ,", 437850, 464450},
                      GridCase{"1234567,7654321,seven digits", 1234567, 7654321},
                      GridCase{"182500,44800", 182500, 0},  // no second comma
                      GridCase{",,", 0, 0}, GridCase{"340000", 0, 0},
                      // only 30 characters: the second comma is cut off
                      GridCase{"340000,                 555800,x", 340000, 0}));

TEST(GridReferenceError, NotAWholeNumberStopsNamingLine1AndText) {
  Catchment c;
  std::string msg = test::stop_message([&] { parse_grid_reference("4378.5,464450,", kFile, c); });
  EXPECT_NE(msg.find(kFile), std::string::npos) << msg;
  EXPECT_NE(msg.find("line 1, easting"), std::string::npos) << msg;
  EXPECT_NE(msg.find("\"4378.5\""), std::string::npos) << msg;
  msg = test::stop_message([&] { parse_grid_reference("437850,NY123,", kFile, c); });
  EXPECT_NE(msg.find("line 1, northing (columns 8-12): \"NY123\""), std::string::npos) << msg;
}

// ---- reading the lines

class DescriptorLines : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("sitedrain_descriptor_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".csv");
    std::ofstream f(path_, std::ios::binary);
    f << "340000,555800,grid reference with a long tail\r\n"
         "AREA,4.10\n"
         "SAAR,850\n";
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::filesystem::path path_;
};

TEST_F(DescriptorLines, ReadsNumlineLinesOf30Characters) {
  textio::LineReader in(path_.string());
  auto lines = read_descriptor_lines(in, 2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "340000,555800,grid reference w");
  EXPECT_EQ(lines[1], "AREA,4.10                     ");
}

TEST_F(DescriptorLines, TooFewLinesStopNamingFileAndCounts) {
  textio::LineReader in(path_.string());
  std::string msg = test::stop_message([&] { read_descriptor_lines(in, 36); });
  EXPECT_NE(msg.find(path_.string()), std::string::npos) << msg;
  EXPECT_NE(msg.find("has 3 lines"), std::string::npos) << msg;
  EXPECT_NE(msg.find("36"), std::string::npos) << msg;
}

TEST_F(DescriptorLines, NumlineBelowOneStops) {
  textio::LineReader in(path_.string());
  std::string msg = test::stop_message([&] { read_descriptor_lines(in, 0); });
  EXPECT_NE(msg.find("NUMLINE"), std::string::npos) << msg;
}

// ---- keys a run needs

struct NeedCase {
  const char* name;
  int ponds, grnff, season, point, arff, ctchm;
  std::vector<int> durs;
  DescriptorKeys keys;
  const char* missing;  // empty: no stop
};

DescriptorKeys all_keys() {
  DescriptorKeys k;
  k.SAAR4170 = k.SAAR = k.AREA = k.C = k.D1 = k.D2 = k.D3 = k.E = k.F = true;
  return k;
}

DescriptorKeys without(DescriptorKeys k, bool DescriptorKeys::*m1,
                       bool DescriptorKeys::*m2 = nullptr) {
  k.*m1 = false;
  if (m2) k.*m2 = false;
  return k;
}

class NeededKeys : public ::testing::TestWithParam<NeedCase> {};

TEST_P(NeededKeys, MissingKeysStopTheRunInOneMessage) {
  const NeedCase& n = GetParam();
  params::DesignParams p;
  p.ponds = n.ponds;
  p.grnff = n.grnff;
  p.season = n.season;
  p.point = n.point;
  p.arff = n.arff;
  p.ctchm = n.ctchm;
  params::RunSetup setup;
  setup.return_periods = {10};
  setup.durations = n.durs;
  if (std::string(n.missing).empty()) {
    std::string console = test::console_of([&] { check_descriptor_keys(n.keys, p, setup, kFile); });
    EXPECT_EQ(console, "");
  } else {
    std::string msg = test::stop_message([&] { check_descriptor_keys(n.keys, p, setup, kFile); });
    EXPECT_EQ(msg, std::string("ERROR - catchment descriptor file ") + kFile + " has no line for " +
                       n.missing + " (needed by this run)\n");
  }
}

using K = DescriptorKeys;
INSTANTIATE_TEST_SUITE_P(
    Runs, NeededKeys,
    ::testing::Values(
        NeedCase{"complete", 1, 0, 1, 0, 1, 1, {15, 60}, all_keys(), ""},
        NeedCase{"model_parameters",
                 1,
                 0,
                 1,
                 0,
                 0,
                 1,
                 {60},
                 without(all_keys(), &K::D2, &K::F),
                 "D2, F"},
        NeedCase{"point_parameters", 1, 0, 1, 1, 0, 1, {60}, without(all_keys(), &K::C), "C(1km)"},
        NeedCase{"saar_for_summer", 1, 0, 2, 0, 0, 1, {60}, without(all_keys(), &K::SAAR), "SAAR"},
        NeedCase{"saar4170_short_storm",
                 0,
                 0,
                 1,
                 0,
                 0,
                 1,
                 {60, 30},
                 without(all_keys(), &K::SAAR4170),
                 "SAAR4170"},
        NeedCase{"area_descriptor", 1, 0, 1, 0, 1, 1, {60}, without(all_keys(), &K::AREA), "AREA"},
        NeedCase{"area_subcatchments", 1, 0, 1, 0, 1, 2, {60}, without(all_keys(), &K::AREA), ""},
        NeedCase{"greenfield_only", 0, 1, 1, 0, 1, 1, {30}, without(K{}, &K::SAAR4170), "SAAR4170"},
        NeedCase{"greenfield_only_complete",
                 0,
                 1,
                 1,
                 0,
                 1,
                 1,
                 {30},
                 without(all_keys(), &K::C, &K::AREA),
                 ""},
        NeedCase{"storage_with_greenfield",
                 1,
                 1,
                 3,
                 0,
                 1,
                 1,
                 {60},
                 K{},
                 "SAAR4170, SAAR, AREA, C, D1, D2, D3, E, F"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sitedrain::rainfall
