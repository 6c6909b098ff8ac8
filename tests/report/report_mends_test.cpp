// What the report says on constructed runs, where it used to mislead: the
// soakaway's fill and volumes, codes in words, the greenfield area, storms
// the loss model ends at once, the lagoon of ratio 0, storms without runoff
// named under the charts, and headings kept with what they introduce in
// print.  (A chart line at the top of its axis: line_chart_test.cpp.)
#include <gtest/gtest.h>

#include "chart/line_chart.h"
#include "report/html.h"
#include "report/html_report.h"
#include "support/browser.h"
#include "support/printed_pages.h"

namespace sitedrain::testing {
namespace {

std::string page_of(const results::DesignResults& r) {
  report::ReportInput in;
  in.results = &r;
  return report::html_report(in);
}

results::DesignResults design_run(params::StorageKind kind) {
  results::DesignResults r;
  params::DesignParams& p = r.head.params;
  (kind == params::StorageKind::soakaway ? p.design_soakaway
   : kind == params::StorageKind::sump   ? p.design_sump
                                         : p.design_pond) = 1;
  p.subcatchment_count = 2;
  p.areas_m2[0] = 16500;
  p.areas_m2[1] = 7200;
  p.surface_codes[0] = 9;
  p.surface_codes[1] = 5;
  p.soil_classes[0] = 4;
  p.soil_classes[1] = 3;
  p.soil_class_per_subcatchment = 1;
  p.loss_model_code = 2;  // Green-Ampt
  p.fill_fraction = 0.3;
  p.soakaway_sides_code = 4;
  p.decode_modes();
  r.kind = p.storage_kind;
  r.head.return_periods = {30};
  r.head.durations = {60};
  r.head.total_area = 23700;
  results::StormRecord rec;
  rec.return_period = 30;
  rec.duration = 60;
  rec.peak_volume = 100.0;
  r.records = {rec};
  r.governing = {{0}};
  r.smallest = {0};
  return r;
}

TEST(ReportMends, SoakawayFillCodesAreaNoRunoffAndLagoon) {
  results::DesignResults soakaway = design_run(params::StorageKind::soakaway);
  soakaway.head.durations = {30, 60};  // the 30 min storm gave no runoff
  const std::string soak = page_of(soakaway);
  EXPECT_EQ(count_of(soak, "Not drawn, as they give no runoff: 30 years: 30 min."), 2);
  EXPECT_EQ(count_of(soak, "Fill void ratio"), 0);
  EXPECT_EQ(count_of(soak,
                     "Fill fraction (share of the pit taken by fill)</dt><dd>0.30; voids "
                     "(share left for water) 0.70</dd>"),
            1);
  EXPECT_EQ(count_of(soak, "<th>Gross pit volume at peak (m³)</th><th>Water stored at peak (m³)"),
            1);
  EXPECT_EQ(count_of(soak, "<td>100.0</td><td>70.0</td>"), 1);  // gross and water stored
  EXPECT_EQ(count_of(soak, "both length sides (4)"), 1);
  EXPECT_EQ(count_of(soak, "sandy clay (Green-Ampt soil row 9)"), 1);

  results::DesignResults pond = design_run(params::StorageKind::pond);
  pond.head.params.greenfield_rates = 1;
  pond.head.rates.region = 1;
  const std::string p = page_of(pond);
  EXPECT_EQ(count_of(p, "4 (low winter rain acceptance)"), 1);
  EXPECT_EQ(count_of(p, "ratio 0: a lagoon area"), 1);
  EXPECT_EQ(count_of(p, "Settlement lagoon</dt><dd>none"), 0);

  // greenfield only: the area the rates were computed for
  results::DesignResults g;
  g.head.params.greenfield_rates = 1;
  g.head.rates.area = 43000;
  g.head.rates.qbar = 0.001;
  EXPECT_EQ(count_of(page_of(g), "Total sub-catchment area</dt><dd>43000 m²"), 1);

  // runoff only: a storm the loss model ends at once
  results::DesignResults ro = design_run(params::StorageKind::runoff_only);
  ro.head.params.design_soakaway = 0;
  ro.head.params.runoff_only = 1;
  ro.head.params.decode_modes();
  ro.kind = params::StorageKind::runoff_only;
  ro.runoff_rows = {{30, 60, 0.0, 0.0, 20.0, 0.0}, {30, 120, 1.0, 100.0, 30.0, 711.0}};
  const std::string r = page_of(ro);
  EXPECT_EQ(count_of(r, "<td>20.0</td><td>474.0</td><td>0.0</td><td>0.0</td><td>0.000 *</td>"), 1);
  EXPECT_EQ(count_of(r, "the loss model ends it at the first step"), 1);
}

// Printed in a real browser: sections whose heading and introduction fall
// at every height of a page, each before a chart that cannot be split.
TEST(ReportMends, PrintedPagesNeverEndWithAHeadingOrAnIntroduction) {
  SITEDRAIN_REQUIRE(!browser_program().empty(), "the browser (Debian package chromium)");
  SITEDRAIN_REQUIRE(fs::exists("/usr/bin/pdftotext"), "pdftotext (Debian package poppler-utils)");
  report::Document doc("Pages");
  chart::LineChart c;
  c.title = "Chart";
  c.series.push_back({"line", {0, 1}, {0, 1}});
  for (int n = 1; n <= 12; ++n) {
    doc.begin_section("Filler " + std::to_string(n));
    doc.paragraph(std::string(static_cast<std::size_t>(n) * 90, 'x').replace(0, 1, "Filler"));
    doc.end_section();
    doc.begin_section("Heading " + std::to_string(n));
    doc.paragraph("Introduction " + std::to_string(n) + " to the chart below.");
    c.title = "Chart " + std::to_string(n);
    doc.figure(chart::svg(c), "Caption " + std::to_string(n) + ".");
    doc.end_section();
  }
  const TempDir dir("pages");
  const std::string page = doc.finish();
  write_file(dir / "page.html", page);
  const Rendered b = render_in_browser(dir / "page.html", dir);
  ASSERT_GT(b.pdf_pages, 3);
  expect_printed_pages_whole(page, pdf_pages(dir / "page.pdf", b.pdf_pages));
}

}  // namespace
}  // namespace sitedrain::testing
