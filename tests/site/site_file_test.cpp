// Site files end to end: every bundled legacy case converted, run, and
// converted back gives the same bytes; each class of bad site file gets one
// message naming the file, line and key, exit 1 and no output; a new case
// runs as written.
#include <gtest/gtest.h>

#include <algorithm>

#include "site/site_keys.h"
#include "support/command.h"
#include "support/console_text.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

// Everything after the console's first line (which names the file read).
std::string after_first_line(const std::string& console) {
  const std::size_t eol = console.find('\n');
  return eol == std::string::npos ? "" : console.substr(eol + 1);
}

// Bundled cases whose parameter file reads (the others stop before a value
// is known).
std::vector<std::string> convertible_cases() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(SITEDRAIN_TEST_CASES)) {
    const fs::path console = e.path() / "expected" / "console.txt";
    if (fs::exists(console) && read_file(console).find("Type any letter") == std::string::npos)
      names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class SiteRoundTrip : public ::testing::TestWithParam<std::string> {};

// The case converted to a site file runs to the same bytes, and converted
// back to the legacy files runs to them again.
TEST_P(SiteRoundTrip, SameBytesAndBack) {
  const fs::path source = case_dir(GetParam());
  const TempDir dir("site_" + GetParam());
  copy_files(source, dir);
  const CommandResult converted = run_command_in(dir, "convert");
  ASSERT_EQ(converted.status, 0) << converted.err;
  // The legacy files moved aside, the site file in their place.
  fs::create_directories(dir / "moved");
  const std::string control = read_file(dir / "PSnamel.nml");
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() != ".csv" && e.path().extension() != ".xml" &&
        e.path().filename() != "case.md")
      fs::rename(e.path(), dir / "moved" / e.path().filename());
  write_file(dir / "site.toml", converted.out);
  RunResult r = run_program(dir);
  EXPECT_EQ(r.console.substr(0, 10), "site.toml\n");
  expect_expected_outputs(dir, GetParam(), r.status, r.console, "site file", after_first_line);

  const CommandResult back = run_command_in(dir, "convert --to-legacy . -o legacy");
  ASSERT_EQ(back.status, 0) << back.err;
  r = run_program(dir / "legacy");
  expect_expected_outputs(dir / "legacy", GetParam(), r.status, r.console, "back to legacy",
                          after_first_line);
  EXPECT_EQ(read_file(dir / "legacy" / "PSnamel.nml").empty(), control.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SiteRoundTrip, ::testing::ValuesIn(convertible_cases()),
                         [](const auto& info) { return info.param; });

// The pond case of the bundled example as a site file.
const std::string kPondSite = R"(descriptor_file = "cd_Hexham_2023_v2.csv"
run = "design"
storage = "pond"
areal_reduction = true
areal_reduction_area = "sub-catchments"
season = "all-year"
storm_profile = "summer-50"
climate_change_factor = 1.4
return_periods_years = [1, 30, 100]
durations_min = [60, 120, 240]
loss_model = "green-ampt"
top_length_m = 30
top_width_m = 15
max_depth_m = 1.5
batter_1_in = 3.0
orifice_diameters_mm = { from = 75, to = 125, step = 25 }
half_emptying_limit_h = 24
lagoon_length_to_width = 2

[[subcatchment]]
area_m2 = 16500.0
surface = "sandy-clay"
soil_class = "low"

[[subcatchment]]
area_m2 = 7200.0
surface = "silt-loam"
soil_class = 3
)";

struct BadSite {
  const char* name;
  std::string text;
  std::string place;  // "site.toml, line N" or "site.toml:" for a missing key
  std::string words;  // the key and what is wrong
};

void PrintTo(const BadSite& c, std::ostream* os) {
  *os << c.name;
}

class BadSiteFile : public ::testing::TestWithParam<BadSite> {};

