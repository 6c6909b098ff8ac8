// --report and --csv on the bundled cases of every mode, started from
// another folder with relative paths: the eight outputs and the console
// are unchanged; storms.csv reads back as the full results file prints it,
// critical.csv as the report file's governing rows, checks.csv as the
// report's design checks; the hydrographs reach the records' peak volume
// and outflow exactly and drain down after the storm; a stopped run leaves
// no report and no CSV file; and the report loads, shows and prints in a
// real browser, no printed page ending with a heading or an introduction
// and no chart split between pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <sstream>

#include "report/csv_tables.h"
#include "support/browser.h"
#include "support/command.h"
#include "support/console_text.h"
#include "support/printed_pages.h"

namespace sitedrain::testing {
namespace {

using Row = std::map<std::string, double>;

// A field as a number; NaN for an empty or a text field.
double number(const std::string& cell) {
  char* end = nullptr;
  const double v = std::strtod(cell.c_str(), &end);
  return cell.empty() || *end != '\0' ? NAN : v;
}

// The rows of a CSV file (CR LF line ends; an empty or a text field is NaN),
// and each row's fields as text when asked for.
std::vector<Row> read_csv(const fs::path& file,
                          std::vector<std::vector<std::string>>* texts = nullptr) {
  std::istringstream in(read_file(file));
  std::string line;
  std::vector<std::string> names;
  std::vector<Row> rows;
  while (std::getline(in, line)) {
    EXPECT_EQ(line.back(), '\r') << file;
    line.pop_back();
    std::vector<std::string> cells;
    std::istringstream cols(line);
    for (std::string c; std::getline(cols, c, ',');) cells.push_back(c);
    if (line.back() == ',') cells.push_back("");
    if (names.empty()) {
      names = cells;
      continue;
    }
    EXPECT_EQ(cells.size(), names.size()) << file << ": " << line;
    if (texts) texts->push_back(cells);
    Row r;
    for (std::size_t n = 0; n < cells.size() && n < names.size(); ++n)
      r[names[n]] = number(cells[n]);
    rows.push_back(r);
  }
  return rows;
}

// Whether the exact value v shows as the printed text: rounded or
// truncated to its decimals.
bool shows_as(double v, const std::string& printed) {
  const std::size_t dot = printed.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(printed.size() - dot - 1);
  const double unit = std::pow(10.0, -decimals), p = std::stod(printed), d = v - p;
  return std::abs(d) <= unit * 0.5000001 || (d >= 0 && d < unit * 1.0000001);
}

// The columns of the full results file and of the report's governing
// table, by storage kind, as CSV names; two are formed from the record:
// "inflow_volume" (duration x mean inflow rate) and "coefficient" (mean
// inflow rate over peak rainfall flow).
const std::map<std::string, std::vector<std::string>> kFullColumns = {
    {"pond",
     {"return_period_years", "orifice_diameter_mm", "duration_min", "mean_inflow_m3_per_h",
      "inflow_volume", "water_area_m2", "lagoon_area_m2", "top_area_m2", "peak_volume_m3",
      "depth_m", "peak_outflow_m3_per_h", "outflow_24h_m3", "runoff_duration_h", "emptying_time_h",
      "half_emptying_time_h", "coefficient", "rain_depth_mm"}},
    {"sump",
     {"return_period_years", "pump_rate_m3_per_h", "duration_min", "mean_inflow_m3_per_h",
      "runoff_volume_m3", "water_area_m2", "lagoon_area_m2", "top_area_m2", "depth_m",
      "peak_volume_m3", "runoff_duration_h", "emptying_time_h", "half_emptying_time_h",
      "coefficient", "rain_depth_mm"}},
    {"soakaway",
     {"return_period_years", "duration_min", "runoff_volume_m3", "top_area_m2", "top_length_m",
      "top_width_m", "depth_m", "peak_volume_m3", "peak_outflow_m3_per_h", "outflow_24h_m3",
      "half_emptying_time_h", "rain_depth_mm", "coefficient"}}};
const std::map<std::string, std::vector<std::string>> kGoverningColumns = {
    {"pond",
     {"return_period_years", "orifice_diameter_mm", "duration_min", "runoff_volume_m3",
      "water_area_m2", "lagoon_area_m2", "lagoon_length_m", "lagoon_width_m", "top_area_m2",
      "top_length_m", "top_width_m", "depth_m", "peak_volume_m3", "peak_outflow_m3_per_h",
      "mean_outflow_m3_per_h", "outflow_24h_m3"}},
    {"sump",
     {"return_period_years", "pump_rate_m3_per_h", "duration_min", "runoff_volume_m3",
      "water_area_m2", "lagoon_area_m2", "lagoon_length_m", "lagoon_width_m", "top_area_m2",
      "top_length_m", "top_width_m", "depth_m", "peak_volume_m3", "emptying_time_h"}},
    {"soakaway",
     {"return_period_years", "duration_min", "runoff_volume_m3", "top_area_m2", "top_length_m",
      "top_width_m", "depth_m", "peak_volume_m3", "peak_outflow_m3_per_h", "mean_outflow_m3_per_h",
      "half_emptying_time_h"}}};

double value_of(const Row& r, const std::string& name) {
  if (name == "inflow_volume") return r.at("duration_min") * r.at("mean_inflow_m3_per_h") / 60.0;
  if (name == "coefficient") return r.at("mean_inflow_m3_per_h") / r.at("peak_rain_flow_m3_per_h");
  return r.at(name);
}

// The cells of the rows of the tables of a class (every part), as text.
std::vector<std::vector<std::string>> html_rows(const std::string& page, const std::string& cls) {
  std::vector<std::vector<std::string>> rows;
  const std::string open = "<table class=\"" + cls + "\">";
  for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
    const std::string table = page.substr(at, page.find("</table>", at) - at);
    const std::regex row("<tr[^>]*>((?:<td[^>]*>[^<]*</td>)+)</tr>"), cell("<td[^>]*>([^<]*)</td>");
    for (std::sregex_iterator r(table.begin(), table.end(), row), end; r != end; ++r) {
      const std::string cells = (*r)[1];
      rows.emplace_back();
      for (std::sregex_iterator c(cells.begin(), cells.end(), cell); c != end; ++c)
        rows.back().push_back((*c)[1]);
    }
  }
  return rows;
}

// The rows of numbers of a fixed-column table: the lines after `heading`
// (skipping `skip` lines) up to the next blank line.
std::vector<std::vector<std::string>> table_rows(const std::string& text,
                                                 const std::string& heading, int skip) {
  std::istringstream in(text.substr(text.find(heading)));
  std::string line;
  for (int n = 0; n <= skip; ++n) std::getline(in, line);
  std::vector<std::vector<std::string>> rows;
  while (std::getline(in, line) && line.find_first_not_of(' ') != std::string::npos) {
    std::istringstream w(line);
    rows.emplace_back();
    for (std::string t; w >> t;) rows.back().push_back(t);
  }
  return rows;
}

// Each row of the fixed-column table against the CSV row of the same place.
void expect_rows_show(const std::vector<std::vector<std::string>>& fixed,
                      const std::vector<Row>& csv, const std::vector<std::string>& columns,
                      const std::string& what) {
  ASSERT_EQ(fixed.size(), csv.size()) << what;
  for (std::size_t n = 0; n < fixed.size(); ++n) {
    ASSERT_EQ(fixed[n].size(), columns.size()) << what << " row " << n + 1;
    for (std::size_t c = 0; c < columns.size(); ++c)
      EXPECT_TRUE(shows_as(value_of(csv[n], columns[c]), fixed[n][c]))
          << what << " row " << n + 1 << " " << columns[c] << ": " << value_of(csv[n], columns[c])
          << " printed " << fixed[n][c];
  }
}

struct ModeCase {
  const char* name;              // bundled case
  const char* kind;              // pond, sump, soakaway, or "" for a run without storage
  std::vector<std::string> csv;  // the CSV files
  int charts, tables;            // in the report
  const char* shows;             // a text the page holds once (the rainfall model)
};

class ReportOutputs : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ReportOutputs, OutputsTablesAndBrowser) {
  const ModeCase& m = GetParam();
  const TempDir start("report");
  const fs::path site = start / "sites" / m.name;
  fs::create_directories(site);
  fs::create_directories(start / "out");
  copy_files(case_dir(m.name), site);
  const CommandResult r =
      run_command_in(start, std::string("--csv out/csv --report out/report.html sites/") + m.name);

