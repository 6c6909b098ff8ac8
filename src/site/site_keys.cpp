#include "site/site_keys.h"

#include <algorithm>
#include <array>

#include "runoff/loss_model.h"

namespace sitedrain::site {

namespace {

using params::CodeName;

constexpr std::array<CodeName, 4> kRuns{{
    {run_design, "design", "size a storage structure for every design storm"},
    {run_runoff_only, "runoff-only", "runoff of every design storm, no structure sized (rnf)"},
    {run_rainfall_only, "rainfall-only", "the design rainfall table only"},
    {run_greenfield_only, "greenfield-only", "the greenfield runoff rates only"},
}};

constexpr std::array<CodeName, 4> kStorages{{
    {storage_pond, "pond", "an attenuation pond with a throttle-plate orifice outlet"},
    {storage_sump, "sump", "a pumped sump"},
    {storage_soakaway, "soakaway", "a soakaway"},
    {storage_none, "none", "no structure (runs other than a design)"},
}};

constexpr std::array<CodeName, 3> kSeasons{{
    {1, "all-year", "all-year rainfall"},
    {2, "summer", "summer rainfall"},
    {3, "winter", "winter rainfall"},
}};

constexpr std::array<CodeName, 3> kProfiles{{
    {1, "uniform", "uniform intensity"},
    {2, "winter-75", "winter 75%"},
    {3, "summer-50", "summer 50%"},
}};

constexpr std::array<CodeName, 3> kRainfallModels{{
    {0, "FEH99", "FEH99 depth-duration-frequency model of the descriptor file"},
    {1, "FEH13", "FEH13 depth grid of the FEH XML export"},
    {2, "FEH22", "FEH22 depth grid of the FEH XML export"},
}};

constexpr std::array<CodeName, 2> kEstimates{{
    {0, "catchment", "catchment rainfall parameters"},
    {1, "point", "1 km point rainfall parameters"},
}};

constexpr std::array<CodeName, 2> kArealAreas{{
    {1, "descriptor", "the catchment area of the descriptor file"},
    {2, "sub-catchments", "the total area of the sub-catchments"},
}};

constexpr std::array<CodeName, 2> kLagoonShapes{{
    {1, "rectangular", "rectangular settlement lagoon"},
    {-1, "elliptic", "elliptic settlement lagoon"},
}};

constexpr std::array<std::string_view, 8> kOutputNames{
    "rain_allyear.txt", "rain_summer.txt", "rain_winter.txt", "run_log.txt",
    "results_full.txt", "report.txt",      "diagnostic.txt",  "progress.txt"};

constexpr std::string_view kFiles = "case files";
constexpr std::string_view kRun = "what is designed";
constexpr std::string_view kRain = "site and rainfall";
constexpr std::string_view kLoss = "loss model";
constexpr std::string_view kSubc = "sub-catchments";
constexpr std::string_view kStorage = "storage";
constexpr std::string_view kCriteria = "design criteria";
constexpr std::string_view kOutputs = "output files";

using enum ValueType;
using enum Needed;
using enum Section;

// clang-format off
const std::array<SiteKey, 44> kKeys{{
    {"descriptor_file", top, kFiles, "", "catchment descriptor file (CSV) or FEH XML export, relative to this file",
     text, always, "", "a file name", "IFILENAME(2)", {}},
    {"descriptor_lines", top, kFiles, "lines", "lines of the descriptor CSV file that are read",
     whole, optional, "36", "a whole number from 1 to 100000", "NUMLINE", {}},
    {"run", top, kRun, "", "what the run computes",
     choice, always, "", "", "ponds, sump, soak, rnf, grnff", kRuns},
    {"storage", top, kRun, "", "the structure a design sizes",
     choice, design, "", "", "ponds, sump, soak", kStorages},
    {"greenfield_rates", top, kRun, "", "also estimate the greenfield runoff rates (Qbar, Q3.33%, Q1%)",
     flag, optional, "false", "true or false", "grnff", {}},
    {"hydrometric_area", top, kRun, "", "hydrometric area number of the site, for the greenfield growth curve",
     whole, greenfield_rates, "", "a whole number from 1 to 300", "hydromarea", {}},
    {"diagnostic_series", top, kRun, "", "write the time series of the single design storm",
     flag, optional, "false", "true or false", "diagf", {}},
    {"rainfall_model", top, kRain, "", "depth-duration-frequency model of the design rainfall",
     choice, optional, "\"FEH99\"", "", "DDFMODEL", kRainfallModels},
    {"rainfall_estimate", top, kRain, "", "catchment or 1 km point rainfall parameters",
     choice, optional, "\"catchment\"", "", "point", kEstimates},
    {"areal_reduction", top, kRain, "", "apply the areal reduction factor to the rainfall depths",
     flag, not_greenfield_only, "", "true or false", "arff", {}},
    {"areal_reduction_area", top, kRain, "", "the area the areal reduction factor is taken for",
     choice, areal_reduction, "", "", "ctchm", kArealAreas},
    {"season", top, kRain, "", "season of the design rainfall",
     choice, not_greenfield_only, "", "", "season", kSeasons},
    {"storm_profile", top, kRain, "", "time profile of the design storms (the Horton models use uniform)",
     choice, not_greenfield_only, "", "", "strmprf", kProfiles},
    {"climate_change_factor", top, kRain, "", "factor on every rainfall depth (1.4 = 40% more rain)",
     number, not_greenfield_only, "", "greater than 0 (1.0 for none)", "cchgfac", {}},
    {"return_periods_years", top, kRain, "years", "return periods designed for: a list, or { from, to, step }",
     whole_series, not_greenfield_only, "", "1 to 100 return periods, each greater than 0", "calcrp, nrp, rp", {}},
    {"durations_min", top, kRain, "min", "storm durations tried: a list of up to 3, or { from, to, step }",
     whole_series, not_greenfield_only, "", "1 to 3 durations, or a sweep of up to 23040, each greater than 0",
     "caldur, ndur, dur", {}},
    {"loss_model", top, kLoss, "", "runoff (infiltration) model of the sub-catchments' surfaces",
     choice, always, "", "", "rom", runoff::loss_model_names()},
    {"soil_class", top, kSubc, "", "one WRAP soil class for the whole site (or give soil_class in each sub-catchment)",
     soil_class, optional, "", "very-high, high, moderate, low, very-low, or 1 to 5", "wrapf, soilFSR", {}},
    {"area_m2", subcatchment, kSubc, "m2", "area of the sub-catchment",
     number, always, "", "0 or more; at least one sub-catchment greater than 0", "area", {}},
    {"surface", subcatchment, kSubc, "", "surface type under the loss model",
     choice, always, "", "a surface type of the loss model", "surface", {}},
    {"soil_class", subcatchment, kSubc, "", "WRAP soil class of the sub-catchment",
     soil_class, optional, "", "very-high, high, moderate, low, very-low, or 1 to 5", "wrapf, soilFSR", {}},
    {"top_length_m", top, kStorage, "m", "starting top length of the structure (whole metres)",
     whole, design, "", "a whole number greater than 0", "topl", {}},
    {"top_width_m", top, kStorage, "m", "starting top width of the structure (whole metres)",
     whole, design, "", "a whole number greater than 0", "topw", {}},
    {"max_depth_m", top, kStorage, "m", "maximum water depth",
     number, design, "", "greater than 0, at most 100", "maxdepth", {}},
    {"batter_1_in", top, kStorage, "", "side slope of the structure, 1 in N (0 for vertical sides)",
     number, design, "", "0 to 100", "batter", {}},
    {"orifice_diameters_mm", top, kStorage, "mm", "throttle-plate orifice diameters tried: { from, to, step }",
     whole_sweep, pond, "", "whole numbers, each diameter greater than 0", "tpod", {}},
    {"pump_rates_m3_per_h", top, kStorage, "m3/h", "pump rates tried: { from, to, step }",
     whole_sweep, sump, "", "whole numbers, each rate greater than 0", "pumprate", {}},
    {"soakaway_sides", top, kStorage, "", "which sides of the soakaway infiltrate (the base always does)",
     choice, soakaway, "", "", "sideno", {}},
    {"fill_fraction", top, kStorage, "", "fraction of the soakaway taken by fill (the voids are 1 - fill)",
     number, soakaway, "", "at least 0 and less than 1", "ffill", {}},
    {"infiltration_coefficient_m_per_h", top, kStorage, "m/h", "infiltration coefficient of the soakaway's soil",
     number, soakaway, "", "greater than 0", "infiltco", {}},
    {"half_emptying_limit_h", top, kStorage, "h", "time within which the storage must half-empty",
     whole, design, "", "a whole number, 0 or more", "rhmpt", {}},
    {"lagoon_length_to_width", top, kStorage, "", "settlement lagoon length-to-width ratio (0: none reported)",
     whole, design, "", "a whole number from 0 to 99999", "lagoonratio", {}},
    {"lagoon_shape", top, kStorage, "", "shape of the settlement lagoon",
     choice, optional, "\"rectangular\"", "", "lagoonratio (sign)", kLagoonShapes},
    {"discharge_limit_l_per_s", top, kCriteria, "l/s",
     "peak discharge allowed: one value, or one per return period { 1 = 2.0, 100 = 5.0 } (default: the greenfield rates)",
     discharge_limit, optional, "", "greater than 0; return periods of the design", "(site file only)", {}},
    {"rainfall_all_year", output_files, kOutputs, "", "rainfall table file, all-year season",
     text, optional, "\"rain_allyear.txt\"", "a file name", "OFILENAME(1)", {}},
    {"rainfall_summer", output_files, kOutputs, "", "rainfall table file, summer",
     text, optional, "\"rain_summer.txt\"", "a file name", "OFILENAME(2)", {}},
    {"rainfall_winter", output_files, kOutputs, "", "rainfall table file, winter",
     text, optional, "\"rain_winter.txt\"", "a file name", "OFILENAME(3)", {}},
    {"log", output_files, kOutputs, "", "log file",
     text, optional, "\"run_log.txt\"", "a file name", "OFILENAME(4)", {}},
    {"full_results", output_files, kOutputs, "", "full results file: one row per design storm",
     text, optional, "\"results_full.txt\"", "a file name", "OFILENAME(5)", {}},
    {"report", output_files, kOutputs, "", "design report",
     text, optional, "\"report.txt\"", "a file name", "OFILENAME(6)", {}},
    {"diagnostic", output_files, kOutputs, "", "diagnostic time series",
     text, optional, "\"diagnostic.txt\"", "a file name", "OFILENAME(7)", {}},
    {"progress", output_files, kOutputs, "", "progress file",
     text, optional, "\"progress.txt\"", "a file name", "OFILENAME(8)", {}},
    // Tables of the file: their keys are above.
    {"subcatchment", top, kSubc, "", "the sub-catchments, one [[subcatchment]] table each (1 to 10)",
     text, always, "", "1 to 10 tables", "nsubc", {}},
    {"output_files", top, kOutputs, "", "names of the eight output files, relative to this file",
     text, optional, "", "a table of file names", "OFILENAME", {}},
}};
// clang-format on

std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

}  // namespace

std::span<const SiteKey> site_keys() {
  return kKeys;
}

const SiteKey* find_site_key(std::string_view name, Section section) {
  for (const SiteKey& k : site_keys())
    if (k.section == section && k.name == name) return &k;
  return nullptr;
}

std::string full_key_name(const SiteKey& key) {
  switch (key.section) {
    case Section::subcatchment:
      return "subcatchment." + std::string(key.name);
    case Section::output_files:
      return "output_files." + std::string(key.name);
    case Section::top:
      break;
  }
  return std::string(key.name);
}

std::optional<std::string> nearest_site_key(std::string_view unknown, Section section) {
  const SiteKey* best = nullptr;
  std::size_t best_distance = 0;
  for (const SiteKey& k : site_keys()) {
    if (k.section != section) continue;
    std::size_t d = edit_distance(unknown, k.name);
    // A key begun (area for area_m2) is near too.
    if (unknown.size() >= 3 && (k.name.starts_with(unknown) || unknown.starts_with(k.name)))
      d = std::min<std::size_t>(d, 1);
    if (best == nullptr || d < best_distance) {
      best = &k;
      best_distance = d;
    }
  }
  if (best == nullptr) return std::nullopt;
  const std::size_t longer = std::max(unknown.size(), best->name.size());
  // Close: at most a third of the longer name differs.
  if (best_distance * 3 > longer) return std::nullopt;
  return std::string(best->name);
}

std::string site_key_of_record(std::string_view record) {
  for (const SiteKey& k : site_keys()) {
    std::string_view records = k.legacy;
    while (!records.empty()) {
      const std::size_t comma = records.find(", ");
      std::string_view r = records.substr(0, comma);
      if (const std::size_t space = r.find(' '); space != std::string_view::npos)
        r = r.substr(0, space);
      if (r == record) return full_key_name(k);
      if (comma == std::string_view::npos) break;
      records.remove_prefix(comma + 2);
    }
  }
  return std::string(record);
}

std::span<const params::CodeName> key_choices(const SiteKey& key, params::LossModel model) {
  if (key.name == "surface") return runoff::surface_types(model);
  if (key.type == ValueType::soil_class) return params::wrap_soil_classes();
  if (key.name == "soakaway_sides") return params::soakaway_side_sets();
  return key.choices;
}

std::string_view needed_text(Needed needed) {
  switch (needed) {
    case Needed::always:
      return "always";
    case Needed::optional:
      return "optional";
    case Needed::not_greenfield_only:
      return "unless run = \"greenfield-only\"";
    case Needed::design:
      return "when run = \"design\"";
    case Needed::pond:
      return "when storage = \"pond\"";
    case Needed::sump:
      return "when storage = \"sump\"";
    case Needed::soakaway:
      return "when storage = \"soakaway\"";
    case Needed::greenfield_rates:
      return "when greenfield rates are estimated";
    case Needed::areal_reduction:
      return "when areal_reduction = true";
  }
  return "";
}

std::span<const params::CodeName> run_choices() {
  return kRuns;
}
std::span<const params::CodeName> storage_choices() {
  return kStorages;
}
std::span<const params::CodeName> season_choices() {
  return kSeasons;
}
std::span<const params::CodeName> storm_profile_choices() {
  return kProfiles;
}
std::span<const params::CodeName> loss_model_choices() {
  return runoff::loss_model_names();
}
std::span<const params::CodeName> rainfall_model_choices() {
  return kRainfallModels;
}
std::span<const params::CodeName> rainfall_estimate_choices() {
  return kEstimates;
}
std::span<const params::CodeName> areal_area_choices() {
  return kArealAreas;
}
std::span<const params::CodeName> lagoon_shape_choices() {
  return kLagoonShapes;
}
std::span<const std::string_view> default_output_names() {
  return kOutputNames;
}

}  // namespace sitedrain::site
