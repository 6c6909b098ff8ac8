// The command line: usage errors stop with status 2 before anything is read
// or written; paths are taken from the folder the command starts in.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "support/command.h"

namespace sitedrain::testing {
namespace {

struct UsageCase {
  const char* name;
  const char* args;
  const char* message;
};

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

// Each bad command line in a folder holding a whole case: the message and
// the usage on standard error, status 2, nothing on standard output, and
// the folder as it was.
TEST_P(UsageErrors, MessageUsageAndStatus2) {
  const UsageCase& c = GetParam();
  const TempDir dir("usage");
  copy_files(case_dir("pond_design"), dir);
  fs::create_directory(dir / "empty");
  write_file(dir / "a_file", "");
  const std::string before = listing(dir);
  const CommandResult r = run_command_in(dir, c.args);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, std::string("sitedrain: ") + c.message + "\n" + cli::usage_text());
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(listing(dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    ::testing::Values(
        UsageCase{"unknown_option", "--reprot x.html", "unknown option '--reprot'"},
        UsageCase{"short_option", "-t 2", "unknown option '-t'"},
        UsageCase{"missing_value", "--report", "--report needs a value"},
        UsageCase{"option_as_value", "--csv --threads 2", "--csv needs a value"},
        UsageCase{"empty_value", "--csv=", "--csv needs a value"},
        UsageCase{"threads_zero", "--threads 0",
                  "--threads needs a whole number of at least 1, not '0'"},
        UsageCase{"threads_text", "--threads=two",
                  "--threads needs a whole number of at least 1, not 'two'"},
        UsageCase{"threads_overflow", "--threads 99999999999",
                  "--threads needs a whole number of at least 1, not '99999999999'"},
        UsageCase{"no_folder", "nowhere", "no folder 'nowhere'"},
        UsageCase{
            "no_case", "empty",
            "no case in 'empty' (no site.toml or PSnamel.nml); `sitedrain new empty` writes a "
            "site file there"},
        UsageCase{"two_folders", ". empty", "one CASE_DIR only, not '.' and 'empty'"},
        UsageCase{"empty_folder_name", "''", "CASE_DIR is empty"},
        UsageCase{"escape_in_option", "\"$(printf '%s\\033[2Jport' --re)\"",
                  "unknown option '--re\\x1B[2Jport'"},
        UsageCase{"report_is_folder", "--report empty",
                  "--report needs a file name, not the folder 'empty'"},
        UsageCase{"report_folder_missing", "--report missing/r.html",
                  "no folder for the report 'missing/r.html'"},
        UsageCase{"csv_is_file", "--csv a_file", "--csv needs a folder, not the file 'a_file'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, HelpAndVersionOnStandardOutput) {
  const TempDir dir("help");
  CommandResult r = run_command_in(dir, "--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, cli::usage_text());
  r = run_command_in(dir, "--threads 2 --version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, cli::version_text());
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(fs::is_empty(dir));
}

// Relative paths are taken from the start folder, in either option form,
// and "--" ends the options.
TEST(CommandLine, PathsFromTheStartFolder) {
  const TempDir dir("paths");
  fs::create_directories(dir / "sites" / "-a");
  write_file(dir / "sites" / "-a" / "PSnamel.nml", "");
  const std::vector<std::string_view> args{
      "--report", "out/../r.html", "--csv=tables", "--threads", "3", "--", "sites/-a"};
  const cli::CommandLine c = cli::parse_command_line(args, dir);
  EXPECT_EQ(c.case_dir, dir / "sites" / "-a");
  EXPECT_EQ(c.report, dir / "r.html");
  EXPECT_EQ(c.csv_dir, dir / "tables");
  EXPECT_EQ(c.threads, 3);
}

}  // namespace
}  // namespace sitedrain::testing