  // Nothing of the eight outputs or the console changes.
  expect_expected_outputs(site, m.name, r.status, r.out + r.err);
  if (r.status != 0) {  // a stopped run: nothing claims success
    EXPECT_TRUE(fs::is_empty(start / "out")) << listing(start / "out");
    return;
  }
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(start / "out" / "csv"))
    files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, m.csv);
  // Each table's name is one the command line checks before a run.
  for (const std::string& f : files)
    EXPECT_NE(std::find(report::kCsvTableNames.begin(), report::kCsvTableNames.end(), f),
              report::kCsvTableNames.end())
        << f;

  const std::string kind = m.kind;
  if (!kind.empty()) {
    // storms.csv against the full results file, critical.csv against the
    // report file's governing rows.
    const std::vector<Row> storms = read_csv(start / "out" / "csv" / "storms.csv");
    const std::vector<Row> critical = read_csv(start / "out" / "csv" / "critical.csv");
    fs::path full, report;
    for (const auto& e : fs::directory_iterator(case_dir(m.name) / "expected")) {
      const std::string t = read_file(e.path());
      if (t.find("R.P") < 6) full = e.path().filename();
      if (t.find("Parameters for the largest") != std::string::npos) report = e.path().filename();
    }
    const std::string full_text = read_file(site / full), report_text = read_file(site / report);
    expect_rows_show(table_rows(full_text, "R.P", 2), storms, kFullColumns.at(kind), "storms.csv");
    expect_rows_show(
        table_rows(report_text, "Parameters for the largest", kind == "soakaway" ? 6 : 4), critical,
        kGoverningColumns.at(kind), "critical.csv");
    // The hydrograph of each smallest design reaches its record's peaks exactly.
    const std::vector<Row> series = read_csv(start / "out" / "csv" / "hydrographs.csv");
    int checked = 0;
    for (const Row& c : critical) {
      if (c.at("smallest") != 1.0) continue;
      double vmax = 0, qmax = 0;
      for (const Row& s : series)
        if (s.at("return_period_years") == c.at("return_period_years")) {
          vmax = std::max(vmax, s.at("stored_volume_m3"));
          qmax = std::max(qmax, s.at("outflow_m3_per_s"));
        }
      EXPECT_EQ(vmax, c.at("peak_volume_m3")) << c.at("return_period_years");
      EXPECT_EQ(qmax * 3600.0, c.at("peak_outflow_m3_per_h")) << c.at("return_period_years");
      ++checked;
    }
    EXPECT_GT(checked, 0);

    // The drain-down: each storm goes on after the rain until at most half
    // its peak is left, or to the 48-hour limit that the report names.
    const std::string page = read_file(start / "out" / "report.html");
    std::map<std::pair<double, double>, std::vector<const Row*>> storms_of;
    for (const Row& s : series) {
      const auto outlet = s.find(kind == "pond" ? "orifice_diameter_mm" : "pump_rate_m3_per_h");
      storms_of[{s.at("return_period_years"), outlet == s.end() ? 0.0 : outlet->second}].push_back(
          &s);
    }
    for (const auto& [key, rows] : storms_of) {
      double peak = 0;
      for (const Row* s : rows) peak = std::max(peak, s->at("stored_volume_m3"));
      const Row& last = *rows.back();
      EXPECT_GT(last.at("time_s"), last.at("duration_min") * 60.0) << key.first;
      EXPECT_TRUE(last.at("stored_volume_m3") <= peak / 2 ||
                  (last.at("time_s") == 48 * 3600.0 &&
                   page.find("stops at the 48-hour limit") != std::string::npos))
          << key.first << ": " << last.at("stored_volume_m3") << " of " << peak;
    }

    // checks.csv against the report's table of design checks, row by row.
    std::vector<std::vector<std::string>> texts;  // check, period, verdict of each CSV row
    const std::vector<Row> checks_csv = read_csv(start / "out" / "csv" / "checks.csv", &texts);
    const std::vector<std::vector<std::string>> checks_html = html_rows(page, "checks");
    ASSERT_EQ(checks_html.size(), checks_csv.size());
    for (std::size_t n = 0; n < checks_html.size(); ++n) {
      const std::vector<std::string>& h = checks_html[n];
      const std::vector<std::string>& t = texts[n];
      EXPECT_EQ(h[0], t[0]) << n;
      EXPECT_EQ(h[1], t[1].empty() ? "all" : t[1]) << n;
      EXPECT_EQ(h[6], t[6]) << n;
      if (h[3] != "-") {
        EXPECT_TRUE(shows_as(checks_csv[n].at("value"), h[3])) << n << " " << h[3];
      }
    }
  }

  // The report in a real browser.
  const std::string page = read_file(start / "out" / "report.html");
  EXPECT_EQ(count_of(page, "<script"), 0);
  EXPECT_EQ(count_of(page, m.shows), 1);
  SITEDRAIN_REQUIRE(!browser_program().empty(), "the browser (Debian package chromium)");
  SITEDRAIN_REQUIRE(screenshot_reader_built(), "libpng (Debian package libpng-dev)");
  const Rendered b = render_in_browser(start / "out" / "report.html", start);
  EXPECT_TRUE(b.ran);
  EXPECT_TRUE(b.console.empty()) << b.console.front();
  EXPECT_EQ(count_of(b.dom, "<svg"), m.charts);
  EXPECT_EQ(count_of(b.dom, "<table"), m.tables);
  EXPECT_GT(b.shot.inked, 0.01);
  EXPECT_EQ(b.pdf.substr(0, 5), "%PDF-");
  EXPECT_GE(b.pdf_pages, 1);
  SITEDRAIN_REQUIRE(fs::exists("/usr/bin/pdftotext"), "pdftotext (Debian package poppler-utils)");
  expect_printed_pages_whole(page, pdf_pages(start / "page.pdf", b.pdf_pages));
}

