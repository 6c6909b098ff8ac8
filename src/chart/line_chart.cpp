#include "chart/line_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sitedrain::chart {

namespace {

// Colour, dash pattern and marker shape of the n-th series.  The colours
// differ in lightness as well as hue; the dashes and shapes carry the
// difference where print is grey.
struct Style {
  const char* colour;
  const char* dash;  // empty: solid
  int shape;         // 0 circle, 1 square, 2 triangle, 3 diamond, 4 triangle down, 5 cross
};
constexpr Style kStyles[] = {
    {"#000000", "", 0},
    {"#0072b2", "8 4", 1},
    {"#d55e00", "2 3", 2},
    {"#009e73", "10 3 2 3", 3},
    {"#cc79a7", "14 4", 4},
    {"#e69f00", "4 2", 5},
    {"#56b4e9", "6 2 2 2 2 2", 0},
    {"#7f7f7f", "1 2", 1},
};
constexpr std::size_t kStyleCount = sizeof kStyles / sizeof kStyles[0];
const Style& style_of(std::size_t n) {
  return kStyles[n % kStyleCount];
}

constexpr double kFont = 12.0;      // px, axis and legend text
constexpr double kHeadroom = 0.03;  // share of a linear axis kept free above the data
constexpr double kCharWidth = 6.6;  // px, rough width of one character of text

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

bool usable(double v, bool log) {
  return std::isfinite(v) && (!log || v > 0.0);
}

// Maps values of one axis onto pixels.
struct Scale {
  double lo = 0, hi = 1;  // value range
  double p0 = 0, p1 = 1;  // pixels of lo and hi
  bool log = false;
  std::vector<double> ticks;
  double operator()(double v) const {
    const double t = log ? (std::log10(v) - std::log10(lo)) / (std::log10(hi) - std::log10(lo))
                         : (v - lo) / (hi - lo);
    const double p = p0 + t * (p1 - p0);
    return std::clamp(p, std::min(p0, p1), std::max(p0, p1));
  }
};

// The data range of an axis, widened to round ticks.
Scale make_scale(const Axis& axis, double lo, double hi) {
  Scale s;
  s.log = axis.log;
  if (!(lo <= hi)) {  // no data
    lo = axis.log ? 1.0 : 0.0;
    hi = axis.log ? 10.0 : 1.0;
  }
  if (axis.min) lo = *axis.min;
  if (axis.max) hi = *axis.max;
  if (!axis.log && axis.from_zero) {
    lo = std::min(lo, 0.0);
    hi = std::max(hi, 0.0);
  }
  const double data_hi = hi;
  s.ticks = axis.log ? log_ticks(lo, hi) : linear_ticks(lo, hi);
  // Headroom: a line at the top tick would run along the frame, hidden.
  if (!axis.log && !axis.max && s.ticks.size() >= 2 && hi > lo &&
      hi - data_hi < kHeadroom * (hi - lo)) {
    const double step = s.ticks[1] - s.ticks[0];
    hi = s.ticks.back() + step;
    s.ticks.push_back(hi);
  }
  s.lo = lo;
  s.hi = hi;
  return s;
}

void widen(double v, bool log, double& lo, double& hi) {
  if (!usable(v, log)) return;
  lo = std::min(lo, v);
  hi = std::max(hi, v);
}

// The range of x of all series of the charts.
void x_range(const LineChart& c, double& lo, double& hi) {
  for (const Series& s : c.series)
    for (double v : s.x) widen(v, c.x.log, lo, hi);
  for (const VerticalLine& v : c.verticals) widen(v.x, c.x.log, lo, hi);
}

// The range of y of the series on one side, with the markers and reference
// lines of the left side.
void y_range(const LineChart& c, bool right, double& lo, double& hi) {
  const bool log = right ? c.y_right->log : c.y.log;
  for (const Series& s : c.series)
    if (s.right == right)
      for (double v : s.y) widen(v, log, lo, hi);
  for (const Band& b : c.bands)
    if (b.series < c.series.size() && c.series[b.series].right == right) {
      for (double v : b.low) widen(v, log, lo, hi);
      for (double v : b.high) widen(v, log, lo, hi);
    }
  if (right) return;
  for (const Marker& m : c.markers) widen(m.y, log, lo, hi);
  for (const Reference& r : c.references) widen(r.y, log, lo, hi);
}

std::string axis_text(const Axis& a) {
  return a.unit.empty() ? a.label : a.label + " (" + a.unit + ")";
}

// A marker shape of half-size r at (x, y).
std::string shape(int kind, double x, double y, double r, const std::string& fill,
                  const std::string& stroke) {
  const std::string paint = " fill=\"" + fill + "\" stroke=\"" + stroke + "\"";
  switch (kind) {
    case 1:
      return "<rect x=\"" + num(x - r) + "\" y=\"" + num(y - r) + "\" width=\"" + num(2 * r) +
             "\" height=\"" + num(2 * r) + "\"" + paint + "/>";
    case 2:
      return "<path d=\"M" + num(x) + "," + num(y - r) + "L" + num(x + r) + "," + num(y + r) + "L" +
             num(x - r) + "," + num(y + r) + "Z\"" + paint + "/>";
    case 3:
      return "<path d=\"M" + num(x) + "," + num(y - r) + "L" + num(x + r) + "," + num(y) + "L" +
             num(x) + "," + num(y + r) + "L" + num(x - r) + "," + num(y) + "Z\"" + paint + "/>";
    case 4:
      return "<path d=\"M" + num(x) + "," + num(y + r) + "L" + num(x + r) + "," + num(y - r) + "L" +
             num(x - r) + "," + num(y - r) + "Z\"" + paint + "/>";
    case 5:
      return "<path d=\"M" + num(x - r) + "," + num(y - r) + "L" + num(x + r) + "," + num(y + r) +
             "M" + num(x - r) + "," + num(y + r) + "L" + num(x + r) + "," + num(y - r) +
             "\" fill=\"none\" stroke=\"" + stroke + "\" stroke-width=\"2\"/>";
    default:
      return "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\"" + paint +
             "/>";
  }
}

std::string dash_attr(const Style& st) {
  return *st.dash ? std::string(" stroke-dasharray=\"") + st.dash + "\"" : std::string();
}

// The path of a series.  Long series keep, per pixel column, their first,
// lowest, highest and last points, so peaks survive the thinning.
std::string series_path(const Series& s, const Scale& sx, const Scale& sy) {
  std::string d;
  bool pen_down = false;
  long column = std::numeric_limits<long>::min();
  struct P {
    double x, y;
  };
  std::vector<P> bucket;
  auto flush = [&] {
    if (bucket.empty()) return;
    std::size_t lo = 0, hi = 0;
    for (std::size_t i = 1; i < bucket.size(); ++i) {
      if (bucket[i].y > bucket[lo].y) lo = i;  // pixel y grows downwards
      if (bucket[i].y < bucket[hi].y) hi = i;
    }
    std::vector<std::size_t> keep{0, lo, hi, bucket.size() - 1};
    std::sort(keep.begin(), keep.end());
    keep.erase(std::unique(keep.begin(), keep.end()), keep.end());
    for (std::size_t k : keep) {
      d += (pen_down ? "L" : "M") + num(bucket[k].x) + "," + num(bucket[k].y);
      pen_down = true;
    }
    bucket.clear();
  };
  const std::size_t n = std::min(s.x.size(), s.y.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (!usable(s.x[i], sx.log) || !usable(s.y[i], sy.log)) {
      flush();
      pen_down = false;
      continue;
    }
    const double px = sx(s.x[i]), py = sy(s.y[i]);
    const long c = std::lround(px);
    if (c != column) {
      flush();
      column = c;
    }
    bucket.push_back({px, py});
  }
  flush();
  return d;
}

// A series with a band: per pixel column the mean of its points as a path,
// and the polygon from the lowest to the highest value of the column.
struct BandPaths {
  std::string mean, band;
};

BandPaths series_band(const Series& s, const Band& b, const Scale& sx, const Scale& sy) {
  struct Column {
    double x, sum, low, high;
    int n;
  };
  std::vector<Column> cols;
  const std::size_t n = std::min({s.x.size(), s.y.size(), b.low.size(), b.high.size()});
  for (std::size_t i = 0; i < n; ++i) {
    if (!usable(s.x[i], sx.log) || !usable(s.y[i], sy.log)) continue;
    const double px = sx(s.x[i]);
    if (cols.empty() || std::lround(px) != std::lround(cols.back().x))
      cols.push_back({px, 0.0, b.low[i], b.high[i], 0});
    Column& c = cols.back();
    c.sum += s.y[i];
    c.low = std::min(c.low, b.low[i]);
    c.high = std::max(c.high, b.high[i]);
    ++c.n;
  }
  BandPaths p;
  for (std::size_t i = 0; i < cols.size(); ++i) {
    p.mean += (i ? "L" : "M") + num(cols[i].x) + "," + num(sy(cols[i].sum / cols[i].n));
    p.band += (i ? "L" : "M") + num(cols[i].x) + "," + num(sy(cols[i].high));
  }
  for (std::size_t i = cols.size(); i-- > 0;)
    p.band += "L" + num(cols[i].x) + "," + num(sy(cols[i].low));
  if (!cols.empty()) p.band += "Z";
  return p;
}

// The legend entries of a chart: series, then the critical marker.
struct Entry {
  std::string name;
  int style;  // index into kStyles; -1 the critical marker
  bool points;
};

std::vector<Entry> legend_entries(const LineChart& c) {
  std::vector<Entry> e;
  for (std::size_t i = 0; i < c.series.size(); ++i)
    e.push_back({c.series[i].name, static_cast<int>(i), c.series[i].points});
  if (!c.markers.empty()) e.push_back({c.marker_name, -1, false});
  return e;
}

double entry_width(const Entry& e) {
  return 40.0 + kCharWidth * static_cast<double>(e.name.size()) + 16.0;
}

// Rows of legend entries that fit the width.
int legend_rows(const std::vector<Entry>& entries, double width) {
  if (entries.empty()) return 0;
  int rows = 1;
  double x = 0;
  for (const Entry& e : entries) {
    const double w = entry_width(e);
    if (x > 0 && x + w > width) {
      ++rows;
      x = 0;
    }
    x += w;
  }
  return rows;
}

constexpr double kLegendRow = 18.0;

// The plot area of a panel and its scales (sr: the right-hand axis, when the
// chart has one).
struct Plot {
  double px0, px1, py0, py1;
  Scale sx, sy, sr;
};

// Grid and ticks.
std::string frame_and_axes(const LineChart& c, const Plot& p, double x0, double w, bool x_labels) {
  const double px0 = p.px0, px1 = p.px1, py0 = p.py0, py1 = p.py1;
  const Scale &sx = p.sx, &sy = p.sy, &sr = p.sr;
  std::string o;
  o += "<g stroke=\"#d9d9d9\" stroke-width=\"1\">";
  for (double t : sx.ticks)
    o += "<line x1=\"" + num(sx(t)) + "\" y1=\"" + num(py0) + "\" x2=\"" + num(sx(t)) + "\" y2=\"" +
         num(py1) + "\"/>";
  for (double t : sy.ticks)
    o += "<line x1=\"" + num(px0) + "\" y1=\"" + num(sy(t)) + "\" x2=\"" + num(px1) + "\" y2=\"" +
         num(sy(t)) + "\"/>";
  o += "</g>\n";
  o += "<rect x=\"" + num(px0) + "\" y=\"" + num(py0) + "\" width=\"" + num(px1 - px0) +
       "\" height=\"" + num(py1 - py0) + "\" fill=\"none\" stroke=\"#000\"/>\n";
  o += "<g class=\"ticks\">";
  if (x_labels) {
    for (double t : sx.ticks)
      o += "<text x=\"" + num(sx(t)) + "\" y=\"" + num(py1 + 16) + "\" text-anchor=\"middle\">" +
           tick_text(t) + "</text>";
    o += "<text class=\"axis-label\" x=\"" + num((px0 + px1) / 2) + "\" y=\"" + num(py1 + 36) +
         "\" text-anchor=\"middle\">" + escape(axis_text(c.x)) + "</text>";
  }
  for (double t : sy.ticks)
    o += "<text x=\"" + num(px0 - 6) + "\" y=\"" + num(sy(t) + 4) + "\" text-anchor=\"end\">" +
         tick_text(t) + "</text>";
  const double ymid = (py0 + py1) / 2;
  o += "<text class=\"axis-label\" transform=\"translate(" + num(x0 + 16) + "," + num(ymid) +
       ") rotate(-90)\" text-anchor=\"middle\">" + escape(axis_text(c.y)) + "</text>";
  if (c.y_right) {
    for (double t : sr.ticks)
      o += "<text x=\"" + num(px1 + 6) + "\" y=\"" + num(sr(t) + 4) + "\">" + tick_text(t) +
           "</text>";
    o += "<text class=\"axis-label\" transform=\"translate(" + num(x0 + w - 12) + "," + num(ymid) +
         ") rotate(90)\" text-anchor=\"middle\">" + escape(axis_text(*c.y_right)) + "</text>";
  }
  o += "</g>\n";
  return o;
}

// Reference lines, named at the right end (at the left when two names
// would overlap).
std::string reference_lines(const LineChart& c, const Plot& p) {
  const double px0 = p.px0, px1 = p.px1, py0 = p.py0;
  const Scale& sy = p.sy;
  std::string o;
  double last_label = -1e9;
  for (const Reference& r : c.references) {
    if (!usable(r.y, sy.log)) continue;
    const double py = sy(r.y);
    o += "<line class=\"reference\" x1=\"" + num(px0) + "\" y1=\"" + num(py) + "\" x2=\"" +
         num(px1) + "\" y2=\"" + num(py) + "\" stroke=\"#404040\" stroke-width=\"1.2\" " +
         "stroke-dasharray=\"6 2 1 2\"/>";
    const bool at_left = std::abs(py - last_label) < 13;
    // above the line, or below it where the frame's top would cross the text
    const double ty = py - 4 - kFont < py0 ? py + 4 + kFont : py - 4;
    o += "<text x=\"" + num(at_left ? px0 + 4 : px1 - 4) + "\" y=\"" + num(ty) + "\"" +
         (at_left ? "" : " text-anchor=\"end\"") + " fill=\"#404040\">" + escape(r.name) +
         "</text>\n";
    if (!at_left) last_label = py;
  }
  return o;
}

// Vertical lines, named at the top of the plot.
std::string vertical_lines(const LineChart& c, const Plot& p) {
  const double px0 = p.px0, px1 = p.px1, py0 = p.py0, py1 = p.py1;
  const Scale& sx = p.sx;
  std::string o;
  for (const VerticalLine& v : c.verticals) {
    if (!usable(v.x, sx.log)) continue;
    const double px = sx(v.x);
    o += "<line class=\"vertical\" x1=\"" + num(px) + "\" y1=\"" + num(py0) + "\" x2=\"" + num(px) +
         "\" y2=\"" + num(py1) + "\" stroke=\"#404040\" stroke-width=\"1.2\" " +
         "stroke-dasharray=\"3 3\"/>";
    if (!v.name.empty()) {
      const bool left = px > (px0 + px1) / 2;  // the name kept inside the plot
      o += "<text x=\"" + num(left ? px - 4 : px + 4) + "\" y=\"" + num(py0 + kFont + 2) + "\"" +
           (left ? " text-anchor=\"end\"" : "") + " fill=\"#404040\">" + escape(v.name) + "</text>";
    }
    o += "\n";
  }
  return o;
}

// Series, their point markers, then the critical markers on top.
std::string series_and_markers(const LineChart& c, const Plot& p) {
  const Scale &sx = p.sx, &sy = p.sy, &sr = p.sr;
  std::string o;
  for (std::size_t i = 0; i < c.series.size(); ++i) {
    const Series& s = c.series[i];
    const Scale& ys = s.right && c.y_right ? sr : sy;
    const Style& st = style_of(i);
    const auto band =
        std::find_if(c.bands.begin(), c.bands.end(), [i](const Band& b) { return b.series == i; });
    if (band != c.bands.end()) {
      const BandPaths b = series_band(s, *band, sx, ys);
      o += "<path class=\"band\" d=\"" + b.band + "\" fill=\"" + st.colour +
           "\" fill-opacity=\"0.25\" stroke=\"none\"/>\n";
      o += "<path class=\"series\" d=\"" + b.mean + "\" fill=\"none\" stroke=\"" + st.colour +
           "\" stroke-width=\"1.8\"" + dash_attr(st) + "/>\n";
      continue;
    }
    o += "<path class=\"series\" d=\"" + series_path(s, sx, ys) + "\" fill=\"none\" stroke=\"" +
         st.colour + "\" stroke-width=\"1.8\"" + dash_attr(st) + "/>\n";
    if (s.points) {
      o += "<g>";
      for (std::size_t k = 0; k < std::min(s.x.size(), s.y.size()); ++k)
        if (usable(s.x[k], sx.log) && usable(s.y[k], ys.log))
          o += shape(st.shape, sx(s.x[k]), ys(s.y[k]), 3.2, st.colour, st.colour);
      o += "</g>\n";
    }
  }
  for (const Marker& m : c.markers) {
    if (m.series >= c.series.size() || !usable(m.x, sx.log) || !usable(m.y, sy.log)) continue;
    const Style& st = style_of(m.series);
    const Scale& ys = c.series[m.series].right && c.y_right ? sr : sy;
    o += "<g class=\"critical\">" + shape(st.shape, sx(m.x), ys(m.y), 4.5, st.colour, st.colour) +
         "<circle cx=\"" + num(sx(m.x)) + "\" cy=\"" + num(ys(m.y)) +
         "\" r=\"8\" fill=\"none\" stroke=\"#000\" stroke-width=\"1.5\"/></g>\n";
  }
  return o;
}

// Legend rows under the plot, the first with its top at y_top.
std::string legend(const std::vector<Entry>& entries, const Plot& p, double y_top) {
  const double px0 = p.px0, px1 = p.px1;
  std::string o;
  if (!entries.empty()) {
    double lx = px0, ly = y_top + 12;
    o += "<g class=\"legend\">";
    for (const Entry& e : entries) {
      const double ew = entry_width(e);
      if (lx > px0 && lx + ew > px1) {
        lx = px0;
        ly += kLegendRow;
      }
      if (e.style >= 0) {
        const Style& st = style_of(static_cast<std::size_t>(e.style));
        o += "<line x1=\"" + num(lx) + "\" y1=\"" + num(ly - 4) + "\" x2=\"" + num(lx + 34) +
             "\" y2=\"" + num(ly - 4) + "\" stroke=\"" + st.colour + "\" stroke-width=\"1.8\"" +
             dash_attr(st) + "/>";
        if (e.points) o += shape(st.shape, lx + 17, ly - 4, 3.2, st.colour, st.colour);
      } else {
        o += "<circle cx=\"" + num(lx + 17) + "\" cy=\"" + num(ly - 4) +
             "\" r=\"8\" fill=\"none\" stroke=\"#000\" stroke-width=\"1.5\"/>";
      }
      o += "<text x=\"" + num(lx + 40) + "\" y=\"" + num(ly) + "\">" + escape(e.name) + "</text>";
      lx += ew;
    }
    o += "</g>\n";
  }
  return o;
}

// One panel of a chart in the box (x0, y0, w, h).  x_shared: the shared x
// range of a two-panel chart.  x_labels: tick labels and the axis label.
// right_margin: room for a right-hand axis (both panels keep the same plot
// width).
std::string panel(const LineChart& c, double x0, double y0, double w, double h,
                  const Scale* x_shared, bool x_labels, bool right_margin) {
  const std::vector<Entry> entries = legend_entries(c);
  const double left = 72, right = right_margin ? 72 : 24;
  const double top = c.title.empty() ? 12 : 30;
  const double legend_h = legend_rows(entries, w - left - right) * kLegendRow;
  const double bottom = (x_labels ? 48 : 10) + legend_h;
  const double px0 = x0 + left, px1 = x0 + w - right;
  const double py0 = y0 + top, py1 = y0 + h - bottom;

  Plot p{px0, px1, py0, py1, {}, {}, {}};
  Scale& sx = p.sx;
  if (x_shared) {
    sx = *x_shared;
  } else {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    x_range(c, lo, hi);
    sx = make_scale(c.x, lo, hi);
  }
  sx.p0 = px0;
  sx.p1 = px1;
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  y_range(c, false, lo, hi);
  Scale& sy = p.sy;
  sy = make_scale(c.y, lo, hi);
  sy.p0 = py1;
  sy.p1 = py0;
  Scale& sr = p.sr;
  if (c.y_right) {
    lo = std::numeric_limits<double>::infinity(), hi = -lo;
    y_range(c, true, lo, hi);
    sr = make_scale(*c.y_right, lo, hi);
    sr.p0 = py1;
    sr.p1 = py0;
  }

  std::string o;
  if (!c.title.empty())
    o += "<text class=\"chart-title\" x=\"" + num(px0) + "\" y=\"" + num(y0 + 18) +
         "\" font-weight=\"bold\">" + escape(c.title) + "</text>\n";
  o += frame_and_axes(c, p, x0, w, x_labels);
  o += reference_lines(c, p);
  o += vertical_lines(c, p);
  o += series_and_markers(c, p);
  o += legend(entries, p, y0 + h - legend_h);
  return o;
}

std::string svg_open(const std::string& title, Size size) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"" + num(size.width) +
         "\" height=\"" + num(size.height) + "\" viewBox=\"0 0 " + num(size.width) + " " +
         num(size.height) + "\" font-family=\"sans-serif\" font-size=\"" + num(kFont) +
         "\" role=\"img\">\n<title>" + escape(title) + "</title>\n";
}

}  // namespace

