// The parameter file's checks, run through the program: the exact message,
// the keyboard pause line, exit status 1 and no output file created.
#include <gtest/gtest.h>

#include <functional>

#include "support/base_case.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr const char* kPause = "Type any letter to stop the program";

struct Outcome {
  RunResult run;
  bool outputs_exist = false;
};

Outcome run_with(const Lines& lines) {
  fs::path dir = make_temp_dir("params");
  write_case(dir, lines);
  Outcome o;
  o.run = run_program(dir, "x\n");
  for (int j = 1; j <= 8; ++j)
    if (fs::exists(dir / ("out" + std::to_string(j) + ".txt"))) o.outputs_exist = true;
  fs::remove_all(dir);
  return o;
}

Lines blank_marker(Lines lines, const std::string& key) {
  lines[record_index(lines, key)][0] = ' ';
  return lines;
}

Lines set_value(Lines lines, const std::string& key, const std::string& value) {
  std::size_t i = record_index(lines, key);
  lines[i] = lines[i].substr(0, 16) + value;
  return lines;
}

// Sets a list's count record and replaces its value records.
Lines set_list(Lines lines, const std::string& count_key, int count, const std::string& list_key,
               const Lines& values, bool list_starts_after_count = true) {
  if (list_starts_after_count) lines = set_value(lines, count_key, std::to_string(count));
  std::size_t first = record_index(lines, list_key);
  std::size_t last = first + 1;
  while (last < lines.size() && lines[last][0] == ' ') ++last;
  lines.erase(lines.begin() + static_cast<long>(first), lines.begin() + static_cast<long>(last));
  Lines recs;
  for (std::size_t k = 0; k < values.size(); ++k)
    recs.push_back(record(k == 0 ? list_key : "", values[k], k == 0));
  lines.insert(lines.begin() + static_cast<long>(first), recs.begin(), recs.end());
  return lines;
}

std::string expected_tail(const std::string& message) {
  return "PSnamel.nml\n" + message + "\n" + kPause + "\n";
}

TEST(ParameterMessages, BaseCaseIsAccepted) {
  Outcome o = run_with(base_parameter_lines());
  EXPECT_EQ(o.run.status, 0) << o.run.console;
  EXPECT_EQ(o.run.console.find(kPause), std::string::npos) << o.run.console;
}

TEST(ParameterMessages, MismatchOfEveryKeywordRecord) {
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"ponds", ""},      {"grnff", ""},    {"hydromarea", ""}, {"diagf", ""},
      {"rnf", ""},        {"season", ""},   {"calcrp", ""},     {"caldur", ""},
      {"nrp", ""},        {"ndur", ""},     {"cchgfac", ""},    {"rom", ""},
      {"nsubc", ""},      {"wrapf", ""},    {"fixed", ""},      {"point", ""},
      {"arff", ""},       {"ctchm", ""},    {"strmprf", ""},    {"topl", ""},
      {"topw", " "},      {"tpod", ""},     {"sump", " "},      {"pumprate", ""},
      {"soak", " "},      {"sideno", " "},  {"ffill", " "},     {"infiltco", ""},
      {"rhmpt", ""},      {"maxdepth", " "}, {"batter", ""},    {"databaseid", ""},
  };
  for (const auto& [key, blanks] : keys) {
    Outcome o = run_with(blank_marker(base_parameter_lines(), key));
    // six of the messages have two blanks after "values"
    std::string msg = "mismatch of values " + blanks + "in the parameter file at " + key;
    EXPECT_EQ(o.run.console, expected_tail(msg)) << key;
    EXPECT_EQ(o.run.status, 1) << key;
    EXPECT_FALSE(o.outputs_exist) << key;
  }
}

TEST(ParameterMessages, LagoonRatioMarkerIsNotChecked) {
  Outcome o = run_with(blank_marker(base_parameter_lines(), "lagoonratio"));
  EXPECT_EQ(o.run.status, 0) << o.run.console;
}

