// The production search (replayed inflows, storms side by side) against the
// reference search (everything in order, live): every output file and the
// console byte for byte, with 1, 2 and 3 threads.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "run/driver.h"
#include "support/base_case.h"
#include "textio/format.h"

namespace sitedrain::testing {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// Runs the program in-process in a child, in dir, with the given options;
// returns every file of dir that the run wrote, the console and the status.
Files run_as_child(const fs::path& source, const design::SearchOptions& options,
                   const std::function<void(const fs::path&)>& change) {
  const TempDir dir("paths");
  copy_files(source, dir);
  if (change) change(dir);
  std::set<std::string> inputs;
  for (const auto& e : fs::directory_iterator(dir)) inputs.insert(e.path().filename().string());
  Files files;
  files["exit status"] =
      std::to_string(run_in_child(dir, [&] { return run::run_program(options).status; }));
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (!inputs.count(name)) files[name] = read_file(e.path());
  }
  return files;
}

// Changes the parameter file of the case in dir, a line at a time.
void change_params(const fs::path& dir, const std::function<Lines(Lines)>& change) {
  Lines lines;
  std::istringstream in(read_file(dir / "params.txt"));
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::string out;
  for (const std::string& l : change(lines)) out += l + "\n";
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
  const Files reference = run_as_child(case_dir(name), options(true, 1), change);
  ASSERT_GE(reference.size(), 2u) << name;  // at least the console and the status
  for (int threads : {1, 2, 3}) {
    const Files production = run_as_child(case_dir(name), options(false, threads), change);
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
      change_params(dir, [&](Lines l) {
        l = set_list(set(l, "rom", m[0]), "nsubc", 2, "surface", {m[1], m[2]}, false);
        if (std::string(m[0]) != "     3") return l;
        // the PDM model's console is large: short storms
        return set_list(l, "ndur", 3, "dur", {"    15", "    30", "    45"}, false);
      });
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
    const Files run = run_as_child(case_dir("pond_design"), with_fault, nullptr);
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
  const Files run = run_as_child(case_dir("pond_design"), told, nullptr);
  std::string want;
  const int total = 3 * 3 * 3;  // return periods x orifice sizes x durations of the case
  for (int q = 1; q <= total; ++q) want += std::to_string(q) + "/" + std::to_string(total) + "\n";
  EXPECT_EQ(run.at("told.txt"), want);
}

}  // namespace
}  // namespace sitedrain::testing
