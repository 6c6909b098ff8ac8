#include "cli/command_line.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <system_error>
#include <vector>

#include "cli/case_commands.h"
#include "cli/run_outputs.h"
#include "cli/version.h"
#include "control/file_identity.h"
#include "report/csv_tables.h"
#include "textio/console.h"
#include "textio/fixed_field.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

namespace {

// A typed text in a message, control characters and bytes above 126 as \xNN.
std::string in_quotes(std::string_view s) {
  return "'" + textio::printable(s) + "'";
}

// In: a whole-number text.  Out: the thread count; UsageError unless it is a
// whole number from 1 up.
int parse_threads(std::string_view text) {
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1)
    throw UsageError("--threads needs a whole number of at least 1, not " + in_quotes(text));
  return n;
}

// In: a path as typed and the start folder.  Out: the absolute path.
fs::path absolute_from(std::string_view typed, const fs::path& start) {
  return (start / fs::path(std::string(typed))).lexically_normal();
}

// The report against the CSV folder and its tables, by the names they will
// be opened under: neither may be the other, the folder may not lie below the
// report, and the report may not be one of the tables.
void check_report_and_tables(const CommandLine& c, std::string_view report_text,
                             std::string_view csv_text) {
  const fs::path report = control::opened_name(c.report.string());
  for (fs::path p = control::opened_name(c.csv_dir.string()); p.has_relative_path();
       p = p.parent_path()) {
    if (p != report) continue;
    if (p == control::opened_name(c.csv_dir.string()))
      throw UsageError("--report " + in_quotes(report_text) + " and --csv " + in_quotes(csv_text) +
                       " name the same path");
    throw UsageError("--csv " + in_quotes(csv_text) + " is below the report " +
                     in_quotes(report_text));
  }
  const control::FileIdentity report_id(c.report.string());
  for (std::string_view table : report::kCsvTableNames)
    if (report_id.same(control::FileIdentity((c.csv_dir / table).string())))
      throw UsageError("--report " + in_quotes(report_text) + " is the table " +
                       std::string(table) + " of --csv " + in_quotes(csv_text));
}

// The file-system checks of the parsed paths (nothing is created).
void check_paths(const CommandLine& c, std::string_view case_text, std::string_view report_text,
                 std::string_view csv_text) {
  std::error_code ec;
  if (!c.case_dir.empty()) {
    if (!fs::is_directory(c.case_dir, ec)) throw UsageError("no folder " + in_quotes(case_text));
    if (!fs::is_regular_file(c.case_dir / "PSnamel.nml", ec) &&
        !fs::is_regular_file(c.case_dir / "site.toml", ec))
      throw UsageError("no case in " + in_quotes(case_text) +
                       " (no site.toml or PSnamel.nml); `sitedrain new " + std::string(case_text) +
                       "` writes a site file there");
  }
  if (!c.report.empty()) {
    if (fs::is_directory(c.report, ec))
      throw UsageError("--report needs a file name, not the folder " + in_quotes(report_text));
    if (!fs::is_directory(c.report.parent_path(), ec))
      throw UsageError("no folder for the report " + in_quotes(report_text));
  }
  if (!c.csv_dir.empty() && fs::exists(c.csv_dir, ec) && !fs::is_directory(c.csv_dir, ec))
    throw UsageError("--csv needs a folder, not the file " + in_quotes(csv_text));
  if (!c.csv_dir.empty()) {
    // The folder is created after the run: what exists of it must be folders.
    fs::path above = c.csv_dir;
    while (above.has_relative_path() && !fs::exists(above, ec)) above = above.parent_path();
    if (above != c.csv_dir && fs::exists(above, ec) && !fs::is_directory(above, ec))
      throw UsageError("--csv " + in_quotes(csv_text) + " is below the file " +
                       in_quotes(above.string()));
  }
  if (!c.report.empty() && !c.csv_dir.empty()) check_report_and_tables(c, report_text, csv_text);
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args, const fs::path& start) {
  CommandLine c;
  std::string_view case_text, report_text, csv_text;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view a = args[i];
    if (!options_done && a.size() > 1 && a[0] == '-') {
      if (a == "--") {
        options_done = true;
        continue;
      }
      if (a == "--help") {
        c.action = CommandLine::Action::help;
        return c;
      }
      if (a == "--version") {
        c.action = CommandLine::Action::version;
        return c;
      }
      // An option with a value: "--name VALUE" or "--name=VALUE".
      std::string_view name = a, value;
      bool has_value = false;
      if (const auto eq = a.find('='); eq != std::string_view::npos) {
        name = a.substr(0, eq);
        value = a.substr(eq + 1);
        has_value = true;
      }
      if (name != "--report" && name != "--csv" && name != "--threads")
        throw UsageError("unknown option " + in_quotes(name));
      if (!has_value && i + 1 < args.size() && args[i + 1].substr(0, 2) != "--") {
        value = args[++i];
        has_value = true;
      }
      if (!has_value || value.empty()) throw UsageError(std::string(name) + " needs a value");
      if (name == "--threads") {
        c.threads = parse_threads(value);
      } else if (name == "--report") {
        report_text = value;
        c.report = absolute_from(value, start);
      } else {
        csv_text = value;
        c.csv_dir = absolute_from(value, start);
      }
      continue;
    }
    if (!case_text.empty())
      throw UsageError("one CASE_DIR only, not " + in_quotes(case_text) + " and " + in_quotes(a));
    if (a.empty()) throw UsageError("CASE_DIR is empty");
    case_text = a;
    c.case_dir = absolute_from(a, start);
  }
  check_paths(c, case_text, report_text, csv_text);
  return c;
}

