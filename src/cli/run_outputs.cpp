#include "cli/run_outputs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "check/input_warnings.h"
#include "cli/progress_line.h"
#include "cli/version.h"
#include "control/file_identity.h"
#include "design/storm_series.h"
#include "report/csv_tables.h"
#include "report/html_report.h"
#include "run/case_input.h"
#include "run/driver.h"
#include "textio/console.h"
#include "textio/text_file.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

namespace {

using Files = std::vector<std::pair<fs::path, std::string>>;

// In: the run's data.  Out: the series of its critical storms (design runs).
std::vector<design::StormSeries> critical_series(const run::RunData& d) {
  std::vector<design::StormSeries> series;
  const results::DesignResults& r = d.results;
  if (!r.head.params.storage_run() || r.kind == params::StorageKind::runoff_only) return series;
  const design::SeriesInput in{&r.head, &d.table, d.ratio};
  for (std::size_t n : design::simulated_records(r))
    series.push_back(design::storm_series(in, r.records[n], n));
  return series;
}

// A file to write: where it goes and, for a regular file, the temporary
// name it is written under first.
struct Target {
  fs::path given;  // as the command line named it (for messages)
  fs::path name;   // the name it is opened under (symbolic links followed)
  fs::path part;   // empty: written directly (a device, a FIFO)
  const std::string* text = nullptr;
};

// A name beside `name` that no file has: name.part, name.part1, ...
fs::path free_part_name(const fs::path& name) {
  std::error_code ec;
  for (int n = 0;; ++n) {
    fs::path part = name.string() + ".part" + (n == 0 ? std::string() : std::to_string(n));
    if (!fs::exists(fs::symlink_status(part, ec))) return part;
  }
}

bool write_text(const fs::path& name, const std::string& text) {
  std::ofstream out(name, std::ios::binary);
  out << text;
  out.close();
  return !out.fail();
}

// Writes each file whole.  A regular file (or one that does not exist yet)
// is written to a temporary name beside it, and renamed once every file is
// written; anything else (a device, a FIFO) is written directly, never
// replaced.  On a failure removes what it wrote, shows "ERROR writing file"
// and the name, and returns false.
bool write_whole(const Files& files) {
  std::vector<Target> targets;
  std::error_code ec;
  for (const auto& [path, text] : files) {
    Target t{path, control::opened_name(path.string()), {}, &text};
    const fs::file_status st = fs::status(t.name, ec);
    if (!fs::exists(st) || fs::is_regular_file(st) || fs::is_directory(st))
      t.part = free_part_name(t.name);
    targets.push_back(std::move(t));
  }
  std::vector<fs::path> written;  // temporaries, then renamed files
  auto fail = [&](const Target& t) {
    for (const fs::path& p : written) fs::remove(p, ec);
    console::line("ERROR writing file" + textio::padded_file_name(t.given.string()));
    return false;
  };
  for (const Target& t : targets) {
    if (t.part.empty()) continue;
    written.push_back(t.part);
    if (!write_text(t.part, *t.text)) return fail(t);
  }
  for (const Target& t : targets)
    if (t.part.empty() && !write_text(t.name, *t.text)) return fail(t);
  for (const Target& t : targets) {
    if (t.part.empty()) continue;
    fs::rename(t.part, t.name, ec);
    if (ec) return fail(t);
    *std::find(written.begin(), written.end(), t.part) = t.name;
  }
  return true;
}

// The folders create_directories would make for `dir`, the deepest last.
std::vector<fs::path> missing_folders(const fs::path& dir) {
  std::vector<fs::path> missing;
  std::error_code ec;
  for (fs::path p = dir; p.has_relative_path() && !fs::exists(p, ec); p = p.parent_path())
    missing.insert(missing.begin(), p);
  return missing;
}

// The report and CSV tables the command line asked for, after a normal end.
int write_outputs(const CommandLine& c, const run::RunData& d) {
  const std::vector<double>* rain = d.rain.empty() ? nullptr : &d.rain;
  const std::vector<design::StormSeries> series = critical_series(d);
  Files files;
  if (!c.report.empty()) {
    report::ReportInput in;
    in.results = &d.results;
    in.rain = rain;
    in.series = &series;
    in.version = kVersion;
    in.notes = &d.notes;
    in.coefficients = &d.table;
    files.emplace_back(c.report, report::html_report(in));
  }
  std::vector<fs::path> made;
  if (!c.csv_dir.empty()) {
    std::error_code ec;
    made = missing_folders(c.csv_dir);
    fs::create_directories(c.csv_dir, ec);
    if (ec) {
      console::line("ERROR opening file" + textio::padded_file_name(c.csv_dir.string()));
      return 1;
    }
    for (auto& [name, text] : report::csv_tables({&d.results, rain, &series}))
      files.emplace_back(c.csv_dir / name, std::move(text));
  }
  if (write_whole(files)) return 0;
  std::error_code ec;
  for (auto p = made.rbegin(); p != made.rend(); ++p) fs::remove(*p, ec);  // only when empty
  return 1;
}

// The report and the CSV tables as the run checks them against its files.
std::vector<control::CommandLineOutput> named_outputs(const CommandLine& c) {
  std::vector<control::CommandLineOutput> more;
  if (!c.report.empty()) more.push_back({"--report", c.report.string()});
  if (!c.csv_dir.empty())
    for (std::string_view table : report::kCsvTableNames)
      more.push_back({"--csv", (c.csv_dir / table).string()});
  return more;
}

// The thread count: as asked, but no more than the machine runs at once.
int useful_threads(int asked) {
  const int hardware = static_cast<int>(std::thread::hardware_concurrency());
  if (asked <= 0 || hardware <= 0) return asked;
  return std::min(asked, hardware);
}

}  // namespace

int run_case_with_outputs(const CommandLine& c) {
  if (!c.case_dir.empty()) {
    std::error_code ec;
    fs::current_path(c.case_dir, ec);
    if (ec) {
      std::fprintf(stderr, "sitedrain: cannot change into '%s': %s\n", c.case_dir.string().c_str(),
                   ec.message().c_str());
      return 1;
    }
  }
  std::unique_ptr<ConsoleProgress> progress = ConsoleProgress::on_terminal();
  design::SearchOptions options;
  options.threads = useful_threads(c.threads);
  if (progress)
    options.progress = [&progress](std::int64_t done, std::int64_t total) {
      progress->line().update(done, total);
    };
  const bool more = !c.report.empty() || !c.csv_dir.empty();
  run::RunOutcome run;
  try {
    run = run::run_program(options, named_outputs(c));
  } catch (const control::OutputClash& clash) {
    progress.reset();
    console::flush();
    std::fprintf(stderr, "sitedrain: %s\n%s", clash.message.c_str(), usage_text().c_str());
    return 2;
  }
  int status = run.status;
  progress.reset();  // erased
  if (status == 0 && more) status = write_outputs(c, run.data);
  console::flush();
  // Advice on values most likely misread, after the console.
  const results::ReportHeadData* head = run.status == 0 ? &run.data.results.head : nullptr;
  for (const check::InputWarning& w : check::run_warnings(run.data.parameter_file, head))
    std::fprintf(stderr, "%s\n", check::warning_line(w).c_str());
  return status;
}

}  // namespace sitedrain::cli
