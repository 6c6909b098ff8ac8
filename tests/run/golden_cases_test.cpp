// Whole runs on the bundled cases: every output file, the console and the
// exit status compared byte for byte with the case's expected folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "support/console_text.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

std::vector<std::string> cases_with_expected_outputs() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(SITEDRAIN_TEST_CASES))
    if (fs::is_directory(e.path() / "expected")) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Each case runs as it is and with --report and --csv (written beside the
// case's folder): the eight outputs and the console are the same.
class GoldenCase : public ::testing::TestWithParam<std::tuple<std::string, bool>> {};

TEST_P(GoldenCase, AllOutputsMatch) {
  const auto& [name, with_report] = GetParam();
  const fs::path source = case_dir(name);
  const TempDir top("golden_" + name);
  const fs::path dir = top / "case";
  fs::create_directories(dir);
  copy_files(source, dir);
  RunResult r;
  if (with_report) {
    const std::string cmd = "cd '" + dir.string() +
                            "' && SOURCE_DATE_EPOCH=0 '" SITEDRAIN_EXE
                            "' --report ../report.html --csv ../csv </dev/null >../console 2>&1";
    const int raw = std::system(cmd.c_str());
    r = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / ".." / "console")};
    EXPECT_EQ(fs::exists(dir / ".." / "report.html"), r.status == 0);
  } else {
    r = run_program(dir);
  }
  expect_expected_outputs(dir, name, r.status, r.console);
  // A stopped run leaves no output file that its case does not expect.
  if (!fs::exists(source / "expected" / "report.txt") && r.status != 0) {
    for (const auto& e : fs::directory_iterator(dir)) {
      const std::string n = e.path().filename().string();
      EXPECT_TRUE(fs::exists(source / n)) << "unexpected output " << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenCase,
                         ::testing::Combine(::testing::ValuesIn(cases_with_expected_outputs()),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           return std::get<0>(info.param) +
                                  (std::get<1>(info.param) ? "_with_report" : "");
                         });

}  // namespace
}  // namespace sitedrain::testing
