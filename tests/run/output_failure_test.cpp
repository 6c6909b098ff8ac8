// An output file that cannot be created or written stops the run with a
// message naming it and exit status 1, never a run that claims success.
#include <gtest/gtest.h>

#include <string>

#include "support/base_case.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

namespace fs = std::filesystem;

struct OutputCase {
  const char* name;
  int file;          // output file number
  const char* path;  // its folder
  const char* base;  // its name
  std::string last_line;
};

class OutputFailure : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputFailure, StopsWithTheFileName) {
  const OutputCase& c = GetParam();
  const fs::path dir = make_temp_dir("output_failure");
  write_case(dir, base_parameter_lines());
  std::string control = read_file(dir / "PSnamel.nml");
  const std::string n = std::to_string(c.file);
  control.insert(control.rfind('/'), " OPATH(" + n + ") = '" + c.path + "', OFILENAME(" + n +
                                         ") = '" + c.base + "'\n");
  write_file(dir / "PSnamel.nml", control);
  const RunResult r = run_program(dir);
  EXPECT_EQ(r.status, 1) << r.console;
  const std::string tail = r.console.substr(r.console.rfind('\n', r.console.size() - 2) + 1);
  EXPECT_EQ(tail, c.last_line + "\n") << r.console;
  fs::remove_all(dir);
}

std::string padded(const std::string& s) { return s + std::string(150 - s.size(), ' '); }

INSTANTIATE_TEST_SUITE_P(
    Files, OutputFailure,
    ::testing::Values(
        OutputCase{"folder_missing", 5, "missing/", "out5.txt",
                   "ERROR opening file" + padded("missing/out5.txt")},
        OutputCase{"rainfall_table_full", 1, "/dev/", "full",
                   "ERROR writing file" + padded("/dev/full")},
        OutputCase{"report_full", 6, "/dev/", "full", "ERROR writing file" + padded("/dev/full")},
        OutputCase{"progress_full", 8, "/dev/", "full", "ERROR opening timer file"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sitedrain::testing
