#include "serve/case_folder.h"

#include <toml++/toml.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "control/control_file.h"
#include "serve/case_name.h"
#include "site/site_keys.h"
#include "textio/stop.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// The names of the run's eight outputs and its two inputs as the case's
// files give them, relative to the case folder where they lie inside it.
struct CaseFiles {
  std::vector<std::string> outputs;  // the eight, in order (plain joins)
  std::vector<std::string> extra;    // rebuilt names of outputs 1 to 3
  std::string parameter_file;        // legacy cases
  std::string descriptor_file;
};

CaseFiles legacy_files(const fs::path& dir) {
  CaseFiles f;
  try {
    const control::ControlItems items =
        control::parse_control(read_text(dir / kControlFile), kControlFile);
    const control::RunFiles r = control::resolve_files(items, kControlFile);
    f.outputs.assign(r.output.begin(), r.output.end());
    for (int i = 0; i < 3; ++i)
      f.extra.push_back(control::rebuild_name(r.opath[i], r.ofilename[i]));
    f.parameter_file = r.input[0];
    f.descriptor_file = r.input[1];
  } catch (const RunStop&) {
    // A control file the run would refuse: no outputs known.
  }
  return f;
}

CaseFiles site_files(const fs::path& dir) {
  CaseFiles f;
  toml::table file;
  try {
    file = toml::parse(read_text(dir / kSiteFile));
  } catch (const toml::parse_error&) {
  }
  std::size_t i = 0;
  const auto defaults = site::default_output_names();
  for (const site::SiteKey& k : site::site_keys()) {
    if (k.section != site::Section::output_files) continue;
    std::string name = i < defaults.size() ? std::string(defaults[i]) : "";
    if (const auto v = file.at_path("output_files." + std::string(k.name)).value<std::string>())
      name = *v;
    f.outputs.push_back(name);
    ++i;
  }
  if (const auto v = file["descriptor_file"].value<std::string>()) f.descriptor_file = *v;
  return f;
}

CaseFiles case_files(const fs::path& dir) {
  const CaseFormat format = case_format(dir);
  if (format == CaseFormat::site_file) return site_files(dir);
  if (format == CaseFormat::legacy) return legacy_files(dir);
  return {};
}

// The name relative to the case folder when it lies inside it.
std::optional<std::string> inside(const std::string& name) {
  if (name.empty()) return std::nullopt;
  const fs::path rel = fs::path(name).lexically_normal();
  if (rel.is_absolute() || rel.empty() || *rel.begin() == "..") return std::nullopt;
  return rel.generic_string();
}

std::string utc_minute(fs::file_time_type t) {
  // The file clock's time by its distance from now on both clocks.
  const auto sys = std::chrono::system_clock::now() +
                   std::chrono::duration_cast<std::chrono::system_clock::duration>(
                       t - fs::file_time_type::clock::now());
  const std::time_t tt = std::chrono::system_clock::to_time_t(sys);
  std::tm tm{};
#ifdef _WIN32
  tm = *std::gmtime(&tt);  // the Windows C library's is per thread
#else
  gmtime_r(&tt, &tm);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &tm);
  return text;
}

// The value in columns 17-22 of the k-th keyword record (from 1) of a
// parameter file: records with a mark in column 1.
int keyword_value(const std::vector<std::string>& records, std::size_t k) {
  if (k == 0 || k > records.size()) return 0;
  const std::string& r = records[k - 1];
  std::string field = r.size() > 16 ? r.substr(16, 6) : "";
  return std::atoi(field.c_str());
}

// What a legacy case designs, from the parameter file's switches (sump,
// soak and rnf in that precedence, a pond otherwise).
std::string legacy_storage(const fs::path& parameter_file) {
  std::istringstream lines(read_text(parameter_file));
  std::vector<std::string> records;
  for (std::string l; std::getline(lines, l);)
    if (!l.empty() && l[0] != ' ' && l[0] != '\r') records.push_back(l);
  if (records.size() < 29) return {};
  const int ponds = keyword_value(records, 1), grnff = keyword_value(records, 2),
            rnf = keyword_value(records, 5), sump = keyword_value(records, 27),
            soak = keyword_value(records, 29);
  if (sump == 1) return "sump";
  if (soak == 1) return "soakaway";
  if (rnf == 1) return "runoff-only";
  if (ponds == 1) return "pond";
  return grnff == 1 ? "greenfield-only" : "rainfall-only";
}

