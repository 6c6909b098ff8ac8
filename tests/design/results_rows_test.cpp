// Rows of the full results file and runoff-only rows of the report, rebuilt
// from the printed rows of the example files; and the progress record.
#include "design/results_rows.h"

#include <gtest/gtest.h>

#include "design/progress_record.h"
#include "design/report_cases.h"

namespace sitedrain::design {
namespace {

using testdata::expected_lines;
using testdata::numbers;

TEST(ResultsRows, PondRowsMatchTheExampleFile) {
  const auto rows = expected_lines("pond_design", "results_full.txt", 3);
  ASSERT_EQ(rows.size(), 27u);
  for (const std::string& row : rows) {
    const std::vector<double> v = numbers(row);
    ASSERT_EQ(v.size(), 17u) << row;
    ResultRecord r;
    std::size_t k = 0;
    for (int c : {1, 2, 3, 4, 5, 6, 7, 8, 12, 11, 13, 15}) r.col(c) = v[k++];
    r.col(4) = v[4] * 60.0 / v[2];  // the mean inflow rate from the total inflow
    r.col(16) = v[13], r.col(17) = v[14];
    const storage::Results wb{.tfill = v[12]};
    EXPECT_EQ(pond_results_row(r, wb, r.col(4) / v[15], v[16]), row);
  }
}

TEST(ResultsRows, SumpAndSoakawayRowsMatchTheExampleFiles) {
  for (const std::string& row : expected_lines("sump_design", "results_full.txt", 3)) {
    const std::vector<double> v = numbers(row);
    ASSERT_EQ(v.size(), 15u) << row;
    ResultRecord r;
    std::size_t k = 0;
    for (int c : {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 15, 16, 17}) r.col(c) = v[k++];
    EXPECT_EQ(sump_results_row(r, r.col(4) / v[13], v[14]), row);
  }
  for (const char* name : {"soakaway_design", "diagnostic_single_storm"}) {
    for (const std::string& row : expected_lines(name, "results_full.txt", 4)) {
      const std::vector<double> v = numbers(row);
      ASSERT_EQ(v.size(), 13u) << row;
      ResultRecord r;
      std::size_t k = 0;
      for (int c : {1, 3, 5, 8, 9, 10, 11, 12, 13, 15, 17}) r.col(c) = v[k++];
      r.col(4) = v[12];  // with Q_p = 1 the ratio shows the mean inflow rate
      EXPECT_EQ(soakaway_results_row(r, 1.0, v[11]), row);
    }
  }
}

TEST(ResultsRows, PondRowRoundsTimesAndFillsWideFieldsWithAsterisks) {
  ResultRecord r;
  r.col(1) = 100, r.col(2) = 150, r.col(3) = 360, r.col(4) = 1234.99;
  r.col(15) = 123456789.0, r.col(16) = 2.25, r.col(17) = 0.04;
  EXPECT_EQ(pond_results_row(r, {}, 2469.98, 55.55).substr(16),
            "      1234     7409        0        0        0        0    0.0      0.0**********"
            "    0.0     2.3     0.0    0.5000     55.5");
}

TEST(RunoffRows, MatchTheExampleReportAndDropTheCoefficientWithoutRain) {
  const auto rows = expected_lines("runoff_only", "design_report.out", 28);
  ASSERT_EQ(rows.size(), 9u);
  for (const std::string& row : rows) {
    const std::vector<double> v = numbers(row);
    ASSERT_EQ(v.size(), 6u) << row;
    const storage::Results wb{
        .rain_volume = v[3] / v[5], .mean_inflow = v[2], .total_inflow = v[3]};
    EXPECT_EQ(runoff_row(static_cast<int>(v[0]), static_cast<int>(v[1]), wb, v[4]), row);
  }
  const storage::Results dry{.mean_inflow = 12.34, .total_inflow = 5.0};
  EXPECT_EQ(runoff_row(2, 15, dry, 6.6), "    2      15        12.3        5.0        6.6");
}

TEST(ProgressRecord, PercentAsWholeRealInEightColumns) {
  EXPECT_EQ(progress_record(16, 24), "     67.");
  EXPECT_EQ(progress_record(1, 2), "     50.");
  EXPECT_EQ(progress_record(1, 1), expected_lines("diagnostic_single_storm", "progress.txt")[0]);
}

}  // namespace
}  // namespace sitedrain::design
