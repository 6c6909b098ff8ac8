// A complete, valid pond design case as text, for tests that change a record
// and look at what the program says.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/run_case.h"

namespace sitedrain::testing {

using Lines = std::vector<std::string>;

// A record with the marker, the label and the value from column 17.
inline std::string record(const std::string& key, const std::string& value, bool marker = true) {
  std::string s = (marker ? "*" : " ") + key;
  s.resize(16, ' ');
  return s + value;
}

// The parameter file of a small pond design, one line per record.
inline Lines base_parameter_lines() {
  return {
      record("ponds", "     1"),
      record("grnff", "     0"),
      record("hydromarea", "     0"),
      record("diagf", "     0"),
      record("rnf", "     0"),
      record("season", "     1"),
      record("calcrp", "     0"),
      record("caldur", "     0"),
      record("nrp", "     2"),
      record("rp", "     2"),
      record("", "    30", false),
      record("ndur", "     2"),
      record("dur", "    30"),
      record("", "    60", false),
      record("cchgfac", "   1.0"),
      record("rom", "     2"),
      record("nsubc", "     2"),
      record("surface", "     9"),
      record("", "     5", false),
      record("wrapf", "     1"),
      record("soilFSR", "     4"),
      record("", "     3", false),
      record("fixed", "     0"),
      record("point", "     0"),
      record("arff", "     1"),
      record("ctchm", "     2"),
      record("strmprf", "     3"),
      record("topl", "    30"),
      record("topw", "    15"),
      record("tpod", "    75   125    25"),
      record("sump", "     0"),
      record("pumprate", "    10   100    10"),
      record("soak", "     0"),
      record("sideno", "     0"),
      record("ffill", "   0.0"),
      record("infiltco", "   0.0"),
      record("rhmpt", "    24"),
      record("lagoonratio", "     2"),
      record("maxdepth", "         1.5"),
      record("batter", "         3.0"),
      record("area", "      16500."),
      record("", "       7200.", false),
      record("databaseid", "     3"),
  };
}

// Index of the keyword record whose label is key ("*key" in columns 1..).
inline std::size_t record_index(const Lines& lines, const std::string& key) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("*" + key + " ", 0) == 0) return i;
  throw std::runtime_error("no record " + key);
}

// The lines with the value of a keyword record replaced.
inline Lines set(Lines lines, const std::string& key, const std::string& value) {
  std::size_t i = record_index(lines, key);
  lines[i] = lines[i].substr(0, 16) + value;
  return lines;
}

// Sets a list's count record (unless the count is not just before the list)
// and replaces the list's value records.
inline Lines set_list(Lines lines, const std::string& count_key, int count,
                      const std::string& list_key, const Lines& values, bool set_count = true) {
  if (set_count) lines = set(lines, count_key, std::to_string(count));
  const auto first = lines.begin() + static_cast<long>(record_index(lines, list_key));
  auto last = first + 1;
  while (last != lines.end() && (*last)[0] == ' ') ++last;
  Lines recs;
  for (std::size_t k = 0; k < values.size(); ++k)
    recs.push_back(record(k == 0 ? list_key : "", values[k], k == 0));
  lines.insert(lines.erase(first, last), recs.begin(), recs.end());
  return lines;
}

// Writes the parameter file, a descriptor file that serves every run mode and
// the control file naming params.txt, cd_Hexham_2023.csv and out1..out8.txt.
inline void write_case(const fs::path& dir, const Lines& param_lines) {
  std::string params;
  for (const auto& l : param_lines) params += l + "\n";
  write_file(dir / "params.txt", params);
  write_file(dir / "cd_Hexham_2023.csv",
             "393500,564000,grid reference\nAREA,1.73\nSAAR,828\nSAAR4170,846\nSPRHOST,21.87\n"
             "C,-0.0224\nD1,0.379\nD2,0.327\nD3,0.29\nE,0.279\nF,2.431\nC(1km),-0.0227\n"
             "D1(1km),0.374\nD2(1km),0.331\nD3(1km),0.286\nE(1km),0.282\nF(1km),2.423\n");
  write_file(dir / "PSnamel.nml",
             "&IFILES\n IPATH = 2*' ',\n OPATH = 8*' ',\n"
             " IFILENAME = 'params.txt', 'cd_Hexham_2023.csv',\n"
             " OFILENAME = 'out1.txt', 'out2.txt', 'out3.txt', 'out4.txt',\n"
             "             'out5.txt', 'out6.txt', 'out7.txt', 'out8.txt',\n"
             " NUMLINE = 17\n/\n");
}

struct Outcome {
  RunResult run;
  bool outputs_exist = false;  // any of out1..out8.txt
};

// Runs the case of these parameter lines in a fresh folder (answering a pause).
inline Outcome run_with(const Lines& lines) {
  const TempDir dir("case");
  write_case(dir, lines);
  Outcome o{run_program(dir, "x\n")};
  for (int j = 1; j <= 8; ++j)
    if (fs::exists(dir / ("out" + std::to_string(j) + ".txt"))) o.outputs_exist = true;
  return o;
}

constexpr const char* kPause = "Type any letter to stop the program";

// Expects the run of these lines to stop with status 1, writing the control
// file's name then console, and to create no output file.
inline void expect_stop(const Lines& lines, const std::string& console) {
  const Outcome o = run_with(lines);
  EXPECT_EQ(o.run.console, "PSnamel.nml\n" + console);
  EXPECT_EQ(o.run.status, 1) << console;
  EXPECT_FALSE(o.outputs_exist) << console;
}

// The base case turned into a greenfield-only run.
inline Lines greenfield_only(Lines l) {
  return set(set(set(l, "ponds", "     0"), "grnff", "     1"), "hydromarea", "    22");
}

}  // namespace sitedrain::testing