std::string site_storage(const fs::path& site_file) {
  try {
    const toml::table file = toml::parse(read_text(site_file));
    const std::string run = file["run"].value_or(std::string());
    if (run != "design") return run;
    return file["storage"].value_or(std::string());
  } catch (const toml::parse_error&) {
    return {};
  }
}

}  // namespace

std::string read_text(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<CaseSummary> list_cases(const fs::path& workspace) {
  std::vector<CaseSummary> cases;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(workspace, ec)) {
    if (!e.is_directory(ec)) continue;
    const std::string name = e.path().filename().string();
    if (case_name_error(name)) continue;
    CaseSummary c;
    c.name = name;
    c.format = case_format(e.path());
    if (c.format == CaseFormat::none) continue;
    if (c.format != CaseFormat::both) {
      const CaseFiles files = case_files(e.path());
      c.site_name = control::site_location(fs::path(files.descriptor_file).filename().string());
      c.storage = c.format == CaseFormat::site_file
                      ? site_storage(e.path() / kSiteFile)
                      : legacy_storage(e.path() / files.parameter_file);
      std::optional<fs::file_time_type> latest;
      for (const std::string& f : existing_outputs(e.path())) {
        const auto t = fs::last_write_time(e.path() / f, ec);
        if (!ec && (!latest || t > *latest)) latest = t;
      }
      if (latest) c.last_run = utc_minute(*latest);
    }
    cases.push_back(c);
  }
  std::sort(cases.begin(), cases.end(),
            [](const CaseSummary& a, const CaseSummary& b) { return a.name < b.name; });
  return cases;
}

std::vector<std::string> existing_outputs(const fs::path& dir) {
  const CaseFiles files = case_files(dir);
  std::vector<std::string> names, result;
  for (const std::string& n : files.outputs) names.push_back(n);
  for (const std::string& n : files.extra) names.push_back(n);
  names.push_back(kReportFile);
  std::error_code ec;
  std::vector<std::string> tables;
  for (const auto& e : fs::directory_iterator(dir / kCsvFolder, ec))
    if (e.is_regular_file(ec))
      tables.push_back(std::string(kCsvFolder) + "/" + e.path().filename().string());
  std::sort(tables.begin(), tables.end());
  names.insert(names.end(), tables.begin(), tables.end());
  names.push_back(kConsoleFile);
  std::set<std::string> seen;
  for (const std::string& n : names) {
    const auto rel = inside(n);
    if (rel && is_file(dir / *rel) && seen.insert(*rel).second) result.push_back(*rel);
  }
  return result;
}

std::optional<fs::path> progress_file_of(const fs::path& dir) {
  const CaseFiles files = case_files(dir);
  if (files.outputs.size() != 8 || files.outputs[7].empty()) return std::nullopt;
  return (dir / files.outputs[7]).lexically_normal();
}

void duplicate_case(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(to, ec)) throw std::runtime_error("the folder " + to.string() + " exists already");
  const std::vector<std::string> outputs = existing_outputs(from);
  const std::set<std::string> skip(outputs.begin(), outputs.end());
  fs::create_directory(to, ec);
  if (ec) throw std::runtime_error("cannot make " + to.string() + ": " + ec.message());
  for (auto it = fs::recursive_directory_iterator(from); it != fs::recursive_directory_iterator();
       ++it) {
    const fs::path rel = fs::relative(it->path(), from);
    if (it->is_symlink()) continue;
    if (it->is_directory()) {
      fs::create_directories(to / rel);
    } else if (it->is_regular_file() && !skip.contains(rel.generic_string())) {
      fs::create_directories((to / rel).parent_path());
      fs::copy_file(it->path(), to / rel);
    }
  }
}

}  // namespace sitedrain::serve
