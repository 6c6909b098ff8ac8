// The parameter file's checks, run through the program: the exact message,
// the keyboard pause line, exit status 1 and no output file created.
#include <gtest/gtest.h>

#include <set>

#include "support/base_case.h"

namespace sitedrain::testing {
namespace {

struct Case {
  Lines lines;
  std::string message;  // empty: accepted
};

void check(const Case& c) {
  if (!c.message.empty()) return expect_stop(c.lines, c.message + "\n" + kPause + "\n");
  const Outcome o = run_with(c.lines);
  EXPECT_EQ(o.run.console.find(kPause), std::string::npos) << o.run.console;
}

TEST(ParameterMessages, MismatchOfEveryKeywordRecord) {
  const std::set<std::string> two_blanks = {"topw", "sump", "soak", "sideno", "ffill", "maxdepth"};
  for (const std::string key :
       {"ponds", "grnff",  "hydromarea", "diagf",    "rnf",   "season",   "calcrp", "caldur",
        "nrp",   "ndur",   "cchgfac",    "rom",      "nsubc", "wrapf",    "fixed",  "point",
        "arff",  "ctchm",  "strmprf",    "topl",     "topw",  "tpod",     "sump",   "pumprate",
        "soak",  "sideno", "ffill",      "infiltco", "rhmpt", "maxdepth", "batter", "databaseid"}) {
    Lines l = base_parameter_lines();
    l[record_index(l, key)][0] = ' ';
    check({l, "mismatch of values " + std::string(two_blanks.count(key) ? " " : "") +
                  "in the parameter file at " + key});
  }
  Lines l = base_parameter_lines();  // the lagoon ratio's marker is not checked
  l[record_index(l, "lagoonratio")][0] = ' ';
  EXPECT_EQ(run_with(l).run.status, 0);
}

TEST(ParameterMessages, ValueChecks) {
  const Lines b = base_parameter_lines(), soak = set(b, "soak", "     1");
  const Lines green = set(set(b, "grnff", "     1"), "hydromarea", "    22");
  const std::string hydromarea = "value of hydromarea must be between 1 and 300";
  const std::string season = "value of season must be 1,2 or 3";
  const std::string strmprf = "value of strmprf must be 1, 2 or 3";
  const std::string horton = "value of surface must be between 1 and 5 for rom = 0 or 1";
  const std::string ffill = "value of ffill must be at least 0 and less than 1";
  auto surfaces = [](const Lines& l, const std::string& second) {
    return set_list(l, "nsubc", 2, "surface", {"     9", second});
  };
  const Case cases[] = {
      {set(b, "ponds", "     2"), "value of ponds must be 0 or 1"},
      {set(b, "grnff", "    -1"), "value of grnff must be 0 or 1"},
      {set(b, "hydromarea", "   301"), hydromarea},
      {set(b, "hydromarea", "    -1"), hydromarea},
      {set(b, "grnff", "     1"), "value of hydromarea = 0; specify a value "},
      {set(b, "diagf", "     3"), "value of diagf must be 0 or 1"},
      {set(b, "rnf", "     2"), "value of rnf must be 0 or 1"},
      {set(b, "season", "     4"), season},
      {set(b, "season", "     0"), season},
      {set(b, "ctchm", "     3"), "Invalid value for ctchm flag - must be 1 or 2"},
      {set(b, "strmprf", "     4"), strmprf},
      {set(b, "strmprf", "     0"), strmprf},
      {surfaces(b, "    12"), "value of surface must be between 1 and 11 for rom = 2 or 3"},
      {surfaces(set(b, "rom", "     1"), "     5"), horton},
      {surfaces(set(b, "rom", "     7"), "     5"), horton},  // an unknown model
      {set_list(green, "wrapf", 2, "soilFSR", {"     4", "     6"}, false),
       "value of soilFSR must be between 1 and 5"},
      {set(soak, "ffill", "   1.0"), ffill},
      {set(soak, "ffill", "  -0.1"), ffill},
  };
  for (const Case& c : cases) check(c);
}

TEST(ParameterMessages, ListCounts) {
  const Lines b = base_parameter_lines();
  auto list = [&](const char* count, int n, const char* key, const Lines& values) {
    return set_list(b, count, n, key, values);
  };
  auto after = [&](const char* prev, const char* key, const Lines& values) {
    return set_list(b, prev, 2, key, values, false);  // the count is nsubc, not next to it
  };
  auto more = [](const std::string& n, const std::string& of) {
    return n + " is greater than the actual number of " + of + " values";
  };
  auto less = [](const std::string& n, const std::string& of) {
    return n + " is less than the actual number of " + of + " values";
  };
  const std::string nrp = "value of nrp must be between 0 and 100";
  const Case cases[] = {
      {list("nrp", 3, "rp", {"     2", "    30"}), more("nrp", "rp")},
      {list("nrp", 1, "rp", {"     2", "    30"}),  // one rp record too many
       "mismatch of values in the parameter file at ndur"},
      {list("nrp", 2, "rp", {"     2", "   -30"}), less("nrp", "rp")},
      {list("nrp", 2, "rp", {"     0", "    30"}), "value of rp must be greater than 0"},
      {set(b, "nrp", "   101"), nrp},
      {set(b, "nrp", "    -1"), nrp},
      {list("ndur", 3, "dur", {"    30", "    60"}), more("ndur", "dur")},
      {list("ndur", 2, "dur", {"    30", "   -60"}), less("ndur", "dur")},
      {list("ndur", 2, "dur", {"    30", "     0"}), "value of dur must be greater than 0"},
      {set(b, "ndur", "     4"), "value of ndur must be between 0 and 3"},
      {list("nsubc", 2, "surface", {"     9"}), more("nsubc", "surface")},
      {list("nsubc", 2, "surface", {"     9", "    -5"}), less("nsubc", "surface")},
      {list("nsubc", 2, "surface", {"     9", "     0"}), "surface value should be non-zero"},
      {set(b, "nsubc", "    11"), "value of nsubc must be between 0 and 10"},
      {after("wrapf", "soilFSR", {"     4"}), more("nsubc", "soilFSR")},  // no greenfield rates
      {after("wrapf", "soilFSR", {"     4", "    -3"}), less("nsubc", "soilFSR")},
      {after("batter", "area", {"      16500."}), more("nsubc", "catchment area")},
      {after("batter", "area", {"      16500.", "       -72."}), less("nsubc", "catchment area ")},
  };
  for (const Case& c : cases) check(c);
}

TEST(ParameterMessages, GenerationTriples) {
  auto rp = [](const Lines& v) {
    return set_list(set(base_parameter_lines(), "calcrp", "     1"), "nrp",
                    static_cast<int>(v.size()), "rp", v);
  };
  auto dur = [](const Lines& v) {
    return set_list(set(base_parameter_lines(), "caldur", "     1"), "ndur",
                    static_cast<int>(v.size()), "dur", v);
  };
  // The message, then on standard error the records expected.
  const std::string bad_rp =
      "ERROR in parameters for generating return periods\n"
      "the records expected with calcrp = 1: nrp 3, then three rp records of one value each: "
      "the first return period, the last and the step (years)";
  const std::string bad_dur =
      "ERROR in parameters for generating storm durations\n"
      "the records expected with caldur = 1: ndur 3, then three dur records of one value each: "
      "the first duration, the last and the step (minutes)";
  const Case cases[] = {
      {rp({"   100", "     2", "    10"}), bad_rp},
      {rp({"   100", "     2", "   -10"}), "nrp is less than the actual number of rp values"},
      {rp({"     2", "   100", "    10"}), ""},
      {rp({"     2", "     5", "    10"}), bad_rp},
      {rp({"     2", "   100", "     0"}), bad_rp},
      {rp({"     1", "   200", "     1"}), bad_rp},  // 200 values
      {rp({"     1", "   100", "     1"}), ""},      // exactly 100
      {rp({"     2", "   100"}), bad_rp},            // nrp must be 3
      {dur({"    60", "   360", "    60"}), ""},
      {dur({"   360", "    60", "    60"}), bad_dur},
      {dur({"    60", "   360", "     0"}), bad_dur},
  };
  for (const Case& c : cases) check(c);
  // The three values on one record: after the pause, the advice on that record.
  expect_stop(dur({"    15  1440    15"}),
              bad_dur + "\n" + kPause +
                  "\nWARNING params.txt, line 13, dur: `1440    15` in columns 25-34 is not read: "
                  "the record holds one value in columns 17-22 (read as 15); a list takes one "
                  "record per value\n");
}

TEST(ParameterMessages, UnreadableNumbersShortFilesAndLineEnds) {
  const Lines b = base_parameter_lines();
  expect_stop(set(b, "nrp", "   1.5"),
              "ERROR reading file params.txt, line 9, nrp (columns 17-22): \"   1.5\" - "
              "a whole number is required (no decimal point)\n");
  const Outcome o = run_with(set(b, "batter", "         3.x"));
  EXPECT_EQ(o.run.status, 1);
  EXPECT_NE(o.run.console.find("line 40, batter (columns 17-28)"), std::string::npos)
      << o.run.console;
  expect_stop(Lines(b.begin(), b.begin() + static_cast<long>(record_index(b, "rhmpt"))),
              "ERROR reading file params.txt: the file ends before the rhmpt record (line 37)\n");
  Lines crlf;  // Windows line ends and long lines are read
  for (const auto& l : b) crlf.push_back(l + "   trailing words\r");
  EXPECT_EQ(run_with(crlf).run.status, 0);
}

}  // namespace
}  // namespace sitedrain::testing
