// The command line: sitedrain [OPTIONS] [CASE_DIR].
//
// Paths on the command line are relative to the folder the command is
// started in; they are made absolute here, before the run changes into the
// case folder.  A usage error is found before anything is read or written.
#pragma once

#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sitedrain::cli {

struct CommandLine {
  enum class Action { run, help, version };
  Action action = Action::run;
  std::filesystem::path case_dir;  // absolute; empty: the working directory
  std::filesystem::path report;    // absolute; empty: no HTML report
  std::filesystem::path csv_dir;   // absolute; empty: no CSV tables
  int threads = 0;                 // 0: all hardware threads
};

// A command line the program cannot run; what() is the one-line message.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// In: the arguments after the program's name and the folder the command was
// started in.  Out: the command line, every path absolute.  Throws
// UsageError for an unknown option, a missing or bad value, more than one
// case folder, a case folder without PSnamel.nml, a report whose folder does
// not exist or that names a folder, a CSV folder that names a file.
CommandLine parse_command_line(std::span<const std::string_view> args,
                               const std::filesystem::path& start);

// The usage text, ending with a newline.
std::string usage_text();

// "sitedrain " and the version, ending with a newline.
std::string version_text();

// The program: parses argv, shows the usage, the version or a usage error
// (status 2), else runs the case.  Returns the process exit status.
int run_command(int argc, const char* const* argv);

}  // namespace sitedrain::cli
