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
  const fs::path dir = make_temp_dir("golden_" + name) / "case";
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
  const fs::path expected = source / "expected";
  for (const auto& e : fs::directory_iterator(expected)) {
    const std::string name = e.path().filename().string();
    const std::string want = read_file(e.path());
    if (name == "console.txt") {
      EXPECT_EQ(console_without_pdm_lines(r.console), want) << "console";
    } else if (name == "exit.txt") {
      EXPECT_EQ(std::to_string(r.status) + "\n", want) << "exit status";
    } else {
      ASSERT_TRUE(fs::exists(dir / name)) << name << " was not written";
      EXPECT_EQ(read_file(dir / name), want) << name;
    }
  }
  // A stopped run leaves no output file that its case does not expect.
  if (!fs::exists(expected / "report.txt") && r.status != 0) {
    for (const auto& e : fs::directory_iterator(dir)) {
      const std::string n = e.path().filename().string();
      EXPECT_TRUE(fs::exists(source / n)) << "unexpected output " << n;
    }
  }
  fs::remove_all(dir.parent_path());
}

// crlf_line_ends is rainfall_only with CR LF line ends: the same inputs once
// the CRs are gone, and the same expected outputs.
TEST(GoldenCases, CrLfCaseHasTheOutputsOfItsLfTwin) {
  const fs::path crlf = case_dir("crlf_line_ends"), lf = case_dir("rainfall_only");
  for (const char* input : {"PSnamel.nml", "params.txt", "cd_Carlisle_site.csv"}) {
    std::string text = read_file(crlf / input);
    const auto lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_EQ(std::erase(text, '\r'), static_cast<std::size_t>(lines)) << input;
    EXPECT_EQ(text, read_file(lf / input)) << input;
  }
  for (const auto& e : fs::directory_iterator(lf / "expected"))
    EXPECT_EQ(read_file(crlf / "expected" / e.path().filename()), read_file(e.path())) << e.path();
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
