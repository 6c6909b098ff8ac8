// Whole runs on the bundled cases: every output file, the console and the
// exit status compared byte for byte with the case's expected folder.
#include <gtest/gtest.h>

#include <algorithm>

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

class GoldenCase : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenCase, AllOutputsMatch) {
  const fs::path source = case_dir(GetParam());
  const fs::path dir = make_temp_dir("golden_" + GetParam());
  copy_files(source, dir);
  RunResult r = run_program(dir);
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
  fs::remove_all(dir);
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

INSTANTIATE_TEST_SUITE_P(Cases, GoldenCase, ::testing::ValuesIn(cases_with_expected_outputs()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace sitedrain::testing
