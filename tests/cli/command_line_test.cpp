// The command line: help and version on standard output, and paths taken
// from the folder the command starts in.  (Usage errors, status 2 before
// anything is read or written: output_paths_test.cpp.)
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "support/command.h"

namespace sitedrain::testing {
namespace {

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
