// Whole runs on the bundled cases: every output file, the console and the
// exit status compared byte for byte with the case's expected folder.
#include <gtest/gtest.h>

#include <sstream>

#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

// The console without the per-call lines of the PDM model (one real each).
std::string without_pdm_lines(const std::string& console) {
  std::istringstream in(console);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.size() > 1 && line[0] == ' ' && line.find_first_not_of(" -+.0123456789e") == std::string::npos)
      continue;
    out += line + "\n";
  }
  return out;
}

std::vector<std::string> cases_with_expected_outputs() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(SITEDRAIN_TEST_CASES))
    if (fs::is_directory(e.path() / "expected")) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs the case of source in a fresh folder, after change (if any) has
// altered its inputs there, and compares with the case's expected folder.
void expect_case_outputs(const std::string& name, void (*change)(const fs::path& dir) = nullptr) {
  const fs::path source = case_dir(name);
  const fs::path dir = make_temp_dir("golden_" + name);
  copy_files(source, dir);
  if (change) change(dir);
  RunResult r = run_program(dir);
  const fs::path expected = source / "expected";
  for (const auto& e : fs::directory_iterator(expected)) {
    const std::string file = e.path().filename().string();
    const std::string want = read_file(e.path());
    if (file == "console.txt") {
      EXPECT_EQ(without_pdm_lines(r.console), want) << "console";
    } else if (file == "exit.txt") {
      EXPECT_EQ(std::to_string(r.status) + "\n", want) << "exit status";
    } else {
      ASSERT_TRUE(fs::exists(dir / file)) << file << " was not written";
      EXPECT_EQ(read_file(dir / file), want) << file;
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

class GoldenCase : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenCase, AllOutputsMatch) {
  expect_case_outputs(GetParam());
}

// The CR LF case gives the same outputs with LF line ends.
TEST(GoldenCaseTwin, CrLfCaseWithLfLineEnds) {
  expect_case_outputs("crlf_line_ends", [](const fs::path& dir) {
    int inputs = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
      std::string text = read_file(e.path());
      if (text.find("\r\n") == std::string::npos) continue;
      std::erase(text, '\r');
      write_file(e.path(), text);
      ++inputs;
    }
    EXPECT_EQ(inputs, 3);
  });
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenCase, ::testing::ValuesIn(cases_with_expected_outputs()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace sitedrain::testing
