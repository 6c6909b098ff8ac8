// Governing rows and closing tables of the design report.  Records are
// rebuilt from the printed rows of the example reports (their values are
// exact at the printed precision); the pond and sump storage volume comes
// from the half-emptying list, which prints it with one more decimal.
#include <gtest/gtest.h>

#include <initializer_list>

#include "design/closing_tables.h"
#include "design/report_cases.h"
#include "design/report_tables.h"

namespace sitedrain::design {
namespace {

using testdata::expect_same_lines;
using testdata::expected_lines;
using testdata::LineCapture;
using testdata::numbers;
using testdata::slice;

// Record columns in the order the row shows them.
constexpr std::initializer_list<int> kPondColumns = {1, 2, 3, 5, 6, 7, 18, 19,
                                                     8, 9, 10, 11, 12, 13, 14, 15};
constexpr std::initializer_list<int> kSumpColumns = {1, 2, 3, 5, 6, 7, 18, 19,
                                                     8, 9, 10, 11, 12, 16};
constexpr std::initializer_list<int> kSoakawayColumns = {1, 3, 5, 8, 9, 10, 11, 12, 13, 14, 17};

void fill(ResultRecord& r, const std::string& row, std::initializer_list<int> columns) {
  const std::vector<double> v = numbers(row);
  ASSERT_EQ(v.size(), columns.size()) << row;
  std::size_t i = 0;
  for (int c : columns) r.col(c) = v[i++];
}

struct TableCase {
  const char* case_name;
  StorageKind kind;
  int first_row;           // first governing row, from 0
  int governing;           // governing rows
  int first_smallest;      // first row of the smallest table
  std::vector<int> smallest;  // governing record of each return period
  int first_half;          // first row of the half-emptying list
};

class ReportTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(ReportTables, GoverningRowsAndClosingTablesMatchTheExampleReport) {
  const TableCase& c = GetParam();
  const std::vector<std::string> want = expected_lines(c.case_name, "report.txt");
  const auto columns = c.kind == StorageKind::pond   ? kPondColumns
                       : c.kind == StorageKind::sump ? kSumpColumns
                                                     : kSoakawayColumns;
  std::vector<ResultRecord> governing(static_cast<std::size_t>(c.governing));
  std::vector<ResultRecord> smallest;
  for (std::size_t j = 0; j < governing.size(); ++j) {
    fill(governing[j], want[static_cast<std::size_t>(c.first_row) + j], columns);
    if (c.kind != StorageKind::soakaway)
      governing[j].col(12) = 2.0 * numbers(want[static_cast<std::size_t>(c.first_half) + j])[0];
  }
  for (std::size_t i = 0; i < c.smallest.size(); ++i) {
    ResultRecord& r = governing[static_cast<std::size_t>(c.smallest[i])];
    // A soakaway's smallest table shows the pond layout, with columns that
    // its own rows leave out.
    if (c.kind == StorageKind::soakaway) {
      ResultRecord shown;
      fill(shown, want[static_cast<std::size_t>(c.first_smallest) + i], kPondColumns);
      for (int col : {2, 6, 7, 15, 18, 19}) r.col(col) = shown.col(col);
    }
    smallest.push_back(r);
  }

  LineCapture report;
  write_governing_rows(c.kind, governing, report);
  write_closing_tables(c.kind, smallest, governing, report);
  expect_same_lines(report.lines, slice(want, c.first_row));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportTables,
    ::testing::Values(TableCase{"pond_design", StorageKind::pond, 34, 9, 49, {0, 3, 6}, 58},
                      TableCase{"sump_design", StorageKind::sump, 34, 6, 44, {2, 5}, 52},
                      TableCase{"soakaway_design", StorageKind::soakaway, 35, 2, 43, {0, 1}, 51},
                      TableCase{"diagnostic_single_storm", StorageKind::soakaway, 34, 1, 41, {0},
                                48}));

ResultRecord half_record(double volume) {
  ResultRecord r;
  r.col(1) = 100;
  r.col(2) = 75;
  r.col(3) = 240;
  r.col(12) = volume;
  return r;
}

TEST(HalfEmptying, VolumeBeyondTheNarrowHalfVolumeFieldShowsAsterisks) {
  EXPECT_EQ(half_emptying_row(half_record(1999.8)), " 999.9     100     75    240");
  EXPECT_EQ(half_emptying_row(half_record(2500.0)), " *****     100     75    240");
}

TEST(HalfEmptying, EmptyListSaysSoUnderTheHeadings) {
  LineCapture report;
  write_half_emptying_block(StorageKind::pond, {}, report);
  ASSERT_EQ(report.lines.size(), 7u);
  EXPECT_EQ(report.lines[6],
            " All minimally-sized ponds have half-emptying times greater than specified time - "
            "increase the orifice diameters");
}

TEST(RunoffOnlyRun, HasNoGoverningRowsOrClosingTables) {
  LineCapture report;
  const std::vector<ResultRecord> records(2, half_record(100.0));
  write_governing_rows(StorageKind::runoff_only, records, report);
  write_closing_tables(StorageKind::runoff_only, records, records, report);
  EXPECT_TRUE(report.lines.empty());
}

}  // namespace
}  // namespace sitedrain::design