TEST(ParameterMessages, ValueChecks) {
  struct Case {
    std::string name;
    std::function<Lines(Lines)> change;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"ponds 2", [](Lines l) { return set_value(l, "ponds", "     2"); },
       "value of ponds must be 0 or 1"},
      {"grnff -1", [](Lines l) { return set_value(l, "grnff", "    -1"); },
       "value of grnff must be 0 or 1"},
      {"hydromarea 301", [](Lines l) { return set_value(l, "hydromarea", "   301"); },
       "value of hydromarea must be between 1 and 300"},
      {"hydromarea -1", [](Lines l) { return set_value(l, "hydromarea", "    -1"); },
       "value of hydromarea must be between 1 and 300"},
      {"hydromarea 0 with grnff",
       [](Lines l) { return set_value(l, "grnff", "     1"); },
       "value of hydromarea = 0; specify a value "},
      {"diagf 3", [](Lines l) { return set_value(l, "diagf", "     3"); },
       "value of diagf must be 0 or 1"},
      {"rnf 2", [](Lines l) { return set_value(l, "rnf", "     2"); },
       "value of rnf must be 0 or 1"},
      {"season 4", [](Lines l) { return set_value(l, "season", "     4"); },
       "value of season must be 1,2 or 3"},
      {"season 0", [](Lines l) { return set_value(l, "season", "     0"); },
       "value of season must be 1,2 or 3"},
      {"ctchm 3", [](Lines l) { return set_value(l, "ctchm", "     3"); },
       "Invalid value for ctchm flag - must be 1 or 2"},
      {"strmprf 4", [](Lines l) { return set_value(l, "strmprf", "     4"); },
       "value of strmprf must be 1, 2 or 3"},
      {"strmprf 0", [](Lines l) { return set_value(l, "strmprf", "     0"); },
       "value of strmprf must be 1, 2 or 3"},
      {"surface 12 for Green-Ampt",
       [](Lines l) { return set_list(l, "nsubc", 2, "surface", {"    12", "     5"}); },
       "value of surface must be between 1 and 11 for rom = 2 or 3"},
      {"surface 6 for Horton",
       [](Lines l) {
         return set_list(set_value(l, "rom", "     1"), "nsubc", 2, "surface", {"     6", "     5"});
       },
       "value of surface must be between 1 and 5 for rom = 0 or 1"},
      {"surface 6 for an unknown model",
       [](Lines l) {
         return set_list(set_value(l, "rom", "     7"), "nsubc", 2, "surface", {"     1", "     6"});
       },
       "value of surface must be between 1 and 5 for rom = 0 or 1"},
      {"soil class 6 with greenfield rates",
       [](Lines l) {
         l = set_value(set_value(l, "grnff", "     1"), "hydromarea", "    22");
         return set_list(l, "wrapf", 2, "soilFSR", {"     4", "     6"}, false);
       },
       "value of soilFSR must be between 1 and 5"},
      {"ffill 1 in a soakaway",
       [](Lines l) { return set_value(set_value(l, "soak", "     1"), "ffill", "   1.0"); },
       "value of ffill must be at least 0 and less than 1"},
      {"ffill -0.1 in a soakaway",
       [](Lines l) { return set_value(set_value(l, "soak", "     1"), "ffill", "  -0.1"); },
       "value of ffill must be at least 0 and less than 1"},
  };
  for (const Case& c : cases) {
    Outcome o = run_with(c.change(base_parameter_lines()));
    EXPECT_EQ(o.run.console, expected_tail(c.message)) << c.name;
    EXPECT_EQ(o.run.status, 1) << c.name;
    EXPECT_FALSE(o.outputs_exist) << c.name;
  }
}

TEST(ParameterMessages, ListCounts) {
  struct Case {
    std::string name;
    std::function<Lines(Lines)> change;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"one rp record too few",
       [](Lines l) { return set_list(l, "nrp", 3, "rp", {"     2", "    30"}); },
       "nrp is greater than the actual number of rp values"},
      {"one rp record too many",
       [](Lines l) { return set_list(l, "nrp", 1, "rp", {"     2", "    30"}); },
       "mismatch of values in the parameter file at ndur"},
      {"negative rp", [](Lines l) { return set_list(l, "nrp", 2, "rp", {"     2", "   -30"}); },
       "nrp is less than the actual number of rp values"},
      {"zero rp", [](Lines l) { return set_list(l, "nrp", 2, "rp", {"     0", "    30"}); },
       "value of rp must be greater than 0"},
      {"nrp 101", [](Lines l) { return set_value(l, "nrp", "   101"); },
       "value of nrp must be between 0 and 100"},
      {"nrp -1", [](Lines l) { return set_value(l, "nrp", "    -1"); },
       "value of nrp must be between 0 and 100"},
      {"one dur record too few",
       [](Lines l) { return set_list(l, "ndur", 3, "dur", {"    30", "    60"}); },
       "ndur is greater than the actual number of dur values"},
      {"negative dur", [](Lines l) { return set_list(l, "ndur", 2, "dur", {"    30", "   -60"}); },
       "ndur is less than the actual number of dur values"},
      {"zero dur", [](Lines l) { return set_list(l, "ndur", 2, "dur", {"    30", "     0"}); },
       "value of dur must be greater than 0"},
      {"ndur 4", [](Lines l) { return set_value(l, "ndur", "     4"); },
       "value of ndur must be between 0 and 3"},
      {"one surface record too few",
       [](Lines l) { return set_list(l, "nsubc", 2, "surface", {"     9"}); },
       "nsubc is greater than the actual number of surface values"},
      {"negative surface",
       [](Lines l) { return set_list(l, "nsubc", 2, "surface", {"     9", "    -5"}); },
       "nsubc is less than the actual number of surface values"},
      {"zero surface", [](Lines l) { return set_list(l, "nsubc", 2, "surface", {"     9", "     0"}); },
       "surface value should be non-zero"},
      {"nsubc 11", [](Lines l) { return set_value(l, "nsubc", "    11"); },
       "value of nsubc must be between 0 and 10"},
      {"one soil record too few, no greenfield rates",
       [](Lines l) { return set_list(l, "wrapf", 2, "soilFSR", {"     4"}, false); },
       "nsubc is greater than the actual number of soilFSR values"},
      {"negative soil class",
       [](Lines l) { return set_list(l, "wrapf", 2, "soilFSR", {"     4", "    -3"}, false); },
       "nsubc is less than the actual number of soilFSR values"},
      {"one area record too few",
       [](Lines l) { return set_list(l, "batter", 2, "area", {"      16500."}, false); },
       "nsubc is greater than the actual number of catchment area values"},
      {"negative area",
       [](Lines l) { return set_list(l, "batter", 2, "area", {"      16500.", "       -72."}, false); },
       "nsubc is less than the actual number of catchment area  values"},
  };
  for (const Case& c : cases) {
    Outcome o = run_with(c.change(base_parameter_lines()));
    EXPECT_EQ(o.run.console, expected_tail(c.message)) << c.name;
    EXPECT_EQ(o.run.status, 1) << c.name;
    EXPECT_FALSE(o.outputs_exist) << c.name;
  }
}