std::vector<double> linear_ticks(double& lo, double& hi, int target) {
  if (!(hi > lo)) {
    const double pad = lo == 0.0 ? 1.0 : std::abs(lo) * 0.1;
    lo -= lo == 0.0 ? 0.0 : pad;
    hi += pad;
  }
  const double raw = (hi - lo) / std::max(target, 1);
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / mag;
  const double unit = norm < 1.5 ? 1.0 : norm < 3.0 ? 2.0 : norm < 7.0 ? 5.0 : 10.0;
  const double step = unit * mag;
  const double first = std::floor(lo / step + 1e-9);
  const double last = std::ceil(hi / step - 1e-9);
  // k * unit / 10^n rather than k * step, so that 0.6 reads 0.6.
  const double tenths = mag < 1.0 ? std::round(1.0 / mag) : 0.0;
  auto value = [&](double k) { return tenths > 0.0 ? k * unit / tenths : k * step; };
  lo = value(first);
  hi = value(last);
  std::vector<double> t;
  for (double k = first; k <= last + 0.5; k += 1.0) t.push_back(value(k));
  return t;
}

std::vector<double> log_ticks(double& lo, double& hi) {
  if (!(lo > 0.0)) lo = hi > 0.0 ? hi / 10.0 : 1.0;
  if (!(hi > lo)) {
    lo /= 2.0;
    hi = hi * 2.0 > lo ? hi * 2.0 : lo * 10.0;
  }
  std::vector<double> t;
  if (hi / lo > 1000.0) {  // powers of ten, the range widened to them
    lo = std::pow(10.0, std::floor(std::log10(lo) + 1e-9));
    hi = std::pow(10.0, std::ceil(std::log10(hi) - 1e-9));
    for (double v = lo; v <= hi * (1 + 1e-9); v *= 10.0) t.push_back(v);
    return t;
  }
  // The data's range with a little room; ticks at 1, 2 and 5 times powers
  // of ten inside it, or at 1, 2, 3, 4, 5, 6, 8 times when those are few.
  const double room = (std::log10(hi) - std::log10(lo)) * 0.04;
  lo = std::pow(10.0, std::log10(lo) - room);
  hi = std::pow(10.0, std::log10(hi) + room);
  auto within = [&](std::initializer_list<double> steps) {
    t.clear();
    for (double e = std::floor(std::log10(lo)); e <= std::ceil(std::log10(hi)); e += 1.0)
      for (double m : steps) {
        // m * 10^e formed so that 0.2 reads 0.2
        const double v = e < 0 ? m / std::pow(10.0, -e) : m * std::pow(10.0, e);
        if (v >= lo && v <= hi) t.push_back(v);
      }
  };
  within({1, 2, 5});
  if (t.size() < 4) within({1, 2, 3, 4, 5, 6, 8});
  return t;
}

