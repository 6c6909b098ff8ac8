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

using Change = std::function<Lines(Lines)>;

struct DomainCase {
  const char* name;
  Change change;
  std::string message;  // empty: accepted
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
  if (c.message.empty())
    EXPECT_EQ(console_of([&] { params::read_parameter_file(in); }), "");
  else
    EXPECT_EQ(stop_output([&] { params::read_parameter_file(in); }),
              c.message + "\n" + kPause + "\n");
}

// Sets key to value in the run that first makes the change.
Change at(
    const std::string& key, const std::string& value, Change run = [](Lines l) { return l; }) {
  return [=](Lines l) { return set(run(std::move(l)), key, value); };
}
Lines runoff_only(Lines l) {
  return set(l, "rnf", "     1");
}
Lines soakaway(Lines l) {
  return set(l, "soak", "     1");
}
Change durations_to(const std::string& last) {
  return [=](Lines l) {
    return set_list(set(l, "caldur", "     1"), "ndur", 3, "dur", {"     1", last, "     1"});
  };
}
Lines zero_areas(Lines l) {
  return set_list(l, "batter", 2, "area", {"0.", "0."}, false);
}
std::string at_line(const std::string& what, int line) {
  return "value of " + what + " (params.txt, line " + std::to_string(line) + ")";
}
const std::string kCchgfac = at_line("cchgfac must be greater than 0", 15);
const std::string kInfiltco = at_line("infiltco must be greater than 0 for a soakaway", 36);
const std::string kBatter = at_line("batter must be between 0 and 100", 40);
const std::string kArea = at_line("area must be greater than 0 for at least one sub-catchment", 41);

INSTANTIATE_TEST_SUITE_P(
    Parameters, ValueDomain,
    ::testing::Values(
        DomainCase{"cchgfac_zero", at("cchgfac", "   0.0"), kCchgfac},
        DomainCase{"cchgfac_negative", at("cchgfac", "  -1.2"), kCchgfac},
        DomainCase{"cchgfac_unused", at("cchgfac", "   0.0", greenfield_only), ""},
        DomainCase{"infiltco_zero_soakaway", at("infiltco", "     0", soakaway), kInfiltco},
        DomainCase{"infiltco_negative_soakaway", at("infiltco", " -0.01", soakaway), kInfiltco},
        DomainCase{"rhmpt_negative", at("rhmpt", "    -1"), at_line("rhmpt must be 0 or more", 37)},
        DomainCase{"rhmpt_unused", at("rhmpt", "    -1", runoff_only), ""},
        DomainCase{"lagoonratio_too_wide", at("lagoonratio", "100000"),
                   at_line("lagoonratio must be between -99999 and 99999", 38)},
        DomainCase{"lagoonratio_ellipse", at("lagoonratio", "-99999"), ""},
        DomainCase{"maxdepth_beyond_100_m", at("maxdepth", "       100.1"),
                   at_line("maxdepth must be 100 m or less", 39)},
        DomainCase{"maxdepth_100_m", at("maxdepth", "       100.0"), ""},
        DomainCase{"batter_negative", at("batter", "        -0.5"), kBatter},
        DomainCase{"batter_overflowing", at("batter", "       1e300"), kBatter},
        DomainCase{"batter_vertical_sides", at("batter", "         0.0"), ""},
        DomainCase{"batter_unused", at("batter", "        -0.5", runoff_only), ""},
        DomainCase{"areas_all_zero", zero_areas, kArea},
        DomainCase{"areas_zero_greenfield", [](Lines l) { return zero_areas(greenfield_only(l)); },
                   kArea},
        DomainCase{
            "durations_beyond_16_days", durations_to(" 23041"),
            at_line("dur must be a first, last and step giving at most 23040 durations", 13)},
        DomainCase{"durations_up_to_16_days", durations_to(" 23040"), ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sitedrain::testing
