// The head of the design report and the heading block of the full results
// file against the example cases; the optional lines by their rules.
#include "design/report_head.h"

#include <gtest/gtest.h>

#include "design/greenfield_report.h"
#include "design/report_cases.h"
#include "textio/format.h"

namespace sitedrain::design {
namespace {

using testdata::expect_same_lines;
using testdata::expected_lines;
using testdata::LineCapture;

struct HeadCase {
  testdata::Site (*site)();
  const char* name;
  const char* report;
  std::size_t head_lines, results_heading_lines;
};

class ReportHead : public ::testing::TestWithParam<HeadCase> {};

TEST_P(ReportHead, MatchesTheExampleFiles) {
  const HeadCase& c = GetParam();
  LineCapture report, results;
  write_storage_head(c.site().context(), report, results);
  std::vector<std::string> want = expected_lines(c.name, c.report);
  want.resize(c.head_lines);
  expect_same_lines(report.lines, want);
  want = c.results_heading_lines ? expected_lines(c.name, "results_full.txt")
                                 : std::vector<std::string>{};
  want.resize(c.results_heading_lines);
  expect_same_lines(results.lines, want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportHead,
    ::testing::Values(
        HeadCase{testdata::hexham_pond, "pond_design", "report.txt", 34, 3},
        HeadCase{testdata::truro_sump, "sump_design", "report.txt", 34, 3},
        HeadCase{testdata::stafford_soakaway, "soakaway_design", "report.txt", 35, 4},
        HeadCase{testdata::bangor_soakaway, "diagnostic_single_storm", "report.txt", 34, 4},
        HeadCase{testdata::milton_keynes_runoff, "runoff_only", "design_report.out", 28, 0}));

std::vector<std::string> head_of(const testdata::Site& site) {
  LineCapture report;
  write_report_head(site.context(), report);
  return report.lines;
}

TEST(ReportHeadOptions, ModelAndEstimateLinesOnlyForKnownCodes) {
  const std::vector<std::string> full = head_of(testdata::hexham_pond());
  testdata::Site site = testdata::hexham_pond();
  site.p.rom = 5;
  std::vector<std::string> want = full;
  want.erase(want.begin() + 7, want.begin() + 9);  // the empty line and the model line
  expect_same_lines(head_of(site), want);
  site = testdata::hexham_pond();
  site.p.point = 2;
  want = full;
  want.erase(want.begin() + 22, want.begin() + 25);  // the estimate line with its empty lines
  expect_same_lines(head_of(site), want);
  site.p.point = 1;
  EXPECT_EQ(head_of(site)[23], " Based on point estimate");
}

TEST(ReportHeadOptions, TwelveReturnPeriodsTakeTwoLines) {
  testdata::Site site = testdata::hexham_pond();
  site.setup.return_periods = {1, 2, 5, 10, 20, 30, 50, 75, 100, 200, 500, 1000};
  const std::vector<std::string> head = head_of(site);
  const std::string pad(35, ' ');
  EXPECT_EQ(head[18], pad + "     1     2     5    10    20    30    50    75   100   200");
  EXPECT_EQ(head[19], pad + "   500  1000");
  EXPECT_EQ(head[20], "");
}

TEST(ReportHeadOptions, LocationAndStructureLabelFields) {
  testdata::Site site = testdata::hexham_pond();
  site.location = "NewcastleUponTyneCentral";
  EXPECT_EQ(head_of(site)[2].substr(0, 34), " Location  NewcastleUponTy    NGR ");
  site.location = "";
  EXPECT_EQ(head_of(site)[2].substr(0, 34), " Location                     NGR ");

  EXPECT_EQ(textio::fmt_a(structure_label(site.p), 17), "ATTENUATION POND ");
  site.p.sump = 1;  // with ponds = 1
  EXPECT_EQ(textio::fmt_a(structure_label(site.p), 17), "SUMP             ");
  site.p.soak = 1;
  EXPECT_EQ(structure_label(site.p), "SOAKAWAY                 ");
  EXPECT_EQ(storage_kind(site.p), StorageKind::sump);
}

TEST(ReportHeadOptions, GreenfieldRatesAndWrapColumnInAStorageRun) {
  testdata::Site site = testdata::hexham_pond();
  site.p.grnff = 1;
  site.p.wrapf = 0;
  site.rates = {0.01234, 0.02345, 0.03456};
  const std::vector<std::string> head = head_of(site);
  EXPECT_EQ(head[4].substr(62), "Surface type              WRAP type");
  EXPECT_EQ(head[5].substr(61), "     9                          4");
  EXPECT_EQ(head[6].substr(61), "     5                       -999");
  EXPECT_EQ(head[8].substr(37), "Qbar (m^3/s)             Q3.33% (m^3/s)            Q1% (m^3/s)");
  EXPECT_EQ(head[9].substr(33), "     0.01234                   0.02345                   0.03456");
  EXPECT_EQ(head[11], " Runoff/infiltration model used: Green-Ampt model");
}

TEST(GreenfieldReport, MatchesTheExampleFile) {
  testdata::Site site = testdata::perth_greenfield();
  LineCapture report;
  write_greenfield_report(site.context(), report);
  expect_same_lines(report.lines, expected_lines("greenfield_only", "report.txt"));

  site.p.wrapf = 0;  // a single soil class: later slots show the unset marker
  report.lines.clear();
  write_greenfield_report(site.context(), report);
  EXPECT_EQ(report.lines[6].substr(61), "  -999");
}

}  // namespace
}  // namespace sitedrain::design