std::string tick_text(double v) {
  if (std::abs(v) < 1e-12) return "0";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

std::string escape(std::string_view text) {
  std::string o;
  o.reserve(text.size());
  for (char ch : text) {
    switch (ch) {
      case '&':
        o += "&amp;";
        break;
      case '<':
        o += "&lt;";
        break;
      case '>':
        o += "&gt;";
        break;
      case '"':
        o += "&quot;";
        break;
      case '\'':
        o += "&#39;";
        break;
      default:
        o += ch;
    }
  }
  return o;
}

std::string svg(const LineChart& chart, Size size) {
  return svg_open(chart.title, size) +
         panel(chart, 0, 0, size.width, size.height, nullptr, true, chart.y_right.has_value()) +
         "</svg>\n";
}

std::string svg_two_panel(const LineChart& top, const LineChart& bottom, Size size) {
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  x_range(top, lo, hi);
  x_range(bottom, lo, hi);
  const Scale shared = make_scale(bottom.x, lo, hi);
  const double split = std::round(size.height * 0.55);
  const bool right = top.y_right || bottom.y_right;
  return svg_open(top.title.empty() ? bottom.title : top.title, size) +
         panel(top, 0, 0, size.width, split, &shared, false, right) +
         panel(bottom, 0, split, size.width, size.height - split, &shared, true, right) +
         "</svg>\n";
}

}  // namespace sitedrain::chart
