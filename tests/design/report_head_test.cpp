// The head of the design report and the heading block of the full results
// file, against the example cases and the rules for optional lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "design/greenfield_report.h"
#include "design/report_cases.h"
#include "design/report_head.h"
#include "textio/format.h"

namespace sitedrain::design {
namespace {

using testdata::expect_same_lines;
using testdata::expected_lines;
using testdata::LineCapture;
using testdata::slice;

struct HeadCase {
  testdata::Site (*site)();
  const char* case_name;
  const char* report;
  const char* results;  // nullptr: the results file has no headings
  int head_lines;
  int results_heading_lines;
};

class ReportHead : public ::testing::TestWithParam<HeadCase> {};

TEST_P(ReportHead, MatchesTheExampleFiles) {
  const HeadCase& c = GetParam();
  const testdata::Site site = c.site();
  LineCapture report, results;
  write_storage_head(site.context(), report, results);
  expect_same_lines(report.lines, slice(expected_lines(c.case_name, c.report), 0, c.head_lines));
  if (c.results)
    expect_same_lines(results.lines, slice(expected_lines(c.case_name, c.results), 0,
                                           c.results_heading_lines));
  else
    EXPECT_TRUE(results.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportHead,
    ::testing::Values(
        HeadCase{testdata::hexham_pond, "pond_design", "report.txt", "results_full.txt", 34, 3},
        HeadCase{testdata::truro_sump, "sump_design", "report.txt", "results_full.txt", 34, 3},
        HeadCase{testdata::stafford_soakaway, "soakaway_design", "report.txt", "results_full.txt",
                 35, 4},
        HeadCase{testdata::bangor_soakaway, "diagnostic_single_storm", "report.txt",
                 "results_full.txt", 34, 4},
        HeadCase{testdata::milton_keynes_runoff, "runoff_only", "design_report.out", nullptr, 28,
                 0}));

std::vector<std::string> head_of(const testdata::Site& site) {
  LineCapture report;
  write_report_head(site.context(), report);
  return report.lines;
}

std::vector<std::string> without(std::vector<std::string> lines, int first, int count) {
  lines.erase(lines.begin() + first, lines.begin() + first + count);
  return lines;
}

TEST(ReportHeadOptions, ModelAndEstimateLinesOnlyForKnownCodes) {
  const std::vector<std::string> full = head_of(testdata::hexham_pond());
  testdata::Site site = testdata::hexham_pond();
  site.p.rom = 5;
  // The model line and the empty line before it (lines 8-9) go.
  expect_same_lines(head_of(site), without(full, 7, 2));
  site = testdata::hexham_pond();
  site.p.point = 2;
  // The estimate line and the empty lines around it (lines 23-25) go.
  expect_same_lines(head_of(site), without(full, 22, 3));
  site.p.point = 1;
  EXPECT_EQ(head_of(site)[23], " Based on point estimate");
}

TEST(ReportHeadOptions, TwelveReturnPeriodsTakeTwoLines) {
  testdata::Site site = testdata::hexham_pond();
  site.setup.return_periods = {1, 2, 5, 10, 20, 30, 50, 75, 100, 200, 500, 1000};
  const std::vector<std::string> head = head_of(site);
  EXPECT_EQ(head[18], std::string(35, ' ') +
                          "     1     2     5    10    20    30    50    75   100   200");
  EXPECT_EQ(head[19], std::string(35, ' ') + "   500  1000");
  EXPECT_EQ(head[20], "");
  EXPECT_EQ(head[21].substr(35), "Storm durations (min.)");
}

TEST(ReportHeadOptions, LocationIsCutOrBlankIn15Columns) {
  testdata::Site site = testdata::hexham_pond();
  site.location = "NewcastleUponTyneCentral";
  EXPECT_EQ(head_of(site)[2].substr(0, 34), " Location  NewcastleUponTy    NGR ");
  site.location = "";
  EXPECT_EQ(head_of(site)[2].substr(0, 34), " Location                     NGR ");
}

TEST(ReportHeadOptions, StructureLabelRules) {
  params::DesignParams p;
  p.ponds = 1;
  EXPECT_EQ(textio::fmt_a(structure_label(p), 17), "ATTENUATION POND ");
  EXPECT_EQ(structure_label(p).size(), 25u);
  p.sump = 1;
  EXPECT_EQ(textio::fmt_a(structure_label(p), 17), "SUMP             ");
  p.soak = 1;
  EXPECT_EQ(textio::fmt_a(structure_label(p), 17), "SOAKAWAY         ");
  EXPECT_EQ(storage_kind(p), StorageKind::sump);
}

TEST(ReportHeadOptions, GreenfieldRatesAndWrapColumnInAStorageRun) {
  testdata::Site site = testdata::hexham_pond();
  site.p.grnff = 1;
  site.p.wrapf = 0;
  site.rates = {0.01234, 0.02345, 0.03456};
  const std::vector<std::string> head = head_of(site);
  const std::string pad(35, ' ');
  EXPECT_EQ(head[4], pad + "  Area (m^2)               Surface type              WRAP type");
  // WRAP class as I6 in columns 89-94.
  EXPECT_EQ(head[5].size(), 94u);
  EXPECT_EQ(head[5].substr(61), "     9                          4");
  EXPECT_EQ(head[6].substr(61), "     5                       -999");
  EXPECT_EQ(head[7], "");
  EXPECT_EQ(head[8], pad + "  Qbar (m^3/s)             Q3.33% (m^3/s)            Q1% (m^3/s)");
  EXPECT_EQ(head[9], " Greenfield runoff rate (cumecs)      0.01234                   0.02345"
                     "                   0.03456");
  EXPECT_EQ(head[11], " Runoff/infiltration model used: Green-Ampt model");
}

TEST(GreenfieldReport, MatchesTheExampleFile) {
  LineCapture report;
  write_greenfield_report(testdata::perth_greenfield().context(), report);
  expect_same_lines(report.lines, expected_lines("greenfield_only", "report.txt"));
}

TEST(GreenfieldReport, SingleSoilClassLeavesLaterSlotsUnset) {
  testdata::Site site = testdata::perth_greenfield();
  site.p.wrapf = 0;
  LineCapture report;
  write_greenfield_report(site.context(), report);
  EXPECT_EQ(report.lines[5].substr(61), "     3");
  EXPECT_EQ(report.lines[6].substr(61), "  -999");
}

}  // namespace
}  // namespace sitedrain::design
