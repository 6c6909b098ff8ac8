// Values that no computation of the run could use are refused where the
// parameter file is read, naming the value, what is allowed, the file and
// the line; the same values stay accepted in runs that do not use them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "params/parameter_file.h"
#include "runoff/console_capture.h"
#include "support/base_case.h"

namespace sitedrain::testing {
namespace {

using Edits = std::vector<std::pair<std::string, std::string>>;

// The base case with records replaced: "key" names a keyword record; a
// value with "|" gives the records of its whole list.
std::string parameter_text(const Edits& edits) {
  std::vector<std::string> lines = base_parameter_lines();
  for (const auto& [key, value] : edits) {
    const std::size_t first = record_index(lines, key);
    std::size_t end = first + 1;
    while (end < lines.size() && lines[end][0] == ' ') ++end;
    if (value.find('|') == std::string::npos) end = first + 1;
    lines.erase(lines.begin() + static_cast<long>(first), lines.begin() + static_cast<long>(end));
    std::vector<std::string> records;
    std::size_t from = 0;
    for (bool head = true;; head = false) {
      const std::size_t bar = value.find('|', from);
      records.push_back(record(head ? key : "", value.substr(from, bar - from), head));
      if (bar == std::string::npos) break;
      from = bar + 1;
    }
    lines.insert(lines.begin() + static_cast<long>(first), records.begin(), records.end());
  }
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

struct DomainCase {
  const char* name;
  Edits edits;
  const char* message;  // empty: accepted
};

class ValueDomain : public ::testing::TestWithParam<DomainCase> {
 protected:
  // The stop's keyboard pause reads end of input at once.
  static void SetUpTestSuite() { ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr); }
};

TEST_P(ValueDomain, RefusedWhereRead) {
  const DomainCase& c = GetParam();
  textio::LineReader in;
  in.open_text(parameter_text(c.edits), "params.txt");
  if (std::string(c.message).empty()) {
    EXPECT_EQ(console_of([&] { params::GETPARAM(in); }), "");
  } else {
    EXPECT_EQ(stop_output([&] { params::GETPARAM(in); }),
              std::string(c.message) + "\nType any letter to stop the program\n");
  }
}

const Edits kGreenfieldOnly = {{"ponds", "     0"}, {"grnff", "     1"}, {"hydromarea", "    22"}};
const Edits kRunoffOnly = {{"rnf", "     1"}};

Edits with(Edits base, const Edits& more) {
  base.insert(base.end(), more.begin(), more.end());
  return base;
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, ValueDomain,
    ::testing::Values(
        DomainCase{"cchgfac_zero", {{"cchgfac", "   0.0"}},
                   "value of cchgfac must be greater than 0 (params.txt, line 15)"},
        DomainCase{"cchgfac_negative", {{"cchgfac", "  -1.2"}},
                   "value of cchgfac must be greater than 0 (params.txt, line 15)"},
        DomainCase{"cchgfac_unused", with(kGreenfieldOnly, {{"cchgfac", "   0.0"}}), ""},
        DomainCase{"infiltco_zero_soakaway", {{"soak", "     1"}, {"infiltco", "     0"}},
                   "value of infiltco must be greater than 0 for a soakaway (params.txt, line 36)"},
        DomainCase{"infiltco_negative_soakaway", {{"soak", "     1"}, {"infiltco", " -0.01"}},
                   "value of infiltco must be greater than 0 for a soakaway (params.txt, line 36)"},
        DomainCase{"rhmpt_negative", {{"rhmpt", "    -1"}},
                   "value of rhmpt must be 0 or more (params.txt, line 37)"},
        DomainCase{"rhmpt_unused", with(kRunoffOnly, {{"rhmpt", "    -1"}}), ""},
        DomainCase{"lagoonratio_too_wide", {{"lagoonratio", "100000"}},
                   "value of lagoonratio must be between -99999 and 99999 (params.txt, line 38)"},
        DomainCase{"lagoonratio_ellipse", {{"lagoonratio", "-99999"}}, ""},
        DomainCase{"maxdepth_beyond_100_m", {{"maxdepth", "       100.1"}},
                   "value of maxdepth must be 100 m or less (params.txt, line 39)"},
        DomainCase{"maxdepth_100_m", {{"maxdepth", "       100.0"}}, ""},
        DomainCase{"batter_negative", {{"batter", "        -0.5"}},
                   "value of batter must be 0 or more (params.txt, line 40)"},
        DomainCase{"batter_vertical_sides", {{"batter", "         0.0"}}, ""},
        DomainCase{"batter_unused", with(kRunoffOnly, {{"batter", "        -0.5"}}), ""},
        DomainCase{"areas_all_zero", {{"area", "          0.|          0."}},
                   "value of area must be greater than 0 for at least one sub-catchment "
                   "(params.txt, line 41)"},
        DomainCase{"areas_zero_greenfield", with(kGreenfieldOnly, {{"area", "0.|0."}}),
                   "value of area must be greater than 0 for at least one sub-catchment "
                   "(params.txt, line 41)"},
        DomainCase{"durations_beyond_16_days",
                   {{"caldur", "     1"}, {"ndur", "     3"}, {"dur", "     1| 23041|     1"}},
                   "value of dur must be a first, last and step giving at most 23040 durations "
                   "(params.txt, line 13)"},
        DomainCase{"durations_up_to_16_days",
                   {{"caldur", "     1"}, {"ndur", "     3"}, {"dur", "     1| 23040|     1"}},
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sitedrain::testing
