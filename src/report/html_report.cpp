#include "report/html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "chart/line_chart.h"
#include "rainfall/depth_grid.h"
#include "report/html.h"

namespace sitedrain::report {

namespace {

using design::DesignResults;
using design::StormRecord;
using params::StorageKind;

constexpr double kLitresPerM3h = 1000.0 / 3600.0;  // l/s in one m^3/h

// v with the given decimals; "-" for a value that is not finite.
std::string fixed(double v, int decimals) {
  if (!std::isfinite(v)) return "-";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string list_text(const std::vector<int>& v, std::string_view unit) {
  std::string s;
  for (std::size_t n = 0; n < v.size(); ++n) s += (n ? ", " : "") + std::to_string(v[n]);
  return s + " " + std::string(unit);
}

std::string_view loss_model_name(params::LossModel m) {
  switch (m) {
    case params::LossModel::horton: return "Horton";
    case params::LossModel::green_ampt: return "Green-Ampt";
    case params::LossModel::green_ampt_pdm: return "Green-Ampt with a probability-distributed store";
    case params::LossModel::final_horton: break;
  }
  return "Final-value Horton";
}

std::string_view profile_name(params::StormProfile s) {
  switch (s) {
    case params::StormProfile::winter75: return "winter 75% distribution";
    case params::StormProfile::summer50: return "summer 50% distribution";
    case params::StormProfile::uniform: break;
  }
  return "uniform distribution";
}

std::string_view season_name(params::Season s) {
  switch (s) {
    case params::Season::all_year: return "all-year";
    case params::Season::summer: return "summer";
    case params::Season::winter: return "winter";
    case params::Season::none: break;
  }
  return "none";
}

std::string_view storage_name(StorageKind k) {
  switch (k) {
    case StorageKind::sump: return "pumped sump";
    case StorageKind::soakaway: return "soakaway";
    case StorageKind::runoff_only: return "none (runoff estimates only)";
    case StorageKind::pond: break;
  }
  return "attenuation pond with a throttle-plate orifice";
}

// The outlet's heading and unit, empty for a soakaway (a single size).
std::pair<std::string, std::string> outlet_heading(StorageKind k) {
  if (k == StorageKind::pond) return {"Orifice", "mm"};
  if (k == StorageKind::sump) return {"Pump rate", "m³/h"};
  return {"", ""};
}

std::string outlet_text(StorageKind k, double size) {
  return k == StorageKind::pond ? fixed(size, 0) + " mm orifice" : fixed(size, 1) + " m³/h pump";
}

std::string years(int rp) { return std::to_string(rp) + (rp == 1 ? " year" : " years"); }

chart::Axis axis(std::string label, std::string unit, bool log = false, bool from_zero = false) {
  chart::Axis a;
  a.label = std::move(label);
  a.unit = std::move(unit);
  a.log = log;
  a.from_zero = from_zero;
  return a;
}

// In: the catchment record.  Out: the depth model and, for a grid, which.
std::string rainfall_model_text(const rainfall::Catchment& c) {
  if (c.model == rainfall::DdfModel::FEH99)
    return "FEH99 depth-duration-frequency model (FSR depth ratios under an hour)";
  return std::string(rainfall::ddf_model_name(c.model)) + " " +
         std::string(rainfall::grid_kind_name(c.grid_kind)) + " depth grid";
}

// The run's mode in words.
std::string mode_text(const params::DesignParams& p) {
  if (p.storage_run()) {
    return p.storage_kind == StorageKind::runoff_only ? "runoff estimates" : "storage design";
  }
  return p.greenfield_only() ? "greenfield runoff rates" : "design rainfall table";
}

class Builder {
 public:
  explicit Builder(const ReportInput& in)
      : in_(in),
        r_(*in.results),
        p_(r_.head.params),
        doc_("sitedrain report: " + (r_.head.location.empty() ? std::string("unnamed site")
                                                                  : r_.head.location)) {}

  std::string build() {
    summary();
    if (in_.rain && !in_.rain->empty() && !p_.greenfield_only()) rainfall();
    if (p_.grnff == 1) greenfield();
    if (p_.storage_run()) {
      if (r_.kind == StorageKind::runoff_only)
        runoff();
      else
        storage();
    }
    return doc_.finish();
  }

 private:
  const ReportInput& in_;
  const DesignResults& r_;
  const params::DesignParams& p_;
  Document doc_;

  bool design_run() const { return p_.storage_run() && r_.kind != StorageKind::runoff_only; }

  void summary() {
    const auto& h = r_.head;
    doc_.begin_section("Run summary", "summary");
    std::vector<std::pair<std::string, std::string>> f;
    f.push_back({"Site", h.location.empty() ? "-" : h.location});
    f.push_back({"Grid reference",
                 "NGR " + std::to_string(h.catchment.easting) + " " +
                     std::to_string(h.catchment.northing)});
    f.push_back({"Annual rainfall (SAAR 1961-1990)", fixed(h.catchment.SAAR, 1) + " mm"});
    f.push_back({"Run", mode_text(p_)});
    f.push_back({"Total sub-catchment area", fixed(h.total_area, 0) + " m²"});
    if (p_.storage_run()) {
      f.push_back({"Loss model", std::string(loss_model_name(p_.loss_model))});
      f.push_back({"Storm profile", std::string(profile_name(p_.profile))});
    }
    if (!p_.greenfield_only()) {
      f.push_back({"Season", std::string(season_name(p_.rain_season))});
      f.push_back({"Rainfall model", rainfall_model_text(h.catchment)});
      f.push_back({"Rainfall estimate", p_.point == 1 ? "point estimate"
                                                      : p_.arff == 1
                                                            ? "catchment, areal reduction factor"
                                                            : "catchment"});
      f.push_back({"Climate-change factor", fixed(p_.cchgfac, 2)});
      f.push_back({"Return periods", list_text(h.return_periods, "years")});
      f.push_back({"Storm durations", list_text(h.durations, "min")});
    }
    if (design_run()) {
      f.push_back({"Storage", std::string(storage_name(p_.storage_kind))});
      f.push_back({"Maximum depth", fixed(p_.maxdepth, 2) + " m"});
      f.push_back({"Batter (horizontal to vertical)", fixed(p_.batter, 1) + " : 1"});
      if (p_.storage_kind == StorageKind::pond)
        f.push_back({"Orifice diameters", std::to_string(p_.tpod.first) + " to " +
                                              std::to_string(p_.tpod.last) + " mm in steps of " +
                                              std::to_string(p_.tpod.step) + " mm"});
      if (p_.storage_kind == StorageKind::sump)
        f.push_back({"Pump rates", std::to_string(p_.pumprate.first) + " to " +
                                       std::to_string(p_.pumprate.last) + " m³/h in steps of " +
                                       std::to_string(p_.pumprate.step) + " m³/h"});
      if (p_.storage_kind == StorageKind::soakaway) {
        f.push_back({"Infiltration coefficient", fixed(p_.infiltco, 4) + " m/h"});
        f.push_back({"Fill void ratio", fixed(p_.ffill, 2)});
        f.push_back({"Sides infiltrating", std::to_string(p_.sideno)});
      }
      f.push_back({"Starting top length and width",
                   fixed(p_.topl, 1) + " m x " + fixed(p_.topw, 1) + " m"});
      f.push_back({"Settlement lagoon", p_.lagoonratio == 0  ? std::string("none")
                                        : p_.lagoonratio > 0 ? "rectangular, ratio " +
                                                                   std::to_string(p_.lagoonratio)
                                                             : "ellipse, ratio " +
                                                                   std::to_string(-p_.lagoonratio)});
      f.push_back({"Half-emptying time limit", std::to_string(p_.rhmpt) + " h"});
    }
    f.push_back({"Program", "sitedrain " + in_.version});
    doc_.facts(f);

    Table t;
    t.caption = "Sub-catchments";
    t.css_class = "subcatchments";
    t.head = {"Sub-catchment", "Area (m²)", "Surface type"};
    if (p_.grnff == 1) t.head.push_back("WRAP soil class");
    const int n = std::clamp(p_.nsubc, 1, params::kMaxSubCatchments);
    for (int i = 0; i < n; ++i) {
      const auto s = static_cast<std::size_t>(i);
      std::vector<std::string> row{std::to_string(i + 1), fixed(p_.area[s], 0),
                                   std::to_string(p_.surface[s])};
      if (p_.grnff == 1)
        row.push_back(std::to_string(p_.wrapf == 1 || i == 0 ? p_.soilFSR[s] : p_.soilFSR[0]));
      t.rows.push_back(row);
    }
    doc_.table(t);
    doc_.end_section();
  }

  double depth(std::size_t k, std::size_t i) const {
    return (*in_.rain)[k * r_.head.return_periods.size() + i];
  }

  void rainfall() {
    const auto& rps = r_.head.return_periods;
    const auto& durs = r_.head.durations;
    doc_.begin_section("Design rainfall", "rainfall");
    Table t;
    t.caption = "Design rainfall depth (mm), " + std::string(season_name(p_.rain_season)) +
                ", climate-change factor " + fixed(p_.cchgfac, 2);
    t.css_class = "rainfall";
    t.head.push_back("Duration (min)");
    for (int rp : rps) t.head.push_back(years(rp));
    for (std::size_t k = 0; k < durs.size(); ++k) {
      std::vector<std::string> row{std::to_string(durs[k])};
      for (std::size_t i = 0; i < rps.size(); ++i) row.push_back(fixed(depth(k, i), 1));
      t.rows.push_back(row);
    }
    doc_.table(t);
    chart::LineChart c;
    c.title = "Design rainfall depth against storm duration";
    c.x = axis("Storm duration", "min", true);
    c.y = axis("Rainfall depth", "mm", false, true);
    for (std::size_t i = 0; i < rps.size(); ++i) {
      chart::Series s{years(rps[i]), {}, {}, durs.size() <= 12};
      for (std::size_t k = 0; k < durs.size(); ++k) {
        s.x.push_back(durs[k]);
        s.y.push_back(depth(k, i));
      }
      c.series.push_back(s);
    }
    doc_.figure(chart::svg(c),
                "Design rainfall depth against storm duration (logarithmic time axis), one line "
                "per return period.");
    doc_.end_section();
  }

  void greenfield() {
    const greenfield::Rates& g = r_.head.rates;
    doc_.begin_section("Greenfield runoff rates", "greenfield");
    Table t;
    t.caption = "Greenfield runoff rates of the undeveloped site";
    t.css_class = "greenfield";
    t.head = {"Rate", "Annual exceedance probability", "Flow (m³/s)", "Flow (l/s)"};
    t.text_column = {true, true};
    t.rows = {{"Qbar", "mean annual flood", fixed(g.qbar, 5), fixed(g.qbar * 1000.0, 2)},
              {"Q3.33%", "3.33% (30 years)", fixed(g.q30, 5), fixed(g.q30 * 1000.0, 2)},
              {"Q1%", "1% (100 years)", fixed(g.q100, 5), fixed(g.q100 * 1000.0, 2)}};
    doc_.table(t);
    if (p_.greenfield_only()) {
      chart::LineChart c;
      c.title = "Greenfield flood against return period";
      c.x = axis("Return period", "years", true);
      c.y = axis("Flow", "l/s", false, true);
      c.series.push_back({"growth curve (Q3.33%, Q1%)", {30, 100},
                          {g.q30 * 1000.0, g.q100 * 1000.0}, true});
      c.references.push_back({g.qbar * 1000.0, "Qbar " + fixed(g.qbar * 1000.0, 2) + " l/s"});
      doc_.figure(chart::svg(c), "The 30-year and 100-year greenfield floods, and Qbar.");
    }
    doc_.end_section();
  }

  // ---- storage designs -----------------------------------------------------

  std::set<std::size_t> set_of(const std::vector<std::size_t>& v) const {
    return {v.begin(), v.end()};
  }

  void storage() {
    const StorageKind kind = r_.kind;
    const auto [outlet_name, outlet_unit] = outlet_heading(kind);
    const std::set<std::size_t> smallest = set_of(r_.smallest);
    const std::set<std::size_t> half = set_of(r_.half_emptying);
    doc_.begin_section("Critical storms", "critical");
    doc_.paragraph(
        "For each return period and outlet size, the storm that needs the largest " +
        std::string(kind == StorageKind::soakaway ? "stored volume" : "total area of water") +
        " (the governing storm). Marks: S the smallest design of the return period (its row "
        "shaded), H half-empties within " +
        std::to_string(p_.rhmpt) +
        " h, U the sizing did not settle within 16 passes (the volume is the mean of the last "
        "two).");
    Table t;
    t.caption = "Critical storm of each return period and outlet size";
    t.css_class = "critical";
    t.head = {"Return period (years)"};
    if (!outlet_name.empty()) t.head.push_back(outlet_name + " (" + outlet_unit + ")");
    for (const char* h :
         {"Critical duration (min)", "Peak volume (m³)", "Depth (m)", "Peak outflow (m³/h)",
          "Peak outflow (l/s)", "Emptying time (h)", "Half-emptying time (h)",
          "Top length x width (m)", "Total water area (m²)", "Marks"})
      t.head.push_back(h);
    for (const auto& g : r_.governing)
      for (std::size_t n : g) {
        const StormRecord& rec = r_.records[n];
        std::vector<std::string> row{std::to_string(rec.return_period)};
        if (!outlet_name.empty())
          row.push_back(fixed(rec.outlet_size, kind == StorageKind::pond ? 0 : 1));
        row.push_back(std::to_string(rec.duration));
        row.push_back(fixed(rec.peak_volume, 1));
        row.push_back(fixed(rec.depth, 2));
        row.push_back(fixed(rec.peak_outflow, 1));
        row.push_back(fixed(rec.peak_outflow * kLitresPerM3h, 2));
        row.push_back(fixed(rec.emptying_time, 1));
        row.push_back(fixed(rec.half_emptying_time, 1));
        row.push_back(fixed(rec.top_length, 1) + " x " + fixed(rec.top_width, 1));
        row.push_back(fixed(rec.water_area, 0));
        std::string marks;
        if (smallest.count(n)) marks += "S ";
        if (half.count(n)) marks += "H ";
        if (rec.unstable) marks += "U ";
        if (!marks.empty()) marks.pop_back();
        row.push_back(marks);
        t.rows.push_back(row);
        t.row_class.push_back(smallest.count(n) ? "governing marked" : "governing");
      }
    doc_.table(t);
    doc_.end_section();
    duration_charts();
    hydrographs();
  }

  // The outlet sizes whose charts the report draws: those of the smallest
  // designs, in sweep order (at most four).
  std::vector<double> charted_outlets() const {
    std::set<double> sizes;
    for (std::size_t n : r_.smallest) sizes.insert(r_.records[n].outlet_size);
    std::vector<double> v(sizes.begin(), sizes.end());
    if (v.size() > 4) v.resize(4);
    return v;
  }

  // Peak volume or outflow against duration for one outlet size: a line per
  // return period, the governing storm marked.
  chart::LineChart against_duration(double outlet, bool volume) const {
    chart::LineChart c;
    c.x = axis("Storm duration", "min", true);
    c.y = volume ? axis("Peak stored volume", "m³", false, true)
                 : axis("Peak outflow", "l/s", false, true);
    std::set<std::size_t> governing;
    for (const auto& g : r_.governing) governing.insert(g.begin(), g.end());
    for (int rp : r_.head.return_periods) {
      chart::Series s{years(rp), {}, {}, true};
      std::vector<std::pair<int, std::size_t>> rows;
      for (std::size_t n = 0; n < r_.records.size(); ++n) {
        const StormRecord& rec = r_.records[n];
        if (rec.return_period == rp && rec.outlet_size == outlet) rows.push_back({rec.duration, n});
      }
      if (rows.empty()) continue;
      std::sort(rows.begin(), rows.end());
      for (const auto& [d, n] : rows) {
        const StormRecord& rec = r_.records[n];
        s.x.push_back(d);
        s.y.push_back(volume ? rec.peak_volume : rec.peak_outflow * kLitresPerM3h);
        if (governing.count(n))
          c.markers.push_back({c.series.size(), static_cast<double>(d), s.y.back()});
      }
      s.points = s.x.size() <= 12;
      c.series.push_back(s);
    }
    c.marker_name = "critical duration";
    if (!volume && p_.grnff == 1) {
      const greenfield::Rates& g = r_.head.rates;
      c.references.push_back({g.qbar * 1000.0, "greenfield Qbar"});
      c.references.push_back({g.q30 * 1000.0, "greenfield Q3.33%"});
      c.references.push_back({g.q100 * 1000.0, "greenfield Q1%"});
    }
    return c;
  }

  void duration_charts() {
    const std::vector<double> outlets = charted_outlets();
    const bool named = r_.kind != StorageKind::soakaway;
    doc_.begin_section("Storage against duration", "storage-duration");
    for (double o : outlets) {
      chart::LineChart c = against_duration(o, true);
      c.title = "Peak stored volume" + (named ? ", " + outlet_text(r_.kind, o) : std::string());
      doc_.figure(chart::svg(c),
                  "Peak stored volume against storm duration (logarithmic time axis), one line per "
                  "return period; the ring marks the critical duration.",
                  "storage-duration");
    }
    doc_.end_section();
    doc_.begin_section("Peak outflow against duration", "outflow-duration");
    for (double o : outlets) {
      chart::LineChart c = against_duration(o, false);
      c.title = "Peak outflow" + (named ? ", " + outlet_text(r_.kind, o) : std::string());
      doc_.figure(chart::svg(c),
                  std::string("Peak outflow against storm duration (logarithmic time axis)") +
                      (p_.grnff == 1 ? ", with the greenfield runoff rates." : "."),
                  "outflow-duration");
    }
    doc_.end_section();
  }

  void hydrographs() {
    if (!in_.series || in_.series->empty()) return;
    doc_.begin_section("Critical storms in time", "hydrographs");
    doc_.paragraph(
        "The smallest design of each return period (of the six largest when there are more), "
        "simulated again through its storage: rain intensity, inflow and outflow, and the water "
        "depth below.");
    for (const design::StormSeries& s : *in_.series) {
      const StormRecord& rec = r_.records[s.record];
      chart::LineChart top, bottom;
      top.title = years(rec.return_period) + ", " + std::to_string(rec.duration) + " min storm" +
                  (r_.kind == StorageKind::soakaway ? std::string()
                                                    : ", " + outlet_text(r_.kind, rec.outlet_size));
      top.x = axis("Time", "min", false, true);
      top.y = axis("Flow", "l/s", false, true);
      top.y_right = axis("Rain intensity", "mm/h", false, true);
      bottom.x = top.x;
      bottom.y = axis("Water depth", "m", false, true);
      chart::Series in{"inflow", {}, {}}, out{"outflow", {}, {}},
          rain{"rain intensity (right scale)", {}, {}, false, true}, depth{"water depth", {}, {}};
      for (const design::SeriesPoint& pt : s.points) {
        const double t = pt.t / 60.0;
        in.x.push_back(t);
        in.y.push_back(pt.inflow * 1000.0);
        out.x.push_back(t);
        out.y.push_back(pt.outflow * 1000.0);
        rain.x.push_back(t);
        rain.y.push_back(pt.rain);
        depth.x.push_back(t);
        depth.y.push_back(pt.depth);
      }
      top.series = {in, out, rain};
      bottom.series = {depth};
      bottom.references.push_back({rec.depth, "storage depth " + fixed(rec.depth, 2) + " m"});
      doc_.figure(chart::svg_two_panel(top, bottom),
                  "Peak stored volume " + fixed(s.max_volume, 1) + " m³, peak outflow " +
                      fixed(s.max_outflow * kLitresPerM3h, 2) + " l/s (" +
                      fixed(s.max_outflow, 1) + " m³/h).",
                  "hydrograph");
    }
    doc_.end_section();
  }

  // ---- runoff-only runs ------------------------------------------------------

  void runoff() {
    doc_.begin_section("Runoff estimates", "runoff");
    Table t;
    t.caption = "Runoff of every design storm";
    t.css_class = "runoff";
    t.head = {"Return period (years)", "Duration (min)", "Rainfall (mm)", "Mean inflow (m³/h)",
              "Runoff volume (m³)", "Runoff coefficient"};
    chart::LineChart vol, coef;
    vol.title = "Runoff volume against storm duration";
    vol.x = axis("Storm duration", "min", true);
    vol.y = axis("Runoff volume", "m³", false, true);
    coef.title = "Runoff coefficient against storm duration";
    coef.x = vol.x;
    coef.y = axis("Runoff coefficient", "", false, true);
    std::map<int, std::size_t> line_of;
    for (const design::RunoffRow& row : r_.runoff_rows) {
      const bool has_coef = row.rain_volume > 0.0;
      const double c = has_coef ? row.runoff_volume / row.rain_volume : 0.0;
      t.rows.push_back({std::to_string(row.return_period), std::to_string(row.duration),
                        fixed(row.rain_depth, 1), fixed(row.mean_inflow, 1),
                        fixed(row.runoff_volume, 1), has_coef ? fixed(c, 3) : "-"});
      if (!line_of.count(row.return_period)) {
        line_of[row.return_period] = vol.series.size();
        vol.series.push_back({years(row.return_period), {}, {}, true});
        coef.series.push_back({years(row.return_period), {}, {}, true});
      }
      const std::size_t l = line_of[row.return_period];
      vol.series[l].x.push_back(row.duration);
      vol.series[l].y.push_back(row.runoff_volume);
      if (has_coef) {
        coef.series[l].x.push_back(row.duration);
        coef.series[l].y.push_back(c);
      }
    }
    doc_.table(t);
    doc_.figure(chart::svg(vol), "Runoff volume against storm duration, one line per return period.",
                "runoff-volume");
    doc_.figure(chart::svg(coef),
                "Runoff coefficient (runoff volume over rain volume) against storm duration.",
                "runoff-coefficient");
    doc_.end_section();
  }
};

}  // namespace

std::string html_report(const ReportInput& in) { return Builder(in).build(); }

}  // namespace sitedrain::report
