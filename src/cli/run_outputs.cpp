#include "cli/run_outputs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/progress_line.h"
#include "cli/version.h"
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
  const design::DesignResults& r = d.results;
  if (!r.head.params.storage_run() || r.kind == params::StorageKind::runoff_only) return series;
  const design::SeriesInput in{&r.head, &d.table, d.ratio};
  for (std::size_t n : design::critical_records(r))
    series.push_back(design::storm_series(in, r.records[n], n));
  return series;
}

// Writes each file whole: to a temporary name beside it, then renamed.
// On a failure removes what it wrote, shows "ERROR writing file" and the
// name, and returns false.
bool write_whole(const Files& files) {
  std::vector<fs::path> done;
  for (const auto& [path, text] : files) {
    const fs::path part = path.string() + ".part";
    std::ofstream out(part, std::ios::binary);
    out << text;
    out.close();
    std::error_code ec;
    if (out.fail() || (fs::rename(part, path, ec), ec)) {
      fs::remove(part, ec);
      for (const fs::path& p : done) fs::remove(p, ec);
      console::line("ERROR writing file" + textio::padded_file_name(path.string()));
      return false;
    }
    done.push_back(path);
  }
  return true;
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
    files.emplace_back(c.report, report::html_report(in));
  }
  bool made_dir = false;
  if (!c.csv_dir.empty()) {
    std::error_code ec;
    made_dir = !fs::exists(c.csv_dir, ec);
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
  if (made_dir) fs::remove(c.csv_dir, ec);  // only when empty
  return 1;
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
  options.threads = c.threads;
  if (progress)
    options.progress = [&progress](std::int64_t done, std::int64_t total) {
      progress->line().update(done, total);
    };
  const bool more = !c.report.empty() || !c.csv_dir.empty();
  const run::RunOutcome run = run::run_program(options);
  int status = run.status;
  progress.reset();  // erased
  if (status != 0 && run::case_format(".") == run::CaseFormat::none) {
    console::flush();
    std::error_code ec;
    std::fprintf(stderr,
                 "sitedrain: no case in %s (no site.toml or PSnamel.nml); `sitedrain new DIR` "
                 "writes one, `sitedrain --help` lists the commands\n",
                 fs::current_path(ec).string().c_str());
  }
  if (status == 0 && more) status = write_outputs(c, run.data);
  console::flush();
  return status;
}

}  // namespace sitedrain::cli