TEST_P(BadSiteFile, OneMessageExitOneNothingWritten) {
  const BadSite& c = GetParam();
  const TempDir dir(std::string("bad_site_") + c.name);
  fs::copy_file(case_dir("pond_design") / "cd_Hexham_2023_v2.csv", dir / "cd_Hexham_2023_v2.csv");
  write_file(dir / "site.toml", c.text);
  const std::string before = listing(dir);
  const RunResult r = run_program(dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find(c.place), std::string::npos) << r.console;
  EXPECT_NE(r.console.find(c.words), std::string::npos) << r.console;
  EXPECT_EQ(std::count(r.console.begin(), r.console.end(), '\n'), 2) << r.console;
  EXPECT_EQ(listing(dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, BadSiteFile,
    ::testing::Values(
        BadSite{"syntax", replaced(kPondSite, "season = \"all-year\"", "season = all-year"),
                "site.toml, line 6, column", "not a valid TOML file"},
        // toml++'s own check of a table header's first character must not end the program
        BadSite{"header_without_key", "[#\n" + kPondSite, "site.toml, line 1, column 2",
                "not a valid TOML file: Error while parsing key"},
        // nor may its character classes on a letter beyond ASCII after a value
        BadSite{"letter_after_value",
                replaced(kPondSite, "season = \"all-year\"", "season = \"all-year\"\xCF\x91"),
                "site.toml, line 6, column 20",
                "expected a comment or whitespace, saw '\\xCF\\x91'"},
        BadSite{"unknown_key", replaced(kPondSite, "climate_change_factor", "climate_factor"),
                "site.toml, line 8, column 1",
                "unknown key `climate_factor`; did you mean `climate_change_factor`?"},
        BadSite{"wrong_type", replaced(kPondSite, "max_depth_m = 1.5", "max_depth_m = \"1.5\""),
                "site.toml, line 14, column 15", "max_depth_m: a number is expected, not a text"},
        BadSite{"out_of_range", replaced(kPondSite, "area_m2 = 7200.0", "area_m2 = -7200.0"),
                "site.toml, line 26, column 11", "subcatchment.area_m2: -7200 is negative"},
        BadSite{"list_too_long", replaced(kPondSite, "[60, 120, 240]", "[30, 60, 120, 240]"),
                "site.toml, line 10, column 17", "durations_min: the list has 4 values"},
        BadSite{"missing_key", replaced(kPondSite, "season = \"all-year\"\n", ""),
                "ERROR in site file site.toml: missing key `season`",
                "allowed: \"all-year\", \"summer\", \"winter\""},
        BadSite{"bad_choice", replaced(kPondSite, "\"silt-loam\"", "\"horton-1\""),
                "site.toml, line 27, column 11",
                "subcatchment.surface: \"horton-1\" is not a choice"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SiteFile, FolderWithBothFormatsIsRefusedNamingBoth) {
  const TempDir dir("both_formats");
  copy_files(case_dir("pond_design"), dir);
  write_file(dir / "site.toml", kPondSite);
  const std::string before = listing(dir);
  const RunResult r = run_program(dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find("holds both site.toml and PSnamel.nml"), std::string::npos);
  EXPECT_EQ(listing(dir), before);
  EXPECT_EQ(run_command_in(dir, "convert").status, 1);
}

// The written example site is the bundled pond case (and the bundled
// site-file example): a new case runs to its very designs, and check reads
// it back in words.
TEST(SiteFile, NewCaseRunsAsWritten) {
  const TempDir dir("new_case");
  const std::string descriptor = (case_dir("pond_design") / "cd_Hexham_2023_v2.csv").string();
  CommandResult made = run_command_in(dir, "new --descriptor '" + descriptor + "' pond");
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(run_command_in(dir, "new pond").status, 1);  // never overwritten
  // the bundled site-file example is what `new` writes, its comments from the key table
  EXPECT_EQ(read_file(dir / "pond" / "site.toml"),
            read_file(fs::path(SITEDRAIN_TEST_CASES) / ".." / ".." / "examples" / "pond_site" /
                      "site.toml"));
  const RunResult r = run_program(dir / "pond");
  expect_expected_outputs(dir / "pond", "pond_design", r.status, r.console, "new",
                          after_first_line);
  const CommandResult check = run_command_in(dir, "check pond");
  EXPECT_EQ(check.status, 0) << check.err;
  for (const char* words :
       {"Run: design of an attenuation pond", "Return periods (3): 1, 30, 100 years",
        "2: 7200 m2, silt loam (Green-Ampt soil row 5), WRAP soil class 3",
        "Orifice diameters: 75 to 125 in steps of 25 mm (3 sizes)"})
    EXPECT_NE(check.out.find(words), std::string::npos) << words << "\n" << check.out;
  for (const char* storage : {"sump", "soakaway", "none"}) {
    made = run_command_in(dir, std::string("new --storage ") + storage + " --descriptor '" +
                                   descriptor + "' " + storage);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(run_command_in(dir, std::string("check ") + storage).status, 0) << storage;
  }
  EXPECT_EQ(run_command_in(dir, "new --storage lake x").status, 2);
}

TEST(SiteKeys, EveryChoiceKeyHasChoicesAndNamesAreNear) {
  for (const site::SiteKey& k : site::site_keys()) {
    EXPECT_EQ(site::find_site_key(k.name, k.section), &k) << k.name;
    EXPECT_FALSE(k.help.empty() || k.legacy.empty()) << k.name;
    if (k.type == site::ValueType::choice) {
      EXPECT_FALSE(site::key_choices(k, params::LossModel::green_ampt).empty()) << k.name;
    }
  }
  EXPECT_EQ(site::nearest_site_key("climate_factor", site::Section::top), "climate_change_factor");
  EXPECT_EQ(site::nearest_site_key("area", site::Section::subcatchment), "area_m2");
  EXPECT_EQ(site::nearest_site_key("zzzzzz", site::Section::top), std::nullopt);
  // Warnings name parameter file records; a site file's case shows its keys.
  EXPECT_EQ(site::site_key_of_record("cchgfac"), "climate_change_factor");
  EXPECT_EQ(site::site_key_of_record("area"), "subcatchment.area_m2");
  EXPECT_EQ(site::site_key_of_record("nsubc"), "subcatchment");
  EXPECT_EQ(site::site_key_of_record("rp"), "return_periods_years");
}

// A value with no name in a site file, or one the legacy columns cannot
// hold, is refused with the record or key named, and nothing is written.
TEST(SiteFile, ConvertRefusesWhatTheOtherFormatCannotHold) {
  const struct {
    const char* case_name;
    const char* from;
    const char* to;
    const char* message;
  } cases[] = {
      {"runoff_final_horton", "*rom                 0", "*rom                 7",
       "rom = 7 has no name in a site file"},
      {"pond_design", "*sump                0", "*sump                1",
       "ponds = 1, sump = 1, soak = 0, rnf = 0: a site file names one storage"},
  };
  for (const auto& c : cases) {
    const TempDir dir("convert_refused");
    copy_files(case_dir(c.case_name), dir);
    write_file(dir / "params.txt", replaced(read_file(dir / "params.txt"), c.from, c.to));
    const CommandResult r = run_command_in(dir, "convert -o site.toml");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "site.toml"));
  }
  const TempDir dir("to_legacy_refused");
  fs::copy_file(case_dir("pond_design") / "cd_Hexham_2023_v2.csv", dir / "cd_Hexham_2023_v2.csv");
  write_file(dir / "site.toml", replaced(kPondSite, "= 1.4", "= 1.23456"));
  const CommandResult r = run_command_in(dir, "convert --to-legacy . -o legacy");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cchgfac = 1.23456 cannot be written exactly in the 6 columns"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(dir / "legacy" / "PSnamel.nml"));
  EXPECT_EQ(run_command_in(dir, "convert --to-legacy . --bad").status, 2);
}

}  // namespace
}  // namespace sitedrain::testing