TEST(ParameterMessages, GenerationTriples) {
  auto rp = [](const Lines& values) {
    Lines l = set_value(base_parameter_lines(), "calcrp", "     1");
    return set_list(l, "nrp", static_cast<int>(values.size()), "rp", values);
  };
  auto dur = [](const Lines& values) {
    Lines l = set_value(base_parameter_lines(), "caldur", "     1");
    return set_list(l, "ndur", static_cast<int>(values.size()), "dur", values);
  };
  const std::string bad_rp = "ERROR in parameters for generating return periods";
  const std::string bad_dur = "ERROR in parameters for generating storm durations";
  struct Case {
    Lines lines;
    std::string message;  // empty: accepted
  };
  const std::vector<Case> cases = {
      {rp({"   100", "     2", "    10"}), bad_rp},
      {rp({"   100", "     2", "   -10"}), "nrp is less than the actual number of rp values"},
      {rp({"     2", "   100", "    10"}), ""},
      {rp({"     2", "     5", "    10"}), bad_rp},
      {rp({"     2", "   100", "     0"}), bad_rp},
      {rp({"     1", "   200", "     1"}), bad_rp},  // 200 values
      {rp({"     1", "   100", "     1"}), ""},      // exactly 100
      {rp({"     2", "   100"}), bad_rp},             // nrp must be 3
      {dur({"    60", "   360", "    60"}), ""},
      {dur({"   360", "    60", "    60"}), bad_dur},
      {dur({"    60", "   360", "     0"}), bad_dur},
  };
  for (const Case& c : cases) {
    Outcome o = run_with(c.lines);
    if (c.message.empty()) {
      EXPECT_EQ(o.run.console.find(kPause), std::string::npos) << o.run.console;
    } else {
      EXPECT_EQ(o.run.console, expected_tail(c.message));
      EXPECT_EQ(o.run.status, 1);
      EXPECT_FALSE(o.outputs_exist);
    }
  }
}

TEST(ParameterMessages, UnreadableNumbersAndShortFiles) {
  {
    Outcome o = run_with(set_value(base_parameter_lines(), "nrp", "   1.5"));
    EXPECT_EQ(o.run.status, 1);
    EXPECT_EQ(o.run.console,
              "PSnamel.nml\nERROR reading file params.txt, line 9, nrp (columns 17-22): \"   1.5\" - "
              "a whole number is required (no decimal point)\n");
    EXPECT_FALSE(o.outputs_exist);
  }
  {
    Outcome o = run_with(set_value(base_parameter_lines(), "batter", "         3.x"));
    EXPECT_EQ(o.run.status, 1);
    EXPECT_NE(o.run.console.find("line 40, batter (columns 17-28)"), std::string::npos)
        << o.run.console;
  }
  {
    Lines l = base_parameter_lines();
    l.resize(record_index(l, "rhmpt"));
    Outcome o = run_with(l);
    EXPECT_EQ(o.run.status, 1);
    EXPECT_EQ(o.run.console,
              "PSnamel.nml\nERROR reading file params.txt: the file ends before the rhmpt record "
              "(line 37)\n");
  }
}

TEST(ParameterMessages, WindowsLineEndsAndLongLinesAreRead) {
  fs::path dir = make_temp_dir("crlf");
  write_case(dir, base_parameter_lines());
  std::string text;
  for (const auto& l : base_parameter_lines()) text += l + "   trailing words\r\n";
  write_file(dir / "params.txt", text);
  RunResult r = run_program(dir);
  EXPECT_EQ(r.status, 0) << r.console;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace sitedrain::testing
