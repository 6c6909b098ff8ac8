// Line charts as inline SVG, for the HTML report: linear or logarithmic
// axes with ticks at round numbers, axis labels with units, a legend,
// markers for critical points, horizontal reference lines, an optional
// right-hand axis, and two panels over one time axis for hydrographs.
// Series are told apart by colour, dash pattern and marker shape, so they
// stay distinguishable in greyscale print.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sitedrain::chart {

struct Axis {
  std::string label;               // "Storm duration"
  std::string unit;                // "min": the axis reads "Storm duration (min)"
  bool log = false;                // logarithmic (only values above zero are drawn)
  bool from_zero = false;          // a linear axis that starts at zero
  std::optional<double> min, max;  // a fixed range instead of the data's
};

struct Series {
  std::string name;
  std::vector<double> x, y;
  bool points = false;  // a marker at every point (short series)
  bool right = false;   // read against the right-hand axis
};

// The lowest and highest y of the interval each point of a series stands
// for (one value per point).  The series is then drawn as its mean over
// each pixel column, with the band from the lowest to the highest shaded
// (a pump that switches every few seconds).
struct Band {
  std::size_t series = 0;
  std::vector<double> low, high;
};

// A critical point, drawn as a large ringed marker in its series' colour.
struct Marker {
  std::size_t series = 0;
  double x = 0, y = 0;
};

// A horizontal line across the plot at y, named at its right end.
struct Reference {
  double y = 0;
  std::string name;
};

// A vertical line across the plot at x, named at its top (empty: unnamed).
struct VerticalLine {
  double x = 0;
  std::string name;
};

struct LineChart {
  std::string title;  // shown above the plot (may be empty)
  Axis x, y;
  std::optional<Axis> y_right;  // for series with right = true
  std::vector<Series> series;
  std::vector<Marker> markers;
  std::string marker_name = "critical duration";  // legend entry of the markers
  std::vector<Reference> references;
  std::vector<VerticalLine> verticals;
  std::vector<Band> bands;
};

struct Size {
  double width = 760;
  double height = 380;
};

// In: a chart.  Out: an <svg> element of the given size, with a <title>.
std::string svg(const LineChart& chart, Size size = {});

// In: two charts over the same x axis.  Out: one <svg> with top above
// bottom; the x range covers both and only the bottom labels the x axis.
std::string svg_two_panel(const LineChart& top, const LineChart& bottom, Size size = {760, 560});

// Tick values at round numbers (1, 2 or 5 times a power of ten) from lo to
// hi, about target of them; lo and hi are widened to ticks.  (A chart's
// linear axis adds one more tick when its largest value would touch the
// frame.)
std::vector<double> linear_ticks(double& lo, double& hi, int target = 6);
// Ticks of a log axis (lo and hi above zero): over more than three decades
// the powers of ten, the range widened to them; else the range widened a
// little and the values 1, 2, 5 (or, when those are fewer than four, 1, 2,
// 3, 4, 5, 6, 8) times powers of ten inside it.
std::vector<double> log_ticks(double& lo, double& hi);

// A tick value as short text: "0.5", "20", "1500", "1e+06".
std::string tick_text(double v);

// Text made safe inside markup (& < > " ').
std::string escape(std::string_view text);

}  // namespace sitedrain::chart
