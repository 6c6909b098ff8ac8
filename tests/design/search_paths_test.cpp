// The production search (replayed inflows, storms side by side) against the
// reference search (everything in order, live): every output file and the
// console byte for byte, with 1, 2 and 3 threads.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>

#include "run/driver.h"
#include "support/run_case.h"
#include "textio/format.h"

namespace sitedrain::testing {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// Runs the program in-process in a child, in dir, with the given options;
// returns every file of dir that the run wrote, the console and the status.
Files run_in_child(const fs::path& source, const design::SearchOptions& options,
                   const std::function<void(const fs::path&)>& change) {
  const fs::path dir = make_temp_dir("paths");
  copy_files(source, dir);
  if (change) change(dir);
  std::set<std::string> inputs;
  for (const auto& e : fs::directory_iterator(dir)) inputs.insert(e.path().filename().string());
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(99);
    if (!std::freopen("console.out", "w", stdout) || !std::freopen("/dev/null", "r", stdin))
      _exit(98);
    const int status = run::run_program(options).status;
    std::fflush(stdout);
    _exit(status);
  }
  int raw = 0;
  waitpid(pid, &raw, 0);
  Files files;
  files["exit status"] = std::to_string(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1);
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (!inputs.count(name)) files[name] = read_file(e.path());
  }
  fs::remove_all(dir);
  return files;
}

// Sets the value of a keyword record of the parameter file in dir.
void set_record(const fs::path& dir, const std::string& key, const std::string& value) {
  std::string text = read_file(dir / "params.txt"), out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (line.rfind("*" + key + " ", 0) == 0) line = line.substr(0, 16) + value;
    out += line + "\n";
    at = end + 1;
  }
  write_file(dir / "params.txt", out);
}

design::SearchOptions options(bool reference, int threads) {
  design::SearchOptions o;
  o.in_order = reference;
  o.threads = threads;
  return o;
}

void check_paths_agree(const std::string& name,
                       const std::function<void(const fs::path&)>& change = nullptr) {
  const Files reference = run_in_child(case_dir(name), options(true, 1), change);
  ASSERT_GE(reference.size(), 2u) << name;  // at least the console and the status
  for (int threads : {1, 2, 3}) {
    const Files production = run_in_child(case_dir(name), options(false, threads), change);
    ASSERT_EQ(production.size(), reference.size()) << name;
    for (const auto& [file, text] : reference)
      EXPECT_TRUE(production.at(file) == text)
          << name << ": " << file << " differs with " << threads << " threads";
  }
}

TEST(SearchPaths, EveryBundledCase) {
  for (const auto& e : fs::directory_iterator(SITEDRAIN_TEST_CASES))
    check_paths_agree(e.path().filename().string());
}

TEST(SearchPaths, EveryLossModelInADesign) {
  // pond_design's soil rows serve Green-Ampt; the Horton models need types 1-5
  const char* models[][3] = {{"     0", "     1", "     5"},
                             {"     1", "     4", "     5"},
                             {"     3", "     9", "     5"}};
  for (const auto& m : models) {
    check_paths_agree("pond_design", [&](const fs::path& dir) {
      set_record(dir, "rom", m[0]);
      std::string text = read_file(dir / "params.txt");
      const std::string from = "*surface             9\n                     5";
      const std::string to = std::string("*surface        ") + m[1] + "\n                " + m[2];
      text.replace(text.find(from), from.size(), to);
      write_file(dir / "params.txt", text);
      if (std::string(m[0]) == "     3") {  // the PDM model's console is large: short storms
        text = read_file(dir / "params.txt");
        const std::string durs =
            "*dur                60\n                   120\n                   240";
        text.replace(text.find(durs), durs.size(),
                     "*dur                15\n                    30\n                    45");
        write_file(dir / "params.txt", text);
      }
    });
  }
}

// A failure of a computing thread other than the run's own stop ends the
// run with its message and status 1, after the output of the storms before.
TEST(SearchPaths, FailureInAWorkerEndsTheRunWithAMessage) {
  struct Fault {
    int threads;
    std::function<void()> fail;
    std::string message;
  } faults[] = {
      {2, [] { throw std::bad_alloc(); },
       textio::fmt_a("ALLOACTION ERROR - probably insufficient memory", 81) +
           "\nUnexcpected allocation error\n"},
      {1, [] { throw std::runtime_error("disk on fire"); },
       "ERROR - unexpected failure: disk on fire\n"},
  };
  for (const Fault& f : faults) {
    design::SearchOptions with_fault = options(false, f.threads);
    with_fault.before_storm = [&](const design::DesignStorm& s) {
      if (s.i == 1 && s.k == 2) f.fail();
    };
    const Files run = run_in_child(case_dir("pond_design"), with_fault, nullptr);
    EXPECT_EQ(run.at("exit status"), "1") << f.threads;
    const std::string& console = run.at("console.out");
    ASSERT_GE(console.size(), f.message.size());
    EXPECT_EQ(console.substr(console.size() - f.message.size()), f.message) << f.threads;
  }
}

// The progress callback hears of every storm once, in order, after it is written.
TEST(SearchPaths, ProgressCallbackCountsEveryStorm) {
  design::SearchOptions told = options(false, 2);
  told.progress = [](std::int64_t done, std::int64_t total) {
    std::FILE* f = std::fopen("told.txt", "a");
    std::fprintf(f, "%lld/%lld\n", static_cast<long long>(done), static_cast<long long>(total));
    std::fclose(f);
  };
  const Files run = run_in_child(case_dir("pond_design"), told, nullptr);
  std::string want;
  const int total = 3 * 3 * 3;  // return periods x orifice sizes x durations of the case
  for (int q = 1; q <= total; ++q) want += std::to_string(q) + "/" + std::to_string(total) + "\n";
  EXPECT_EQ(run.at("told.txt"), want);
}

}  // namespace
}  // namespace sitedrain::testing
