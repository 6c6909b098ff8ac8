// The report's frame: text escaped, a long table split into parts that fit
// a page, no script and no address but the SVG namespace.  (The reports of
// the bundled cases are loaded in a browser in report_outputs_test.)
#include <gtest/gtest.h>

#include <cmath>

#include "chart/line_chart.h"
#include "report/html.h"
#include "support/browser.h"  // count_of

namespace sitedrain::testing {
namespace {

std::string sample_page() {
  report::Document doc("Site <A> & \"B\"");
  doc.begin_section("Summary", "summary");
  doc.facts({{"Site", "Hexham <north>"}, {"Storage", "ATTENUATION POND"}});
  report::Table t;
  t.caption = "Long table";
  t.head = {"Duration (min)", "Depth (mm)"};
  for (int i = 1; i <= 50; ++i) t.rows.push_back({std::to_string(i * 15), std::to_string(i)});
  t.row_class.assign(t.rows.size(), "");
  t.row_class[3] = "governing";
  doc.table(t);
  doc.end_section();
  chart::LineChart c;
  c.x.label = "Storm duration";
  c.x.unit = "min";
  c.x.log = true;
  c.y.label = "Depth";
  c.y.unit = "mm";
  for (int rp : {2, 30, 100}) {
    chart::Series s{std::to_string(rp) + " years", {}, {}, true};
    for (double d : {15.0, 60.0, 240.0, 1440.0}) {
      s.x.push_back(d);
      s.y.push_back(rp * 0.2 * std::sqrt(d));
    }
    c.series.push_back(s);
  }
  c.markers.push_back({2, 240.0, 100 * 0.2 * std::sqrt(240.0)});
  c.references.push_back({150.0, "reference"});
  doc.begin_section("Charts");
  doc.figure(chart::svg(c), "Depth against duration");
  doc.figure(chart::svg_two_panel(c, c), "Two panels");
  doc.end_section();
  return doc.finish();
}

TEST(ReportFrame, EscapedSplitAndSelfContained) {
  const std::string page = sample_page();
  EXPECT_EQ(count_of(page, "<script"), 0);
  EXPECT_EQ(count_of(page, "http://"), count_of(page, "http://www.w3.org/2000/svg"));
  EXPECT_EQ(count_of(page, "<table"), 2);  // 50 rows in two parts
  EXPECT_EQ(count_of(page, "(continued)</caption>"), 1);
  EXPECT_EQ(count_of(page, "<title>Site &lt;A&gt; &amp; &quot;B&quot;</title>"), 1);
}

}  // namespace
}  // namespace sitedrain::testing