std::string usage_text() {
  return "usage: sitedrain [OPTIONS] [CASE_DIR]\n"
         "  CASE_DIR          folder holding site.toml or PSnamel.nml (default: the working "
         "directory)\n"
         "  --report FILE     also write a self-contained HTML report of the run\n"
         "  --csv DIR         also write the run's tables as CSV files into DIR (created if "
         "missing)\n"
         "  --threads N       storms computed side by side (default: all hardware threads, the\n"
         "                    most that are useful: more are not started)\n"
         "  --version         show the version and stop\n"
         "  --help            show this text and stop\n"
         "Paths are relative to the folder the command is started in.\n"
         "Commands on cases (CASE_DIR holds site.toml or PSnamel.nml):\n"
         "  sitedrain new [--storage pond|sump|soakaway|none] [--descriptor FILE] DIR\n"
         "                    write DIR/site.toml, every key explained, for a small site\n"
         "  sitedrain check [CASE_DIR]\n"
         "                    read the case without running it: what will be designed, and "
         "warnings\n"
         "  sitedrain convert [CASE_DIR] [-o FILE]\n"
         "                    the site file of a legacy case (standard output unless -o)\n"
         "  sitedrain convert --to-legacy [CASE_DIR] [-o DIR]\n"
         "                    PSnamel.nml and params.txt of a site file (into CASE_DIR/legacy "
         "unless -o)\n"
         "  sitedrain serve [--port N] [--workspace DIR] [--open] [--threads N]\n"
         "                    the cases of DIR (default: here) in a browser on this machine\n";
}

int usage_error(std::string_view message) {
  std::fprintf(stderr, "sitedrain: %s\n%s", std::string(message).c_str(), usage_text().c_str());
  return 2;
}

std::string version_text() {
  return std::string("sitedrain ") + kVersion + "\n";
}

int run_command(int argc, const char* const* argv) {
  std::vector<std::string_view> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  // The commands on cases: new, check, convert.
  if (!args.empty() && (args[0] == "new" || args[0] == "check" || args[0] == "convert")) {
    std::error_code ec;
    const fs::path start = fs::current_path(ec);
    const std::span<const std::string_view> rest(args.data() + 1, args.size() - 1);
    if (args[0] == "new") return new_command(rest, start);
    if (args[0] == "check") return check_command(rest, start);
    return convert_command(rest, start);
  }
  CommandLine c;
  try {
    std::error_code ec;
    const fs::path start = fs::current_path(ec);
    c = parse_command_line(args, start);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "sitedrain: %s\n%s", e.what(), usage_text().c_str());
    return 2;
  }
  int status = 0;
  if (c.action == CommandLine::Action::help)
    std::fputs(usage_text().c_str(), stdout);
  else if (c.action == CommandLine::Action::version)
    std::fputs(version_text().c_str(), stdout);
  else
    status = run_case_with_outputs(c);
  // A console that could not be written (a full disk, /dev/full) is not a
  // run that ended normally.
  console::flush();
  if (console::output_failed()) {
    std::fputs("sitedrain: standard output could not be written\n", stderr);
    if (status == 0) status = 1;
  }
  return status;
}

}  // namespace sitedrain::cli
