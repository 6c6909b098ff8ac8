#include "site/site_file.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#define TOML_EXCEPTIONS 1
#include <toml++/toml.h>

#include "site/site_keys.h"
#include "textio/console.h"
#include "textio/fixed_field.h"
#include "textio/text_file.h"

namespace sitedrain::site {

namespace {

using params::CodeName;

std::string quoted(std::string_view s) {
  return "`" + std::string(s) + "`";
}

std::string choice_list(std::span<const CodeName> choices) {
  std::string s;
  for (const CodeName& c : choices) {
    if (!s.empty()) s += ", ";
    s += "\"" + std::string(c.key) + "\"";
  }
  return s;
}

std::string type_name(const toml::node& n) {
  switch (n.type()) {
    case toml::node_type::string:
      return "a text";
    case toml::node_type::integer:
      return "a whole number";
    case toml::node_type::floating_point:
      return "a decimal number";
    case toml::node_type::boolean:
      return "true or false";
    case toml::node_type::array:
      return "a list";
    case toml::node_type::table:
      return "a table";
    default:
      return "a date or time";
  }
}

// A value and where it was written.
struct Place {
  int line = 0;
  int column = 0;
};

Place place_of(const toml::source_region& r) {
  return {static_cast<int>(r.begin.line), static_cast<int>(r.begin.column)};
}

// Generation triple test, as the parameter file's reader makes it.
bool generation_ok(int first, int last, int step, long long max_values) {
  if (!(last >= first || step <= 0)) return false;
  if (!(std::llabs(static_cast<long long>(last) - first) >= std::llabs(step))) return false;
  if (step == 0) return false;
  const long long n = (static_cast<long long>(last) - first) / step + 1;
  return n >= 1 && (max_values <= 0 || n <= max_values);
}

// An outlet sweep that sizes at least one outlet, every size above 0 (the
// count as the run set-up forms it).
bool sweep_ok(const params::Triple& t) {
  if (t.step == 0 || t.first <= 0) return false;
  const double n =
      static_cast<double>(static_cast<long long>(t.last) - t.first) / static_cast<double>(t.step) +
      1.0;
  if (!(n >= 1.0) || n > 1.0e6) return false;
  const long long count = static_cast<long long>(n);
  return t.first + (count - 1) * static_cast<long long>(t.step) > 0;
}

// A name as the run uses it: the folder part (to the last separator) and
// the file name.
std::pair<std::string, std::string> split_name(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash == std::string::npos) return {"", name};
  return {name.substr(0, slash + 1), name.substr(slash + 1)};
}

class SiteReader {
 public:
  SiteReader(const toml::table& root, const std::string& file) : root_(root), file_(file) {}

  SiteCase read();

 private:
  const toml::table& root_;
  const std::string& file_;
  SiteCase out_;
  params::LossModel model_ = params::LossModel::final_horton;

  // "ERROR in site file site.toml, line 3, column 1: ..."
  [[noreturn]] void fail(Place at, const std::string& what) const {
    std::string msg = "ERROR in site file " + file_;
    if (at.line > 0)
      msg += ", line " + std::to_string(at.line) + ", column " + std::to_string(at.column);
    console::stop_with(msg + ": " + what);
  }

  [[noreturn]] void bad(const SiteKey& key, const toml::node& n, const std::string& what,
                        std::string_view allowed = {}) const {
    std::string text = full_key_name(key) + ": " + what;
    if (allowed.empty()) allowed = key.allowed;
    if (!allowed.empty()) text += "; allowed: " + std::string(allowed);
    fail(place_of(n.source()), text);
  }

  [[noreturn]] void missing(const SiteKey& key, Place at, std::string_view why = {}) const {
    std::string text = "missing key " + quoted(full_key_name(key)) + " (" + std::string(key.help);
    if (!key.unit.empty()) text += ", " + std::string(key.unit);
    text += ")";
    if (!why.empty()) text += ", needed " + std::string(why);
    const std::span<const CodeName> choices = key_choices(key, model_);
    if (!key.allowed.empty())
      text += "; allowed: " + std::string(key.allowed);
    else if (!choices.empty())
      text += "; allowed: " + choice_list(choices);
    fail(at, text);
  }

