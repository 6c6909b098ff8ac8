#include "report/html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "chart/line_chart.h"
#include "params/code_names.h"
#include "rainfall/depth_grid.h"
#include "report/design_checks.h"
#include "report/html.h"
#include "runoff/loss_model.h"

namespace sitedrain::report {

namespace {

using params::StorageKind;
using results::DesignResults;
using results::StormRecord;

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

std::string_view profile_name(params::StormProfile s) {
  switch (s) {
    case params::StormProfile::winter75:
      return "winter 75% distribution";
    case params::StormProfile::summer50:
      return "summer 50% distribution";
    case params::StormProfile::uniform:
      break;
  }
  return "uniform distribution";
}

std::string_view season_name(params::Season s) {
  switch (s) {
    case params::Season::all_year:
      return "all-year";
    case params::Season::summer:
      return "summer";
    case params::Season::winter:
      return "winter";
    case params::Season::none:
      break;
  }
  return "none";
}

std::string_view storage_name(StorageKind k) {
  switch (k) {
    case StorageKind::sump:
      return "pumped sump";
    case StorageKind::soakaway:
      return "soakaway";
    case StorageKind::runoff_only:
      return "none (runoff estimates only)";
    case StorageKind::pond:
      break;
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

std::string years(int rp) {
  return std::to_string(rp) + (rp == 1 ? " year" : " years");
}

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

// What a warning of the run means for the design, by its first words.
struct WarningMeaning {
  std::string_view starts;
  std::string_view meaning;
};
constexpr WarningMeaning kWarningMeanings[] = {
    {"WARNING: DURATION < 1H SEASONAL",
     "The seasonal (summer or winter) adjustment of the rainfall is not reliable for storms "
     "shorter than an hour: the depths of the shortest durations, and any design they govern, "
     "are uncertain. Check those designs with all-year rainfall."},
    {"WARNING: Area of subcatchment",
     "A sub-catchment of under 1 m² adds almost no runoff: check that its area was entered in "
     "m²."},
    {"Incompatible initial base",
     "The starting top dimension could not fit the maximum depth at this batter: it was enlarged "
     "to the value shown, which fixes the top's length-to-width ratio of every design."},
    {"Maxdepth too large for volume",
     "The volume could not be held at the maximum depth with this batter and ratio: the storage "
     "depth was cut to the value shown for that storm, so the design is shallower (and larger in "
     "plan) than asked."},
    {"There was no runoff from the catchment for storms",
     "The storms of this duration gave no runoff through the loss model: they have no design "
     "and are missing from the charts."},
    {"root must be bracketed",
     "The search for the greatest workable depth of a basin found no bracket and went on with "
     "its last estimate: check the depth of the designs this storm gives."},
    {"rtsafe", "A root search stopped at its iteration limit and went on with its last estimate."},
    {"unable to get stability",
     "The sizing of this storm did not settle within 16 passes: its volume is the mean of the "
     "last two (mark U); treat its figures as approximate."},
};

std::string_view warning_meaning(std::string_view text) {
  for (const WarningMeaning& m : kWarningMeanings)
    if (text.starts_with(m.starts)) return m.meaning;
  return {};
}

class Builder {
 public:
  explicit Builder(const ReportInput& in)
      : in_(in),
        r_(*in.results),
        p_(r_.head.params),
        doc_("sitedrain report: " +
             (r_.head.location.empty() ? std::string("unnamed site") : r_.head.location)) {}

  std::string build() {
    if (design_run()) checks_ = design_checks(r_, in_.series);
    if (design_run()) doc_.raw("<p class=\"verdict\">" + escape(checks_.verdict) + "</p>\n");
    warnings();
    summary();
    if (design_run()) checks();
    if (in_.rain && !in_.rain->empty() && !p_.greenfield_only()) rainfall();
    if (p_.greenfield_rates == 1) greenfield();
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
  DesignChecks checks_;

  bool design_run() const { return p_.storage_run() && r_.kind != StorageKind::runoff_only; }

  // The run's warnings and adjustments in its own words, each once with
  // how often it came, and what it means for the design.
  void warnings() {
    if (!in_.notes || in_.notes->warnings.empty()) return;
    std::vector<std::pair<std::string, int>> seen;
    for (const std::string& w : in_.notes->warnings) {
      auto it = std::find_if(seen.begin(), seen.end(), [&](const auto& e) { return e.first == w; });
      if (it == seen.end())
        seen.push_back({w, 1});
      else
        ++it->second;
    }
    std::string o = "<div class=\"warnings\">\n<h2 id=\"warnings\">Warnings</h2>\n<ul>\n";
    std::string_view last_meaning;
    for (const auto& [text, count] : seen) {
      o += "<li><code>" + escape(text) + "</code>";
      if (count > 1) o += " (" + std::to_string(count) + " times)";
      const std::string_view meaning = warning_meaning(text);
      // one explanation for a run of warnings of the same kind
      if (!meaning.empty() && meaning != last_meaning)
        o += "<span class=\"meaning\">" + escape(meaning) + "</span>";
      last_meaning = meaning;
      o += "</li>\n";
    }
    doc_.raw(o + "</ul>\n</div>\n");
  }

  std::string outlet_cell(const CheckRow& row) const {
    if (!row.has_outlet) return "-";
    return r_.kind == StorageKind::pond ? fixed(row.outlet, 0) + " mm"
                                        : fixed(row.outlet, 1) + " m³/h";
  }

  // The reviewer's checks: the outcome of each return period, then every
  // check with its figures.
  void checks() {
    doc_.begin_section("Design checks", "checks");
    doc_.paragraph(
        "Each design (the governing storm of a return period and outlet size) checked as an "
        "approving authority checks it. Limits: the peak discharge no higher than the "
        "greenfield peak rate of the same return period (Qbar up to 2 years, else Qbar times "
        "the regional growth factor), or the site's discharge limit where one is given, and "
        "half-emptying within " +
        std::to_string(p_.half_emptying_limit_h) +
        " h. Further checks: the critical storm bracketed by the durations tested, the sizing "
        "settled, storage of 10 m³ or more, pump starts of at most " +
        std::to_string(kPumpStartsPerHourLimit) +
        " an hour (a common limit for small submersible pumps) and a climate-change allowance.");
    if (r_.kind != StorageKind::soakaway) {
      Table o;
      o.caption = "Outcome of each return period";
      o.css_class = "check-outcomes";
      o.head = {"Return period (years)", "Discharge limit (l/s)", "Discharge limit (l/s/ha)",
                "Limit", "Outlet sizes meeting every limit of the return period"};
      o.text_column = {false, false, false, true, true};
      const double ha = r_.head.total_area / 10000.0;
      for (const ReturnPeriodOutcome& rp : checks_.return_periods) {
        std::string sizes;
        for (double v : rp.outlets)
          sizes += (sizes.empty() ? "" : ", ") +
                   (r_.kind == StorageKind::pond ? fixed(v, 0) : fixed(v, 1));
        sizes = sizes.empty() ? "no outlet size meets both"
                              : sizes + (r_.kind == StorageKind::pond ? " mm" : " m³/h");
        o.rows.push_back({std::to_string(rp.return_period),
                          rp.has_limit ? fixed(rp.limit.flow_l_per_s, 2) : "-",
                          rp.has_limit && ha > 0.0 ? fixed(rp.limit.flow_l_per_s / ha, 2) : "-",
                          rp.has_limit ? rp.limit.source : "none (half-emptying only)", sizes});
        o.row_class.push_back(rp.outlets.empty() ? "fails" : "");
      }
      doc_.table(o);
    }
    Table t;
    t.caption = "Design checks";
    t.css_class = "checks";
    t.head = {"Check",  "Return period (years)", "Outlet", "Value", "Limit", "Unit", "Verdict",
              "Figures"};
    t.text_column = {true, false, false, false, false, true, true, true};
    t.rows_per_part = 24;
    for (const CheckRow& row : checks_.rows) {
      const int decimals = row.unit == "l/s"                             ? 2
                           : row.unit == "min" || row.unit == "starts/h" ? 0
                           : row.check == "Climate-change allowance"     ? 2
                                                                         : 1;
      t.rows.push_back({row.check,
                        row.return_period > 0 ? std::to_string(row.return_period) : "all",
                        outlet_cell(row), fixed(row.value, decimals),
                        row.has_limit ? fixed(row.limit, decimals) : "-", row.unit,
                        verdict_text(row.verdict), row.note});
      t.row_class.push_back(row.verdict == Verdict::does_not_meet ? "fails"
                            : row.verdict == Verdict::warning     ? "warns"
                                                                  : "");
    }
    doc_.table(t);
    doc_.end_section();
  }

  void summary() {
    const auto& h = r_.head;
    doc_.begin_section("Run summary", "summary");
    std::vector<std::pair<std::string, std::string>> f;
    f.push_back({"Site", h.location.empty() ? "-" : h.location});
    f.push_back({"Grid reference", "NGR " + std::to_string(h.catchment.easting) + " " +
                                       std::to_string(h.catchment.northing)});
    f.push_back({"Annual rainfall (SAAR 1961-1990)", fixed(h.catchment.SAAR, 1) + " mm"});
    f.push_back({"Run", mode_text(p_)});
    // a greenfield-only run sets no storm up: its area is the rates'
    f.push_back({"Total sub-catchment area",
                 fixed(p_.greenfield_only() ? h.rates.area : h.total_area, 0) + " m²"});
    if (p_.storage_run()) {
      f.push_back({"Loss model", runoff::loss_model(p_.loss_model).name});
      f.push_back({"Storm profile", std::string(profile_name(p_.profile))});
    }
    if (!p_.greenfield_only()) {
      f.push_back({"Season", std::string(season_name(p_.rain_season))});
      f.push_back({"Rainfall model", rainfall_model_text(h.catchment)});
      f.push_back({"Rainfall estimate", p_.point_rainfall == 1 ? "point estimate"
                                        : p_.areal_reduction == 1
                                            ? "catchment, areal reduction factor"
                                            : "catchment"});
      f.push_back({"Climate-change factor", fixed(p_.climate_change_factor, 2)});
      f.push_back({"Return periods", list_text(h.return_periods, "years")});
      f.push_back({"Storm durations", list_text(h.durations, "min")});
    }
    if (design_run()) {
      f.push_back({"Storage", std::string(storage_name(p_.storage_kind))});
      f.push_back({"Maximum depth", fixed(p_.max_depth_m, 2) + " m"});
      f.push_back({"Batter (horizontal to vertical)", fixed(p_.batter_1_in, 1) + " : 1"});
      if (p_.storage_kind == StorageKind::pond)
        f.push_back({"Orifice diameters",
                     std::to_string(p_.orifice_diameters_mm.first) + " to " +
                         std::to_string(p_.orifice_diameters_mm.last) + " mm in steps of " +
                         std::to_string(p_.orifice_diameters_mm.step) + " mm"});
      if (p_.storage_kind == StorageKind::sump)
        f.push_back({"Pump rates", std::to_string(p_.pump_rates_m3_per_h.first) + " to " +
                                       std::to_string(p_.pump_rates_m3_per_h.last) +
                                       " m³/h in steps of " +
                                       std::to_string(p_.pump_rates_m3_per_h.step) + " m³/h"});
      if (p_.storage_kind == StorageKind::soakaway) {
        f.push_back(
            {"Infiltration coefficient", fixed(p_.infiltration_coefficient_m_per_h, 4) + " m/h"});
        f.push_back({"Fill fraction (share of the pit taken by fill)",
                     fixed(p_.fill_fraction, 2) + "; voids (share left for water) " +
                         fixed(1.0 - p_.fill_fraction, 2)});
        f.push_back(
            {"Sides infiltrating", params::infiltrating_sides_text(p_.soakaway_sides_code)});
      }
      f.push_back({"Starting top length and width",
                   fixed(p_.top_length_m, 1) + " m x " + fixed(p_.top_width_m, 1) + " m"});
      f.push_back({"Settlement lagoon",
                   p_.lagoon_ratio == 0  ? std::string("ratio 0: a lagoon area (peak outflow in "
                                                        "m³/h / 0.036) is still sized and added "
                                                        "to the water area; no shape is given")
                   : p_.lagoon_ratio > 0 ? "rectangular, ratio " + std::to_string(p_.lagoon_ratio)
                                         : "ellipse, ratio " + std::to_string(-p_.lagoon_ratio)});
      f.push_back({"Half-emptying time limit", std::to_string(p_.half_emptying_limit_h) + " h"});
    }
    f.push_back({"Program", "sitedrain " + in_.version});
    if (in_.notes) f.push_back({"Run date", in_.notes->date});
    doc_.facts(f);
    if (in_.notes && !in_.notes->inputs.empty()) {
      Table files;
      files.caption = "Input files";
      files.css_class = "inputs";
      files.head = {"File", "SHA-256"};
      files.text_column = {true, true};
      for (const InputFile& file : in_.notes->inputs)
        files.rows.push_back({file.name, file.sha256.empty() ? "(not readable)" : file.sha256});
      doc_.table(files);
    }

    Table t;
    t.caption = "Sub-catchments";
    t.css_class = "subcatchments";
    t.head = {"Sub-catchment", "Area (m²)", "Surface type"};
    t.text_column = {false, false, true, true};
    if (p_.greenfield_rates == 1) t.head.push_back("WRAP soil class");
    const int n = std::clamp(p_.subcatchment_count, 1, params::kMaxSubCatchments);
    for (int i = 0; i < n; ++i) {
      const auto s = static_cast<std::size_t>(i);
      std::vector<std::string> row{std::to_string(i + 1), fixed(p_.areas_m2[s], 0),
                                   runoff::surface_text(p_.loss_model, p_.surface_codes[s])};
      if (p_.greenfield_rates == 1)
        row.push_back(params::wrap_class_text(p_.soil_class_per_subcatchment == 1 || i == 0
                                                  ? p_.soil_classes[s]
                                                  : p_.soil_classes[0]));
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
                ", climate-change factor " + fixed(p_.climate_change_factor, 2);
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
    const double ha = g.area / 10000.0;
    t.head.push_back("Flow (l/s/ha)");
    t.rows = {{"Qbar", "mean annual flood", fixed(g.qbar, 5), fixed(g.qbar * 1000.0, 2),
               fixed(g.qbar * 1000.0 / ha, 2)},
              {"Q3.33%", "3.33% (30 years)", fixed(g.q30, 5), fixed(g.q30 * 1000.0, 2),
               fixed(g.q30 * 1000.0 / ha, 2)},
              {"Q1%", "1% (100 years)", fixed(g.q100, 5), fixed(g.q100 * 1000.0, 2),
               fixed(g.q100 * 1000.0 / ha, 2)}};
    doc_.paragraph("Inputs of the greenfield rates:");
    doc_.facts({{"Area", fixed(g.area, 0) + " m² (" + fixed(ha, 3) + " ha)"},
                {"SAAR used (1941-1970)", fixed(g.saar, 1) + " mm"},
                {"SOIL (area-weighted index of the WRAP classes)", fixed(g.soil, 3)},
                {"Hydrometric area and region", std::to_string(p_.hydrometric_area) +
                                                    ", growth curve of region " +
                                                    std::to_string(g.region)},
                {"Growth factors",
                 "30 years " + fixed(g.growth_30, 3) + ", 100 years " + fixed(g.growth_100, 3)}});
    doc_.table(t);
    if (p_.greenfield_only()) {
      chart::LineChart c;
      c.title = "Greenfield flood against return period";
      c.x = axis("Return period", "years", true);
      c.y = axis("Flow", "l/s", false, true);
      c.series.push_back(
          {"growth curve (Q3.33%, Q1%)", {30, 100}, {g.q30 * 1000.0, g.q100 * 1000.0}, true});
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
        std::to_string(p_.half_emptying_limit_h) +
        " h, U the sizing did not settle within 16 passes (the volume is the mean of the last "
        "two).");
    Table t;
    t.caption = "Critical storm of each return period and outlet size";
    t.css_class = "critical";
    t.head = {"Return period (years)"};
    if (!outlet_name.empty()) t.head.push_back(outlet_name + " (" + outlet_unit + ")");
    const bool soak = kind == StorageKind::soakaway;
    const double voids = 1.0 - p_.fill_fraction;
    t.head.push_back("Critical duration (min)");
    if (soak) {
      t.head.push_back("Gross pit volume at peak (m³)");
      t.head.push_back("Water stored at peak (m³)");
    } else {
      t.head.push_back("Peak volume (m³)");
    }
    for (const char* h : {"Depth (m)", "Peak outflow (m³/h)", "Peak outflow (l/s)",
                          "Emptying time (h)", "Half-emptying time (h)", "Top length x width (m)"})
      t.head.push_back(h);
    if (!soak) {
      t.head.push_back("Lagoon area (m²)");
      t.head.push_back(p_.lagoon_ratio < 0 ? "Lagoon axes (m)" : "Lagoon length x width (m)");
    }
    t.head.push_back("Total water area (m²)");
    t.head.push_back("Marks");
    for (const auto& g : r_.governing)
      for (std::size_t n : g) {
        const StormRecord& rec = r_.records[n];
        std::vector<std::string> row{std::to_string(rec.return_period)};
        if (!outlet_name.empty())
          row.push_back(fixed(rec.outlet_size, kind == StorageKind::pond ? 0 : 1));
        row.push_back(std::to_string(rec.duration));
        row.push_back(fixed(rec.peak_volume, 1));
        if (soak) row.push_back(fixed(rec.peak_volume * voids, 1));
        row.push_back(fixed(rec.depth, 2));
        row.push_back(fixed(rec.peak_outflow, 1));
        row.push_back(fixed(rec.peak_outflow * kLitresPerM3h, 2));
        row.push_back(fixed(rec.emptying_time, 1));
        row.push_back(fixed(rec.half_emptying_time, 1));
        row.push_back(fixed(rec.top_length, 1) + " x " + fixed(rec.top_width, 1));
        if (!soak) {
          row.push_back(fixed(rec.lagoon_area, 0));
          row.push_back(p_.lagoon_ratio == 0
                            ? std::string("-")
                            : fixed(rec.lagoon_length, 1) + " x " + fixed(rec.lagoon_width, 1));
        }
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
    if (soak)
      doc_.note(
          "The soakaway's volumes are those of the pit: the water stored is the gross volume "
          "times the voids (1 - fill fraction " +
          fixed(p_.fill_fraction, 2) + " = " + fixed(voids, 2) + ").");
    if (kind == StorageKind::pond && in_.coefficients) coefficients();
    doc_.end_section();
    duration_charts();
    hydrographs();
  }

  // The discharge coefficient of each orifice size at the depth of its
  // governing design of the largest return period.
  void coefficients() {
    const geometry::CoeffTable& c = *in_.coefficients;
    if (c.n_depth < 1 || r_.governing.empty()) return;
    doc_.subheading("Orifice discharge coefficients");
    Table t;
    t.caption = "Discharge coefficient of each orifice size at its design depth";
    t.css_class = "coefficients";
    t.head = {"Orifice (mm)", "Design depth (m)", "Coefficient at the design depth",
              "Lowest coefficient up to it", "Highest coefficient up to it"};
    std::map<double, const StormRecord*> deepest;
    for (const auto& g : r_.governing)
      for (std::size_t n : g) {
        const StormRecord& rec = r_.records[n];
        const StormRecord*& d = deepest[rec.outlet_size];
        if (!d || rec.depth > d->depth) d = &rec;
      }
    for (std::size_t m = 1; m <= c.diameters.size(); ++m) {
      const auto it = deepest.find(c.diameters[m - 1]);
      if (it == deepest.end()) continue;
      const double depth = it->second->depth;
      const int at = std::clamp(static_cast<int>(std::floor(depth * 1000.0)), 1, c.n_depth);
      double lo = c.at(static_cast<int>(m), 1), hi = lo;
      for (int k = 1; k <= at; ++k) {
        lo = std::min(lo, c.at(static_cast<int>(m), k));
        hi = std::max(hi, c.at(static_cast<int>(m), k));
      }
      t.rows.push_back({std::to_string(c.diameters[m - 1]), fixed(depth, 2),
                        fixed(c.at(static_cast<int>(m), at), 3), fixed(lo, 3), fixed(hi, 3)});
    }
    doc_.table(t);
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
    if (!volume && p_.greenfield_rates == 1) {
      const greenfield::Rates& g = r_.head.rates;
      c.references.push_back({g.qbar * 1000.0, "greenfield Qbar"});
      c.references.push_back({g.q30 * 1000.0, "greenfield Q3.33%"});
      c.references.push_back({g.q100 * 1000.0, "greenfield Q1%"});
    }
    return c;
  }

  // The storms of an outlet size without a record (no runoff), in words.
  std::string missing_storms(double outlet) const {
    std::string s;
    for (int rp : r_.head.return_periods) {
      std::string durs;
      for (int d : r_.head.durations) {
        bool found = false;
        for (const StormRecord& rec : r_.records)
          found =
              found || (rec.return_period == rp && rec.duration == d && rec.outlet_size == outlet);
        if (!found) durs += (durs.empty() ? "" : ", ") + std::to_string(d);
      }
      if (!durs.empty()) s += (s.empty() ? "" : "; ") + years(rp) + ": " + durs + " min";
    }
    return s.empty() ? s : " Not drawn, as they give no runoff: " + s + ".";
  }

  void duration_charts() {
    const std::vector<double> outlets = charted_outlets();
    const bool named = r_.kind != StorageKind::soakaway;
    doc_.begin_section("Storage against duration", "storage-duration");
    // a soakaway's volume is the pit's, fill and water together
    const std::string what = named ? "Peak stored volume" : "Peak gross pit volume";
    for (double o : outlets) {
      chart::LineChart c = against_duration(o, true);
      c.title = what + (named ? ", " + outlet_text(r_.kind, o) : std::string());
      c.y.label = what;
      doc_.figure(chart::svg(c),
                  what +
                      " against storm duration (logarithmic time axis), one line per return "
                      "period; the ring marks the critical duration." +
                      missing_storms(o),
                  "storage-duration");
    }
    doc_.end_section();
    doc_.begin_section("Peak outflow against duration", "outflow-duration");
    for (double o : outlets) {
      chart::LineChart c = against_duration(o, false);
      c.title = "Peak outflow" + (named ? ", " + outlet_text(r_.kind, o) : std::string());
      doc_.figure(chart::svg(c),
                  std::string("Peak outflow against storm duration (logarithmic time axis)") +
                      (p_.greenfield_rates == 1 ? ", with the greenfield runoff rates." : ".") +
                      missing_storms(o),
                  "outflow-duration");
    }
    doc_.end_section();
  }

  void hydrographs() {
    if (!in_.series || in_.series->empty()) return;
    const std::vector<std::size_t> plotted = design::critical_records(r_);
    const bool sump = r_.kind == StorageKind::sump;
    bool first = true;
    for (const design::StormSeries& s : *in_.series) {
      if (std::find(plotted.begin(), plotted.end(), s.record) == plotted.end()) continue;
      if (first) {
        doc_.begin_section("Critical storms in time", "hydrographs");
        doc_.paragraph(
            "The smallest design of each return period (of the six largest when there are more), "
            "simulated again through its storage: rain intensity, inflow and outflow, and the "
            "water depth below. After the rain the water balance goes on without inflow (the "
            "drain-down) until the storage is empty (1 m³ or less, as the model counts it), lets "
            "no more water out, or 48 hours from the storm's start have passed; the dashed "
            "vertical line marks the half-emptying time after the peak volume.");
        first = false;
      }
      hydrograph(s, sump);
    }
    if (!first) doc_.end_section();
  }

  void hydrograph(const design::StormSeries& s, bool sump) {
    const StormRecord& rec = r_.records[s.record];
    const bool hours = s.end > 6 * 3600.0;
    const double unit = hours ? 3600.0 : 60.0;
    chart::LineChart top, bottom;
    top.title = years(rec.return_period) + ", " + std::to_string(rec.duration) + " min storm" +
                (r_.kind == StorageKind::soakaway ? std::string()
                                                  : ", " + outlet_text(r_.kind, rec.outlet_size));
    top.x = axis("Time from the storm's start", hours ? "h" : "min", false, true);
    top.y = axis("Flow", "l/s", false, true);
    top.y_right = axis("Rain intensity", "mm/h", false, true);
    bottom.x = top.x;
    bottom.y = axis("Water depth", "m", false, true);
    chart::Series in{"inflow", {}, {}}, out{"outflow", {}, {}},
        rain{"rain intensity (right scale)", {}, {}, false, true}, depth{"water depth", {}, {}};
    chart::Band out_band, depth_band;
    out_band.series = 1;
    for (const design::SeriesPoint& pt : s.points) {
      const double t = pt.t / unit;
      in.x.push_back(t);
      in.y.push_back(pt.inflow * 1000.0);
      out.x.push_back(t);
      rain.x.push_back(t);
      rain.y.push_back(pt.rain);
      depth.x.push_back(t);
      if (sump) {  // the mean and the band of each interval
        out.y.push_back(pt.outflow_range.mean * 1000.0);
        out_band.low.push_back(pt.outflow_range.low * 1000.0);
        out_band.high.push_back(pt.outflow_range.high * 1000.0);
        depth.y.push_back(pt.depth_range.mean);
        depth_band.low.push_back(pt.depth_range.low);
        depth_band.high.push_back(pt.depth_range.high);
      } else {
        out.y.push_back(pt.outflow * 1000.0);
        depth.y.push_back(pt.depth);
      }
    }
    top.series = {in, out, rain};
    bottom.series = {depth};
    if (sump) {
      top.series[1].name = "outflow (mean, band lowest to highest)";
      bottom.series[0].name = "water depth (mean, band lowest to highest)";
      top.bands.push_back(out_band);
      bottom.bands.push_back(depth_band);
    }
    bottom.references.push_back({rec.depth, "storage depth " + fixed(rec.depth, 2) + " m"});
    const double half_at = s.peak_volume_time + rec.half_emptying_time * 3600.0;
    if (rec.half_emptying_time > 0.0) {
      top.verticals.push_back(
          {half_at / unit, "half-emptying " + fixed(rec.half_emptying_time, 1) + " h"});
      bottom.verticals.push_back({half_at / unit, ""});
    }
    const std::string volume = r_.kind == StorageKind::soakaway
                                   ? "Peak gross pit volume " + fixed(s.max_volume, 1) +
                                         " m³ (water stored " +
                                         fixed(s.max_volume * (1.0 - p_.fill_fraction), 1) + " m³)"
                                   : "Peak stored volume " + fixed(s.max_volume, 1) + " m³";
    std::string caption = volume + " at " + fixed(s.peak_volume_time / 3600.0, 2) +
                          " h, peak outflow " + fixed(s.max_outflow * kLitresPerM3h, 2) + " l/s (" +
                          fixed(s.max_outflow, 1) + " m³/h). Half-emptying time " +
                          fixed(rec.half_emptying_time, 1) + " h against " +
                          std::to_string(p_.half_emptying_limit_h) + " h";
    if (s.half_volume_time >= 0.0)
      caption += "; in the drain-down half the peak volume is left at " +
                 fixed(s.half_volume_time / 3600.0, 2) + " h, " +
                 fixed((s.half_volume_time - s.peak_volume_time) / 3600.0, 2) + " h after the peak";
    caption += ". ";
    const double left = s.points.empty() ? 0.0 : s.points.back().volume;
    switch (s.drain_end) {
      case design::DrainEnd::emptied:
        caption += "The storage is empty at " + fixed(s.end / 3600.0, 2) + " h.";
        break;
      case design::DrainEnd::no_outflow:
        caption += "From " + fixed(s.end / 3600.0, 2) + " h no more water leaves (" +
                   fixed(left, 1) + " m³ stays below the outlet's working depth).";
        break;
      case design::DrainEnd::time_limit:
        caption += "The drain-down stops at the 48-hour limit with " + fixed(left, 1) +
                   " m³ still stored (" + fixed(100.0 * left / s.max_volume, 0) + "% of the peak).";
        break;
    }
    if (sump)
      caption +=
          " The pump switches on and off every few seconds: outflow and depth are drawn as "
          "their mean over each pixel column, with the band from the lowest to the highest "
          "value shaded.";
    doc_.figure(chart::svg_two_panel(top, bottom), caption, "hydrograph");
  }

  // ---- runoff-only runs ------------------------------------------------------

  void runoff() {
    doc_.begin_section("Runoff estimates", "runoff");
    Table t;
    t.caption = "Runoff of every design storm";
    t.css_class = "runoff";
    t.head = {"Return period (years)", "Duration (min)",     "Rainfall (mm)",
              "Rain volume (m³)",      "Mean inflow (m³/h)", "Runoff volume (m³)",
              "Runoff coefficient"};
    bool any_without = false;
    chart::LineChart vol, coef;
    vol.title = "Runoff volume against storm duration";
    vol.x = axis("Storm duration", "min", true);
    vol.y = axis("Runoff volume", "m³", false, true);
    coef.title = "Runoff coefficient against storm duration";
    coef.x = vol.x;
    coef.y = axis("Runoff coefficient", "", false, true);
    std::map<int, std::size_t> line_of;
    for (const results::RunoffRow& row : r_.runoff_rows) {
      // A storm the loss model ends at its first step keeps no rain volume:
      // its rain is the depth on the area, and it gives no runoff.
      const bool ended = !(row.rain_volume > 0.0);
      const double rain_volume =
          ended ? row.rain_depth / 1000.0 * r_.head.total_area : row.rain_volume;
      const double c = ended ? 0.0 : row.runoff_volume / row.rain_volume;
      any_without = any_without || ended;
      t.rows.push_back({std::to_string(row.return_period), std::to_string(row.duration),
                        fixed(row.rain_depth, 1), fixed(rain_volume, 1), fixed(row.mean_inflow, 1),
                        fixed(row.runoff_volume, 1), fixed(c, 3) + (ended ? " *" : "")});
      if (!line_of.count(row.return_period)) {
        line_of[row.return_period] = vol.series.size();
        vol.series.push_back({years(row.return_period), {}, {}, true});
        coef.series.push_back({years(row.return_period), {}, {}, true});
      }
      const std::size_t l = line_of[row.return_period];
      vol.series[l].x.push_back(row.duration);
      vol.series[l].y.push_back(row.runoff_volume);
      coef.series[l].x.push_back(row.duration);
      coef.series[l].y.push_back(c);
    }
    doc_.table(t);
    if (any_without)
      doc_.note(
          "* The storm gives no runoff: the loss model ends it at the first step (its rain "
          "volume is the depth on the area, its runoff coefficient 0).");
    doc_.figure(chart::svg(vol),
                "Runoff volume against storm duration, one line per return period.",
                "runoff-volume");
    doc_.figure(chart::svg(coef),
                "Runoff coefficient (runoff volume over rain volume) against storm duration.",
                "runoff-coefficient");
    doc_.end_section();
  }
};

}  // namespace

std::string html_report(const ReportInput& in) {
  return Builder(in).build();
}

}  // namespace sitedrain::report
