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
#include "serve/serve_options.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

namespace {

std::string quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// In: a whole-number text.  Out: the thread count; UsageError unless it is a
// whole number from 1 up.
int parse_threads(std::string_view text) {
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1)
    throw UsageError("--threads needs a whole number of at least 1, not " + quoted(text));
  return n;
}

// In: a path as typed and the start folder.  Out: the absolute path.
fs::path absolute_from(std::string_view typed, const fs::path& start) {
  return (start / fs::path(std::string(typed))).lexically_normal();
}

// The file-system checks of the parsed paths (nothing is created).
void check_paths(const CommandLine& c, std::string_view case_text, std::string_view report_text,
                 std::string_view csv_text) {
  std::error_code ec;
  if (!c.case_dir.empty()) {
    if (!fs::is_directory(c.case_dir, ec))
      throw UsageError("no folder " + quoted(case_text));
    if (!fs::is_regular_file(c.case_dir / "PSnamel.nml", ec) &&
        !fs::is_regular_file(c.case_dir / "site.toml", ec))
      throw UsageError("no case in " + quoted(case_text) +
                       " (no site.toml or PSnamel.nml); `sitedrain new " + std::string(case_text) +
                       "` writes a site file there");
  }
  if (!c.report.empty()) {
    if (fs::is_directory(c.report, ec))
      throw UsageError("--report needs a file name, not the folder " + quoted(report_text));
    if (!fs::is_directory(c.report.parent_path(), ec))
      throw UsageError("no folder for the report " + quoted(report_text));
  }
  if (!c.csv_dir.empty() && fs::exists(c.csv_dir, ec) && !fs::is_directory(c.csv_dir, ec))
    throw UsageError("--csv needs a folder, not the file " + quoted(csv_text));
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
        throw UsageError("unknown option " + quoted(name));
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
      throw UsageError("one CASE_DIR only, not " + quoted(case_text) + " and " + quoted(a));
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
         "  --threads N       storms computed side by side (default: all hardware threads)\n"
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
         "unless -o)\n";
}

int usage_error(std::string_view message) {
  std::fprintf(stderr, "sitedrain: %s\n%s", std::string(message).c_str(), usage_text().c_str());
  return 2;
}

std::string version_text() { return std::string("sitedrain ") + kVersion + "\n"; }

int run_command(int argc, const char* const* argv) {
  std::vector<std::string_view> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  if (!args.empty() && args[0] == "serve")
    return serve::serve_command(std::span<const std::string_view>(args).subspan(1));
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
  if (c.action == CommandLine::Action::help) {
    std::fputs(usage_text().c_str(), stdout);
    return 0;
  }
  if (c.action == CommandLine::Action::version) {
    std::fputs(version_text().c_str(), stdout);
    return 0;
  }
  return run_case_with_outputs(c);
}

}  // namespace sitedrain::cli