  const SiteKey& key(std::string_view name, Section section = Section::top) const {
    return *find_site_key(name, section);
  }

  const toml::node* node(const toml::table& t, const SiteKey& k) {
    const toml::node* n = t.get(k.name);
    if (n != nullptr) {
      std::string name = full_key_name(k);
      out_.lines.emplace(name, static_cast<int>(n->source().begin.line));
    }
    return n;
  }

  void check_keys(const toml::table& t, Section section, std::string_view prefix) const {
    for (auto&& [k, v] : t) {
      if (find_site_key(k.str(), section) != nullptr) continue;
      std::string text = "unknown key " + quoted(std::string(prefix) + std::string(k.str()));
      if (std::optional<std::string> near = nearest_site_key(k.str(), section))
        text += "; did you mean " + quoted(std::string(prefix) + *near) + "?";
      else
        text += "; see `sitedrain new` for every key";
      fail(place_of(k.source()), text);
    }
  }

  // Typed values of a key; none when the key is absent.
  std::optional<std::string> text(const toml::table& t, const SiteKey& k) {
    const toml::node* n = node(t, k);
    if (n == nullptr) return std::nullopt;
    if (!n->is_string()) bad(k, *n, "a text in quotes is expected, not " + type_name(*n));
    const std::string& s = n->as_string()->get();
    if (s.empty()) bad(k, *n, "the name is empty");
    for (unsigned char c : s)
      if (c < 32 || c == 127) bad(k, *n, "the name holds a control character");
    if (s.size() > run::kNameLength)
      bad(k, *n, "the name has " + std::to_string(s.size()) + " characters",
          "at most " + std::to_string(run::kNameLength));
    return s;
  }

  std::optional<int> choice(const toml::table& t, const SiteKey& k,
                            std::span<const CodeName> choices) {
    const toml::node* n = node(t, k);
    if (n == nullptr) return std::nullopt;
    if (!n->is_string())
      bad(k, *n, "a choice in quotes is expected, not " + type_name(*n), choice_list(choices));
    const std::string& s = n->as_string()->get();
    if (std::optional<int> code = params::find_key(choices, s)) return code;
    bad(k, *n, "\"" + textio::printable(s) + "\" is not a choice", choice_list(choices));
  }

  std::optional<bool> flag(const toml::table& t, const SiteKey& k) {
    const toml::node* n = node(t, k);
    if (n == nullptr) return std::nullopt;
    if (!n->is_boolean()) bad(k, *n, "true or false is expected, not " + type_name(*n));
    return n->as_boolean()->get();
  }

  int whole_of(const SiteKey& k, const toml::node& n, long long min, long long max) const {
    long long v = 0;
    if (n.is_integer()) {
      v = n.as_integer()->get();
    } else if (n.is_floating_point() && std::isfinite(n.as_floating_point()->get()) &&
               n.as_floating_point()->get() == std::floor(n.as_floating_point()->get()) &&
               std::fabs(n.as_floating_point()->get()) < 1e15) {
      v = static_cast<long long>(n.as_floating_point()->get());
    } else {
      bad(k, n, "a whole number is expected, not " + type_name(n));
    }
    if (v < min || v > max) bad(k, n, std::to_string(v) + " is out of range");
    return static_cast<int>(v);
  }

  std::optional<int> whole(const toml::table& t, const SiteKey& k, long long min, long long max) {
    const toml::node* n = node(t, k);
    if (n == nullptr) return std::nullopt;
    return whole_of(k, *n, min, max);
  }

  double number_of(const SiteKey& k, const toml::node& n) const {
    double v = 0.0;
    if (n.is_integer())
      v = static_cast<double>(n.as_integer()->get());
    else if (n.is_floating_point())
      v = n.as_floating_point()->get();
    else
      bad(k, n, "a number is expected, not " + type_name(n));
    if (!std::isfinite(v)) bad(k, n, "the number is not finite");
    return v;
  }

