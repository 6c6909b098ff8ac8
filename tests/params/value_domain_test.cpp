// Values that no computation of the run could use are refused where the
// parameter file is read, naming the value, what is allowed, the file and
// the line; the same values stay accepted in runs that do not use them.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "params/parameter_file.h"
#include "support/base_case.h"
#include "support/capture.h"

namespace sitedrain::testing {
namespace {

struct DomainCase {
  const char* name;
  std::function<Lines(Lines)> change;
  const char* message;  // empty: accepted
};

class ValueDomain : public ::testing::TestWithParam<DomainCase> {
 protected:
  // The stop's keyboard pause reads end of input at once.
  static void SetUpTestSuite() { ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr); }
};

TEST_P(ValueDomain, RefusedWhereRead) {
  const DomainCase& c = GetParam();
  std::string text;
  for (const std::string& l : c.change(base_parameter_lines())) text += l + "\n";
  textio::LineReader in;
  in.open_text(text, "params.txt");
  if (std::string(c.message).empty()) {
    EXPECT_EQ(console_of([&] { params::GETPARAM(in); }), "");
  } else {
    EXPECT_EQ(stop_output([&] { params::GETPARAM(in); }),
              std::string(c.message) + "\nType any letter to stop the program\n");
  }
}

Lines greenfield_only(Lines l) {
  return set(set(set(l, "ponds", "     0"), "grnff", "     1"), "hydromarea", "    22");
}
Lines runoff_only(Lines l) { return set(l, "rnf", "     1"); }
Lines soakaway(Lines l) { return set(l, "soak", "     1"); }
Lines generated_durations(Lines l, const std::string& last) {
  return set_list(set(l, "caldur", "     1"), "ndur", 3, "dur", {"     1", last, "     1"});
}
Lines zero_areas(Lines l) { return set_list(l, "batter", 2, "area", {"0.", "0."}, false); }

INSTANTIATE_TEST_SUITE_P(
    Parameters, ValueDomain,
    ::testing::Values(
        DomainCase{"cchgfac_zero", [](Lines l) { return set(l, "cchgfac", "   0.0"); },
                   "value of cchgfac must be greater than 0 (params.txt, line 15)"},
        DomainCase{"cchgfac_negative", [](Lines l) { return set(l, "cchgfac", "  -1.2"); },
                   "value of cchgfac must be greater than 0 (params.txt, line 15)"},
        DomainCase{"cchgfac_unused",
                   [](Lines l) { return set(greenfield_only(l), "cchgfac", "   0.0"); }, ""},
        DomainCase{"infiltco_zero_soakaway",
                   [](Lines l) { return set(soakaway(l), "infiltco", "     0"); },
                   "value of infiltco must be greater than 0 for a soakaway (params.txt, line 36)"},
        DomainCase{"infiltco_negative_soakaway",
                   [](Lines l) { return set(soakaway(l), "infiltco", " -0.01"); },
                   "value of infiltco must be greater than 0 for a soakaway (params.txt, line 36)"},
        DomainCase{"rhmpt_negative", [](Lines l) { return set(l, "rhmpt", "    -1"); },
                   "value of rhmpt must be 0 or more (params.txt, line 37)"},
        DomainCase{"rhmpt_unused", [](Lines l) { return set(runoff_only(l), "rhmpt", "    -1"); },
                   ""},
        DomainCase{"lagoonratio_too_wide", [](Lines l) { return set(l, "lagoonratio", "100000"); },
                   "value of lagoonratio must be between -99999 and 99999 (params.txt, line 38)"},
        DomainCase{"lagoonratio_ellipse", [](Lines l) { return set(l, "lagoonratio", "-99999"); },
                   ""},
        DomainCase{"maxdepth_beyond_100_m",
                   [](Lines l) { return set(l, "maxdepth", "       100.1"); },
                   "value of maxdepth must be 100 m or less (params.txt, line 39)"},
        DomainCase{"maxdepth_100_m", [](Lines l) { return set(l, "maxdepth", "       100.0"); },
                   ""},
        DomainCase{"batter_negative", [](Lines l) { return set(l, "batter", "        -0.5"); },
                   "value of batter must be between 0 and 100 (params.txt, line 40)"},
        DomainCase{"batter_overflowing", [](Lines l) { return set(l, "batter", "       1e300"); },
                   "value of batter must be between 0 and 100 (params.txt, line 40)"},
        DomainCase{"batter_vertical_sides", [](Lines l) { return set(l, "batter", "         0.0"); },
                   ""},
        DomainCase{"batter_unused",
                   [](Lines l) { return set(runoff_only(l), "batter", "        -0.5"); }, ""},
        DomainCase{"areas_all_zero", zero_areas,
                   "value of area must be greater than 0 for at least one sub-catchment "
                   "(params.txt, line 41)"},
        DomainCase{"areas_zero_greenfield", [](Lines l) { return zero_areas(greenfield_only(l)); },
                   "value of area must be greater than 0 for at least one sub-catchment "
                   "(params.txt, line 41)"},
        DomainCase{"durations_beyond_16_days",
                   [](Lines l) { return generated_durations(l, " 23041"); },
                   "value of dur must be a first, last and step giving at most 23040 durations "
                   "(params.txt, line 13)"},
        DomainCase{"durations_up_to_16_days",
                   [](Lines l) { return generated_durations(l, " 23040"); }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sitedrain::testing
