// The README's recipe for many sites at once: GNU parallel runs one
// sitedrain per case folder (CASE_DIR on the command line, --threads to
// match the jobs); every bundled case's outputs, console and exit status
// come out as its expected folder has them.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/browser.h"
#include "support/console_text.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

TEST(ManySites, GnuParallelOverTheBundledCases) {
  SITEDRAIN_REQUIRE(fs::exists("/usr/bin/parallel"), "GNU parallel (Debian package parallel)");
  const TempDir dir("parallel");
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(SITEDRAIN_TEST_CASES)) {
    if (!fs::is_directory(e.path() / "expected")) continue;
    names.push_back(e.path().filename().string());
    fs::create_directories(dir / "sites" / names.back());
    copy_files(e.path(), dir / "sites" / names.back());
  }
  const fs::path exe = fs::absolute(SITEDRAIN_EXE);
  const std::string cmd = "cd '" + dir.string() +
                          "' && parallel --will-cite --jobs 2 --joblog jobs.log '" + exe.string() +
                          " --threads 1 {} </dev/null >{}/console.txt 2>&1' ::: sites/*/";
  ASSERT_NE(std::system(cmd.c_str()), -1);  // parallel exits with the count of failed jobs

  // The exit status of each job, by case name, from the job log.
  std::map<std::string, std::string> status;
  std::istringstream log(read_file(dir / "jobs.log"));
  std::string line;
  std::getline(log, line);  // heading
  while (std::getline(log, line)) {
    std::vector<std::string> f;
    std::istringstream cols(line);
    for (std::string c; std::getline(cols, c, '\t');) f.push_back(c);
    ASSERT_GE(f.size(), 9u) << line;
    const std::size_t at = f[8].find("sites/") + 6;
    status[f[8].substr(at, f[8].find('/', at) - at)] = f[6];
  }
  ASSERT_EQ(status.size(), names.size());
  for (const std::string& n : names) {
    const fs::path site = dir / "sites" / n;
    expect_expected_outputs(site, n, status.count(n) ? std::stoi(status[n]) : -1,
                            read_file(site / "console.txt"), n);
  }
}

}  // namespace
}  // namespace sitedrain::testing