  // A number; in_range tells whether it is allowed.
  template <class InRange>
  std::optional<double> number(const toml::table& t, const SiteKey& k, InRange in_range) {
    const toml::node* n = node(t, k);
    if (n == nullptr) return std::nullopt;
    const double v = number_of(k, *n);
    if (!in_range(v)) bad(k, *n, shortest(v) + " is out of range");
    return v;
  }

  static std::string shortest(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    for (int p = 1; p <= 17; ++p) {
      std::snprintf(buf, sizeof buf, "%.*g", p, v);
      if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
  }

  // { from, to, step } of whole numbers.
  params::Triple triple(const SiteKey& k, const toml::node& n) const {
    const toml::table* t = n.as_table();
    if (t == nullptr)
      bad(k, n, "{ from = ..., to = ..., step = ... } is expected, not " + type_name(n));
    for (auto&& [name, v] : *t)
      if (name != "from" && name != "to" && name != "step")
        fail(place_of(name.source()), full_key_name(k) + ": unknown key " + quoted(name.str()) +
                                          "; allowed: from, to, step");
    params::Triple r;
    int* slots[3] = {&r.first, &r.last, &r.step};
    const char* names[3] = {"from", "to", "step"};
    for (int i = 0; i < 3; ++i) {
      const toml::node* v = t->get(names[i]);
      if (v == nullptr)
        bad(k, n, std::string("`") + names[i] + "` is missing",
            "{ from = ..., to = ..., step = ... }");
      *slots[i] = whole_of(k, *v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    }
    return r;
  }

  // A list of whole numbers (at most max_listed, each greater than 0), or a
  // { from, to, step } generating at most max_generated (0: any number).
  // Returns whether it was a generation triple.
  template <std::size_t N>
  bool series(const toml::node& n, const SiteKey& k, int max_listed, long long max_generated,
              int& count, std::array<int, N>& slots) const {
    if (n.is_table()) {
      const params::Triple t = triple(k, n);
      if (t.first <= 0 || t.last < 0 || t.step < 0 ||
          !generation_ok(t.first, t.last, t.step, max_generated))
        bad(k, n,
            "{ from = " + std::to_string(t.first) + ", to = " + std::to_string(t.last) +
                ", step = " + std::to_string(t.step) + " } gives no list the run can use",
            "from greater than 0, a step greater than 0 that reaches to" +
                (max_generated > 0 ? ", at most " + std::to_string(max_generated) + " values"
                                   : std::string()));
      count = 3;
      slots[0] = t.first;
      slots[1] = t.last;
      slots[2] = t.step;
      return true;
    }
    const toml::array* a = n.as_array();
    if (a == nullptr)
      bad(k, n, "a list [ ... ] or { from, to, step } is expected, not " + type_name(n));
    if (a->empty()) bad(k, n, "the list is empty");
    if (a->size() > static_cast<std::size_t>(max_listed))
      bad(k, n,
          "the list has " + std::to_string(a->size()) + " values, more than the " +
              std::to_string(max_listed) + " the model holds",
          "at most " + std::to_string(max_listed) + " values, or { from, to, step }");
    count = static_cast<int>(a->size());
    for (std::size_t i = 0; i < a->size(); ++i) {
      slots[i] = whole_of(k, *a->get(i), 1, std::numeric_limits<int>::max());
    }
    return false;
  }

  int soil_class(const SiteKey& k, const toml::node& n) const {
    if (n.is_string()) {
      if (std::optional<int> c =
              params::find_key(params::wrap_soil_classes(), n.as_string()->get()))
        return *c;
      bad(k, n, "\"" + textio::printable(n.as_string()->get()) + "\" is not a WRAP soil class");
    }
    if (!n.is_integer()) bad(k, n, "a WRAP soil class is expected, not " + type_name(n));
    return whole_of(k, n, 1, 5);
  }

  void read_files(Place top);
  void read_run(Place top);
  void read_rainfall(Place top);
  void read_subcatchments(Place top);
  void read_storage(Place top);
  void read_criteria();
};

SiteCase SiteReader::read() {
  check_keys(root_, Section::top, "");
  const Place top{};  // a key missing at the top of the file has no line
  read_files(top);
  read_run(top);
  read_rainfall(top);
  read_subcatchments(top);
  read_storage(top);
  read_criteria();
  out_.params.fixed = 0;
  out_.params.databaseid = 0;
  out_.params.decode_modes();
  return std::move(out_);
}

void SiteReader::read_files(Place top) {
  run::RunFiles& f = out_.files;
  const SiteKey& d = key("descriptor_file");
  std::optional<std::string> descriptor = text(root_, d);
  if (!descriptor) missing(d, top);
  f.input[0] = file_;
  f.input[1] = *descriptor;
  f.location = run::site_location(split_name(*descriptor).second.substr(0, run::kNameLength));
  f.numline = whole(root_, key("descriptor_lines"), 1, 100000).value_or(kDefaultDescriptorLines);
  if (std::optional<int> m = choice(root_, key("rainfall_model"), rainfall_model_choices()))
    f.ddf_model = static_cast<rainfall::DdfModel>(*m);

  const toml::table* outputs = nullptr;
  if (const toml::node* n = node(root_, key("output_files"))) {
    outputs = n->as_table();
    if (outputs == nullptr)
      bad(key("output_files"), *n, "a table [output_files] is expected, not " + type_name(*n));
    check_keys(*outputs, Section::output_files, "output_files.");
  }
  const std::span<const std::string_view> defaults = default_output_names();
  std::size_t j = 0;
  for (const SiteKey& k : site_keys()) {
    if (k.section != Section::output_files) continue;
    std::string name(defaults[j]);
    if (outputs != nullptr)
      if (std::optional<std::string> given = text(*outputs, k)) name = *given;
    auto [path, file] = split_name(name);
    f.opath[j] = path;
    f.ofilename[j] = file;
    f.output[j] = run::join_name(path, file);
    ++j;
  }
}

void SiteReader::read_run(Place top) {
  params::DesignParams& p = out_.params;
  const SiteKey& run_key = key("run");
  std::optional<int> run = choice(root_, run_key, run_choices());
  if (!run) missing(run_key, top);
  const SiteKey& storage_key = key("storage");
  std::optional<int> storage = choice(root_, storage_key, storage_choices());
  const toml::node* storage_node = root_.get("storage");
  std::optional<bool> greenfield = flag(root_, key("greenfield_rates"));
  if (*run == run_design) {
    if (!storage) missing(storage_key, top, needed_text(Needed::design));
    if (*storage == storage_none)
      bad(storage_key, *storage_node, "a design sizes a structure",
          "\"pond\", \"sump\", \"soakaway\"");
    p.ponds = *storage == storage_pond;
    p.sump = *storage == storage_sump;
    p.soak = *storage == storage_soakaway;
  } else if (storage && *storage != storage_none) {
    bad(storage_key, *storage_node,
        "run = \"" + std::string(run_choices()[*run].key) + "\" sizes no structure",
        "\"none\", or leave the key out");
  }
  p.rnf = *run == run_runoff_only;
  if (*run == run_greenfield_only) {
    if (greenfield == false)
      bad(key("greenfield_rates"), *root_.get("greenfield_rates"),
          "a greenfield-only run estimates the greenfield rates", "true, or leave the key out");
    p.grnff = 1;
  } else if (*run == run_rainfall_only) {
    if (greenfield == true)
      bad(key("greenfield_rates"), *root_.get("greenfield_rates"),
          "a rainfall-only run estimates no greenfield rates (run = \"greenfield-only\" does)",
          "false, or leave the key out");
    p.grnff = 0;
  } else {
    p.grnff = greenfield.value_or(false);
  }
  const SiteKey& area_key = key("hydrometric_area");
  std::optional<int> area = whole(root_, area_key, p.grnff == 1 ? 1 : 0, 300);
  if (p.grnff == 1 && !area) missing(area_key, top, needed_text(Needed::greenfield_rates));
  p.hydromarea = area.value_or(0);
  p.diagf = flag(root_, key("diagnostic_series")).value_or(false);
}

void SiteReader::read_rainfall(Place top) {
  params::DesignParams& p = out_.params;
  const bool needed = !p.greenfield_only();
  const std::string_view why = needed_text(Needed::not_greenfield_only);
  p.point = choice(root_, key("rainfall_estimate"), rainfall_estimate_choices()).value_or(0);

  const SiteKey& arf = key("areal_reduction");
  std::optional<bool> arff = flag(root_, arf);
  if (needed && !arff) missing(arf, top, why);
  p.arff = arff.value_or(false);
  const SiteKey& arf_area = key("areal_reduction_area");
  std::optional<int> ctchm = choice(root_, arf_area, areal_area_choices());
  if (needed && p.arff == 1 && !ctchm) missing(arf_area, top, needed_text(Needed::areal_reduction));
  p.ctchm = ctchm.value_or(1);

  const SiteKey& season = key("season");
  std::optional<int> s = choice(root_, season, season_choices());
  if (needed && !s) missing(season, top, why);
  p.season = s.value_or(0);

  const SiteKey& profile = key("storm_profile");
  std::optional<int> strmprf = choice(root_, profile, storm_profile_choices());
  if (needed && !strmprf) missing(profile, top, why);
  p.strmprf = strmprf.value_or(1);

  const SiteKey& factor = key("climate_change_factor");
  std::optional<double> cchgfac =
      number(root_, factor, [needed](double v) { return !needed || v > 0.0; });
  if (needed && !cchgfac) missing(factor, top, why);
  p.cchgfac = cchgfac.value_or(0.0);

  const SiteKey& rp = key("return_periods_years");
  if (const toml::node* n = node(root_, rp))
    p.calcrp = series(*n, rp, params::kMaxReturnPeriods, params::kMaxReturnPeriods, p.nrp, p.rp);
  else if (needed)
    missing(rp, top, why);

  const SiteKey& dur = key("durations_min");
  if (const toml::node* n = node(root_, dur)) {
    p.caldur =
        series(*n, dur, params::kMaxListedDurations, params::kMaxGeneratedDurations, p.ndur, p.dur);
  } else if (needed) {
    missing(dur, top, why);
  }
  if (p.diagf == 1 && (p.calcrp == 1 || p.caldur == 1 || p.ndur > 1 || p.nrp > 1))
    bad(key("diagnostic_series"), *root_.get("diagnostic_series"),
        "a diagnostic series is written for a single design storm",
        "true with one return period and one duration, each as a list of one value");
}

void SiteReader::read_subcatchments(Place top) {
  params::DesignParams& p = out_.params;
  const SiteKey& model = key("loss_model");
  std::optional<int> rom = choice(root_, model, loss_model_choices());
  if (!rom) missing(model, top);
  p.rom = *rom;
  model_ = params::decode_loss_model(p.rom);

  const SiteKey& list_key = key("subcatchment");
  const toml::node* list = node(root_, list_key);
  if (list == nullptr)
    missing(list_key, top, "for every run: [[subcatchment]] with area_m2, surface");
  const toml::array* tables = list->as_array();
  if (tables == nullptr || !tables->is_array_of_tables())
    bad(list_key, *list, "[[subcatchment]] tables are expected, not " + type_name(*list));
  if (tables->empty()) bad(list_key, *list, "the list of sub-catchments is empty");
  if (tables->size() > static_cast<std::size_t>(params::kMaxSubCatchments))
    bad(list_key, *tables->get(params::kMaxSubCatchments),
        "there are " + std::to_string(tables->size()) + " sub-catchments, more than the model's " +
            std::to_string(params::kMaxSubCatchments));
  p.nsubc = static_cast<int>(tables->size());

  const SiteKey& site_soil = key("soil_class");
  const toml::node* one_soil = node(root_, site_soil);
  p.wrapf = one_soil == nullptr ? 1 : 0;
  if (one_soil != nullptr) p.soilFSR[0] = soil_class(site_soil, *one_soil);

  const SiteKey& area = key("area_m2", Section::subcatchment);
  const SiteKey& surface = key("surface", Section::subcatchment);
  const SiteKey& soil = key("soil_class", Section::subcatchment);
  double total = 0.0;
  const toml::node* first_area = nullptr;
  for (std::size_t i = 0; i < tables->size(); ++i) {
    const toml::table& t = *tables->get(i)->as_table();
    const Place at = place_of(t.source());
    check_keys(t, Section::subcatchment, "subcatchment.");
    const toml::node* a = node(t, area);
    if (a == nullptr) missing(area, at);
    const double v = number_of(area, *a);
    if (v < 0.0) bad(area, *a, shortest(v) + " is negative", "0 or more");
    p.area[i] = v;
    total += v;
    if (first_area == nullptr) first_area = a;
    std::optional<int> s = choice(t, surface, params::surface_types(model_));
    if (!s) missing(surface, at, "for every sub-catchment");
    p.surface[i] = *s;
    const toml::node* c = node(t, soil);
    if (one_soil != nullptr && c != nullptr)
      bad(soil, *c, "the site's soil_class is given already",
          "soil_class once for the site, or in every sub-catchment");
    if (one_soil == nullptr) {
      if (c == nullptr) missing(soil, at, "in every sub-catchment when the site gives none");
      p.soilFSR[i] = soil_class(soil, *c);
    }
  }
  if ((p.storage_run() || p.grnff == 1) && !(total > 0.0))
    bad(area, *first_area, "the sub-catchments have no area",
        "at least one area_m2 greater than 0");
}

void SiteReader::read_storage(Place top) {
  params::DesignParams& p = out_.params;
  const bool design = p.storage_run() && p.rnf != 1;
  const std::string_view why = needed_text(Needed::design);
  auto given = [&](const SiteKey& k, bool needed, std::string_view when, auto value) {
    if (needed && !value) missing(k, top, when);
    return value;
  };
  const SiteKey& topl = key("top_length_m");
  // Keys a run does not use take any value the legacy columns hold.
  const long long unused_min = -99999;
  p.topl =
      given(topl, design, why, whole(root_, topl, design ? 1 : unused_min, 999999)).value_or(0);
  const SiteKey& topw = key("top_width_m");
  p.topw =
      given(topw, design, why, whole(root_, topw, design ? 1 : unused_min, 999999)).value_or(0);
  const SiteKey& depth = key("max_depth_m");
  p.maxdepth =
      given(depth, design, why,
            number(root_, depth, [design](double v) { return !design || (v > 0.0 && v <= 100.0); }))
          .value_or(0.0);
  const SiteKey& batter = key("batter_1_in");
  p.batter = given(batter, design, why,
                   number(root_, batter,
                          [design](double v) { return !design || (v >= 0.0 && v <= 100.0); }))
                 .value_or(0.0);

  const SiteKey& orifice = key("orifice_diameters_mm");
  if (const toml::node* n = node(root_, orifice)) {
    p.tpod = triple(orifice, *n);
    if (p.ponds == 1 && !sweep_ok(p.tpod))
      bad(orifice, *n, "the sweep gives no diameter the design can use",
          "from greater than 0, a step that is not 0 and reaches to");
  } else if (p.ponds == 1) {
    missing(orifice, top, needed_text(Needed::pond));
  }
  const SiteKey& pump = key("pump_rates_m3_per_h");
  if (const toml::node* n = node(root_, pump)) {
    p.pumprate = triple(pump, *n);
    if (p.sump == 1 && !sweep_ok(p.pumprate))
      bad(pump, *n, "the sweep gives no pump rate the design can use",
          "from greater than 0, a step that is not 0 and reaches to");
  } else if (p.sump == 1) {
    missing(pump, top, needed_text(Needed::sump));
  }

  const bool soak = p.soak == 1;
  const std::string_view soak_why = needed_text(Needed::soakaway);
  const SiteKey& sides = key("soakaway_sides");
  p.sideno =
      given(sides, soak, soak_why, choice(root_, sides, params::soakaway_side_sets())).value_or(0);
  const SiteKey& fill = key("fill_fraction");
  p.ffill = given(fill, soak, soak_why,
                  number(root_, fill, [soak](double v) { return !soak || (v >= 0.0 && v < 1.0); }))
                .value_or(0.0);
  const SiteKey& infil = key("infiltration_coefficient_m_per_h");
  p.infiltco = given(infil, soak, soak_why,
                     number(root_, infil, [soak](double v) { return !soak || v > 0.0; }))
                   .value_or(0.0);

  const SiteKey& half = key("half_emptying_limit_h");
  p.rhmpt =
      given(half, design, why, whole(root_, half, design ? 0 : unused_min, 999999)).value_or(0);
  const SiteKey& lagoon = key("lagoon_length_to_width");
  const int ratio = given(lagoon, design, why, whole(root_, lagoon, 0, 99999)).value_or(0);
  const int sign = choice(root_, key("lagoon_shape"), lagoon_shape_choices()).value_or(1);
  p.lagoonratio = sign * ratio;
}

void SiteReader::read_criteria() {
  params::DesignParams& p = out_.params;
  const SiteKey& k = key("discharge_limit_l_per_s");
  const toml::node* n = node(root_, k);
  if (n == nullptr) return;
  auto flow = [&](const toml::node& v) {
    const double q = number_of(k, v);
    if (!(q > 0.0)) bad(k, v, shortest(q) + " is out of range", "greater than 0");
    return q;
  };
  if (!n->is_table()) {
    p.discharge_limits.push_back({0, flow(*n)});
    return;
  }
  for (auto&& [name, v] : *n->as_table()) {
    const std::string_view years = name.str();
    int rp = 0;
    bool digits = !years.empty() && years.size() < 7;
    for (char c : years) digits = digits && c >= '0' && c <= '9';
    if (digits) rp = std::stoi(std::string(years));
    bool designed = false;
    for (int i = 0; i < (p.calcrp == 1 ? 0 : p.nrp); ++i) designed = designed || p.rp[i] == rp;
    if (p.calcrp == 1 && rp > 0) {
      for (int y = p.rp[0]; p.rp[2] > 0 && y <= p.rp[1]; y += p.rp[2])
        designed = designed || y == rp;
    }
    if (!designed)
      fail(place_of(name.source()), full_key_name(k) + ": " + quoted(years) +
                                        " is not a return period of the design; "
                                        "allowed: the return periods of return_periods_years");
    p.discharge_limits.push_back({rp, flow(v)});
  }
  if (p.discharge_limits.empty()) bad(k, *n, "the table is empty");
}

}  // namespace

SiteCase parse_site_file(std::string_view text, const std::string& file_name) {
  toml::table root;
  try {
    root = toml::parse(text, file_name);
  } catch (const toml::parse_error& e) {
    const Place at = place_of(e.source());
    console::stop_with("ERROR in site file " + file_name + ", line " + std::to_string(at.line) +
                       ", column " + std::to_string(at.column) +
                       ": not a valid TOML file: " + textio::printable(e.description()));
  }
  return SiteReader(root, file_name).read();
}

SiteCase read_site_file(const std::string& file_name) {
  std::FILE* f = std::fopen(file_name.c_str(), "rb");
  if (!f) console::stop_with("ERROR opening file" + textio::padded_file_name(file_name));
  std::string text;
  char buf[4096];
  std::size_t n;
  while (text.size() <= textio::kMaxLineLength && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
    text.append(buf, n);
  std::fclose(f);
  if (text.size() > textio::kMaxLineLength)
    console::stop_with("ERROR reading file " + file_name + ": it is longer than " +
                       std::to_string(textio::kMaxLineLength) + " bytes");
  return parse_site_file(text, file_name);
}

}  // namespace sitedrain::site
