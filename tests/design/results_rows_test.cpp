// Rows of the full results file and runoff-only rows of the report, rebuilt
// from the printed rows of the example files; and the progress record.
#include <gtest/gtest.h>

#include "design/progress_record.h"
#include "design/report_cases.h"
#include "design/results_rows.h"

namespace sitedrain::design {
namespace {

using testdata::expected_lines;
using testdata::numbers;
using testdata::slice;

// The rows of an example results file (after its heading block).
std::vector<std::string> rows_of(const char* case_name, const char* file, int headings) {
  return slice(expected_lines(case_name, file), headings);
}

TEST(ResultsRows, PondRowsMatchTheExampleFile) {
  const auto rows = rows_of("pond_design", "results_full.txt", 3);
  ASSERT_EQ(rows.size(), 27u);
  for (const std::string& row : rows) {
    const std::vector<double> v = numbers(row);
    ASSERT_EQ(v.size(), 17u) << row;
    ResultRecord r;
    r.col(1) = v[0];
    r.col(2) = v[1];
    r.col(3) = v[2];
    r.col(4) = v[4] * 60.0 / v[2];  // mean inflow rate from the total inflow
    for (auto [c, k] : {std::pair{6, 5}, {7, 6}, {8, 7}, {12, 8}, {11, 9}, {13, 10}, {15, 11},
                        {16, 13}, {17, 14}})
      r.col(c) = v[static_cast<std::size_t>(k)];
    storage::Results wb;
    wb.tfill = v[12];
    EXPECT_EQ(pond_results_row(r, wb, r.col(4) / v[15], v[16]), row);
  }
}

TEST(ResultsRows, SumpRowsMatchTheExampleFile) {
  const auto rows = rows_of("sump_design", "results_full.txt", 3);
  ASSERT_EQ(rows.size(), 12u);
  for (const std::string& row : rows) {
    const std::vector<double> v = numbers(row);
    ASSERT_EQ(v.size(), 15u) << row;
    ResultRecord r;
    std::size_t k = 0;
    for (int c : {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 15, 16, 17}) r.col(c) = v[k++];
    EXPECT_EQ(sump_results_row(r, r.col(4) / v[13], v[14]), row);
  }
}

TEST(ResultsRows, SoakawayRowsMatchTheExampleFiles) {
  for (const char* name : {"soakaway_design", "diagnostic_single_storm"}) {
    for (const std::string& row : rows_of(name, "results_full.txt", 4)) {
      const std::vector<double> v = numbers(row);
      ASSERT_EQ(v.size(), 13u) << row;
      ResultRecord r;
      std::size_t k = 0;
      for (int c : {1, 3, 5, 8, 9, 10, 11, 12, 13, 15, 17}) r.col(c) = v[k++];
      r.col(4) = v[12];  // with Q_p = 1 the ratio column shows the mean inflow rate
      EXPECT_EQ(soakaway_results_row(r, 1.0, v[11]), row);
    }
  }
}

TEST(ResultsRows, PondRowRoundsTimesAndTruncatesRates) {
  ResultRecord r;
  for (auto [c, x] : {std::pair{1, 100.0}, {2, 150.0}, {3, 360.0}, {4, 1234.99}, {6, 1000.5},
                      {7, 10.49}, {8, 990.01}, {11, 1.26}, {12, 1999.99}, {13, 0.05},
                      {15, 123456789.0}, {16, 2.25}, {17, 0.04}})
    r.col(c) = x;
  storage::Results wb;
  wb.tfill = 6.0;
  EXPECT_EQ(pond_results_row(r, wb, 2469.98, 55.55),
            "  100  150   360      1234     7409     1001       10      990     1999    1.3"
            "      0.1**********    6.0     2.3     0.0    0.5000     55.5");
}

TEST(ResultsRows, NoRowsForARunoffOnlyRun) {
  struct Count : textio::LineSink {
    int n = 0;
    void line(std::string_view) override { ++n; }
  } out;
  write_results_row(StorageKind::runoff_only, ResultRecord{}, storage::Results{}, 1.0, 1.0, out);
  EXPECT_EQ(out.n, 0);
}

TEST(RunoffRows, MatchTheExampleReport) {
  const auto rows = slice(expected_lines("runoff_only", "design_report.out"), 28);
  ASSERT_EQ(rows.size(), 9u);
  for (const std::string& row : rows) {
    const std::vector<double> v = numbers(row);
    ASSERT_EQ(v.size(), 6u) << row;
    storage::Results wb;
    wb.mean_inflow = v[2];
    wb.total_inflow = v[3];
    wb.rain_volume = v[3] / v[5];
    EXPECT_EQ(runoff_row(static_cast<int>(v[0]), static_cast<int>(v[1]), wb, v[4]), row);
  }
}

TEST(RunoffRows, NoCoefficientWithoutRainVolume) {
  storage::Results wb;
  wb.mean_inflow = 12.34;
  wb.total_inflow = 5.0;
  EXPECT_EQ(runoff_row(2, 15, wb, 6.6), "    2      15        12.3        5.0        6.6");
}

TEST(ProgressRecord, PercentAsWholeRealInEightColumns) {
  EXPECT_EQ(progress_record(16, 24), "     67.");
  EXPECT_EQ(progress_record(1, 2), "     50.");
  EXPECT_EQ(progress_record(27, 27), "    100.");
  // The single storm of the diagnostic example.
  EXPECT_EQ(progress_record(1, 1), expected_lines("diagnostic_single_storm", "progress.txt")[0]);
}

}  // namespace
}  // namespace sitedrain::design
