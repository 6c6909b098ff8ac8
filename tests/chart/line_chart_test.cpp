// The chart module: round ticks on both kinds of axis, and what a chart
// draws (series, ringed critical markers, reference lines clear of the
// frame, legend, the right-hand axis and the two panels).
#include "chart/line_chart.h"

#include <gtest/gtest.h>

#include <regex>

namespace sitedrain::testing {
namespace {

std::vector<double> ticks(double lo, double hi, bool log, double& lo_out, double& hi_out) {
  lo_out = lo;
  hi_out = hi;
  return log ? chart::log_ticks(lo_out, hi_out) : chart::linear_ticks(lo_out, hi_out);
}

TEST(ChartAxes, TicksAtRoundNumbers) {
  double lo, hi;
  EXPECT_EQ(ticks(0.3, 9.7, false, lo, hi), (std::vector<double>{0, 2, 4, 6, 8, 10}));
  EXPECT_EQ(ticks(-0.013, 0.021, false, lo, hi).size(), 9u);  // -0.015 .. 0.025 by 0.005
  EXPECT_EQ(lo, -0.015);
  EXPECT_EQ(ticks(5, 5, false, lo, hi), (std::vector<double>{4.4, 4.6, 4.8, 5, 5.2, 5.4, 5.6}));
  EXPECT_EQ(ticks(0, 0, false, lo, hi), (std::vector<double>{0, 0.2, 0.4, 0.6, 0.8, 1}));
  EXPECT_EQ(ticks(15, 1440, true, lo, hi), (std::vector<double>{20, 50, 100, 200, 500, 1000}));
  EXPECT_LT(lo, 15);
  EXPECT_GT(hi, 1440);
  EXPECT_EQ(ticks(60, 240, true, lo, hi), (std::vector<double>{60, 80, 100, 200}));
  EXPECT_EQ(ticks(0.15, 0.9, true, lo, hi), (std::vector<double>{0.2, 0.3, 0.4, 0.5, 0.6, 0.8}));
  EXPECT_EQ(ticks(0.7, 23040, true, lo, hi),
            (std::vector<double>{0.1, 1, 10, 100, 1000, 10000, 100000}));
  EXPECT_EQ(ticks(100, 100, true, lo, hi), (std::vector<double>{50, 60, 80, 100, 200}));
  EXPECT_EQ(chart::tick_text(0.1 + 0.2), "0.3");
  EXPECT_EQ(chart::tick_text(-2.7755575615628914e-17), "0");
  EXPECT_EQ(chart::tick_text(1500), "1500");
}

chart::Axis axis(const char* label, const char* unit, bool log = false, bool from_zero = false) {
  chart::Axis a;
  a.label = label;
  a.unit = unit;
  a.log = log;
  a.from_zero = from_zero;
  return a;
}

TEST(ChartDrawing, SeriesMarkersReferencesLegendAndPanels) {
  chart::LineChart c;
  c.title = "Storage <volume>";
  c.x = axis("Storm duration", "min", true);
  c.y = axis("Peak volume", "m³", false, true);
  c.series.push_back({"1 year", {15, 60, 240}, {10, 30, 20}, true});
  c.series.push_back({"100 years & more", {15, 60, 240}, {30, 80, 60}, true});
  c.markers.push_back({1, 60, 80});
  c.references.push_back({80, "Qbar"});  // at the top of its axis
  const std::string s = chart::svg(c);
  EXPECT_EQ(s.rfind("<svg ", 0), 0u);
  EXPECT_NE(s.find("<title>Storage &lt;volume&gt;</title>"), std::string::npos);
  EXPECT_NE(s.find("Storm duration (min)"), std::string::npos);
  EXPECT_NE(s.find(">100 years &amp; more</text>"), std::string::npos);
  EXPECT_NE(s.find(">critical duration</text>"), std::string::npos);
  EXPECT_NE(s.find(">Qbar</text>"), std::string::npos);
  EXPECT_EQ(s.find(">-"), std::string::npos);  // no negative ticks on a from-zero axis
  // The second series is dashed; the ring of the critical point is drawn once.
  EXPECT_NE(s.find("stroke=\"#0072b2\" stroke-width=\"1.8\" stroke-dasharray=\"8 4\""),
            std::string::npos);
  EXPECT_EQ(s.find("class=\"critical\""), s.rfind("class=\"critical\""));
  // The reference line at the largest value is clear of the frame, its label below the top.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(s, m, std::regex("<rect x=\"[0-9.]+\" y=\"([0-9.]+)\"")));
  const double frame_top = std::stod(m[1]);
  ASSERT_TRUE(
      std::regex_search(s, m, std::regex("y1=\"([0-9.]+)\"[^>]*stroke-dasharray=\"6 2 1 2\"")));
  EXPECT_GT(std::stod(m[1]), frame_top + 5);
  ASSERT_TRUE(std::regex_search(s, m, std::regex("y=\"([0-9.]+)\"[^>]*>Qbar")));
  EXPECT_GT(std::stod(m[1]) - 12, frame_top);

  // A long series is thinned to a few points per pixel column, its peak kept.
  chart::LineChart top;
  top.x = axis("Time", "h");
  top.y = axis("Flow", "l/s");
  top.y_right = axis("Rain intensity", "mm/h");
  chart::Series flow{"inflow", {}, {}};
  for (int i = 0; i <= 86400; ++i) {
    flow.x.push_back(i / 3600.0);
    flow.y.push_back(i == 43200 ? 100.0 : 1.0);
  }
  top.series.push_back(flow);
  top.series.push_back({"rain", {0, 24}, {5, 5}, false, true});
  chart::LineChart bottom;
  bottom.x = axis("Time", "h");
  bottom.y = axis("Water depth", "m");
  bottom.series.push_back({"depth", {0, 12, 24}, {0, 1.2, 0.1}});
  const std::string two = chart::svg_two_panel(top, bottom);
  EXPECT_LT(two.size(), 40000u);
  EXPECT_NE(two.find("Rain intensity (mm/h)"), std::string::npos);
  EXPECT_EQ(two.find("Time (h)"), two.rfind("Time (h)"));  // only the lower panel's
  // The spike rises near the top of the upper plot but leaves headroom
  // under its frame (y = 12).
  const std::size_t path = two.find("class=\"series\"");
  const std::string d = two.substr(path, two.find('"', path + 20) - path);
  EXPECT_EQ(d.find(",12.0"), std::string::npos);
  double highest = 1e9;
  for (std::size_t at = d.find(','); at != std::string::npos; at = d.find(',', at + 1))
    highest = std::min(highest, std::stod(d.substr(at + 1)));
  EXPECT_GT(highest, 12.0 + 10.0);
  EXPECT_LT(highest, 80.0);
}

}  // namespace
}  // namespace sitedrain::testing