// The run's warnings reach the report in its words, with what they mean.
TEST(ReportWarnings, TheRunsWarningsInTheBox) {
  const TempDir dir("report_warnings");
  copy_files(case_dir("sump_winter_batter"), dir);
  const CommandResult r = run_command_in(dir, "--report report.html .");
  ASSERT_EQ(r.status, 0);
  const std::string page = read_file(dir / "report.html");
  const std::string box = page.substr(page.find("<div class=\"warnings\">"));
  EXPECT_NE(
      box.find("<code>Incompatible initial basew - top width has been adjusted to  4.5 m</code>"
               "<span class=\"meaning\">The starting top dimension"),
      std::string::npos);
  EXPECT_LT(page.find("<div class=\"warnings\">"), page.find("Run summary"));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ReportOutputs,
    ::testing::Values(
        ModeCase{"pond_greenfield",
                 "pond",
                 {"checks.csv", "critical.csv", "greenfield.csv", "hydrographs.csv", "rainfall.csv",
                  "storms.csv"},
                 6,
                 9,
                 "FEH99 depth-duration-frequency model"},
        ModeCase{"sump_design",
                 "sump",
                 {"checks.csv", "critical.csv", "hydrographs.csv", "rainfall.csv", "storms.csv"},
                 5,
                 7,
                 "FEH99"},
        ModeCase{"soakaway_design",
                 "soakaway",
                 {"checks.csv", "critical.csv", "hydrographs.csv", "rainfall.csv", "storms.csv"},
                 5,
                 5,
                 "FEH99"},
        ModeCase{"runoff_only", "", {"rainfall.csv", "runoff.csv"}, 3, 4, "FEH99"},
        ModeCase{"greenfield_only", "", {"greenfield.csv"}, 1, 3, "<td class=\"text\">Qbar</td>"},
        ModeCase{"rainfall_feh22", "", {"rainfall.csv"}, 1, 3, "FEH22 catchment depth grid"},
        ModeCase{"no_runoff", "", {}, 0, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sitedrain::testing
