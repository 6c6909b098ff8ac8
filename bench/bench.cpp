// sitedrain_bench: times whole design cases.
//
//   sitedrain_bench CASE_FOLDER [--reference] [--threads N]
//   sitedrain_bench --step
//
// A case runs in a child process in a copy of its folder (console output to
// a file there), so that its peak memory is its own.  Reported: wall time,
// storms, water-balance calls, one-second steps, storage steps, nanoseconds
// per storage step (wall time x threads / storage steps) and peak memory.
// --step times the bare storage step (the depth search and the orifice
// rate) in a loop, the floor the whole search is measured against.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "geometry/orifice.h"
#include "params/run_setup.h"
#include "run/driver.h"
#include "storage/orifice_outflow.h"
#include "storage/water_depth.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The bare storage step on a pond of 20 m by 10 m, batter 3, depth 1.5 m,
// 100 mm orifice: the depth of a stored volume and the orifice rate there.
double bare_step_ns() {
  using namespace sitedrain;
  const geometry::CoeffTable table =
      geometry::build_coefficient_table({100, 100, 1}, params::depth_step_count(1.5));
  const long long n = 5000000;
  double W = 10.0, L = 20.0, sum = 0.0;
  const auto start = Clock::now();
  for (long long s = 0; s < n; ++s) {
    const double S = 5.0 + static_cast<double>(s % 50000) * 0.01;  // 5 to 505 m^3
    const double h = storage::WATERDEPTH(S, 3.0, W, L, 1.5);
    int jh = storage::locate_unit_grid(table.n_depth, 1000.0 * h);
    if (jh == 0) jh = 1;
    sum += storage::orifice_rate(h, 100.0, table.at(1, jh));
  }
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  if (sum < 0) std::cout << sum;  // keep the loop
  return ns / static_cast<double>(n);
}

int run_case(const fs::path& source, bool reference, int threads) {
  const fs::path dir = fs::temp_directory_path() / ("sitedrain_bench_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const auto& e : fs::directory_iterator(source))
    if (e.is_regular_file()) fs::copy_file(e.path(), dir / e.path().filename());

  const auto start = Clock::now();
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(99);
    if (!std::freopen("console.out", "w", stdout) || !std::freopen("/dev/null", "r", stdin)) _exit(98);
    sitedrain::design::SearchStats stats;
    sitedrain::design::SearchOptions options;
    options.reference = reference;
    options.threads = threads;
    options.stats = &stats;
    const int status = sitedrain::run::run_program(options);
    std::ofstream out("bench_stats.txt");
    out << stats.storms << " " << stats.calls << " " << stats.steps << " " << stats.storage_steps
        << "\n";
    out.close();
    std::fflush(stdout);
    _exit(status);
  }
  int raw = 0;
  rusage usage{};
  wait4(pid, &raw, 0, &usage);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  long long storms = 0, calls = 0, steps = 0, storage_steps = 0;
  std::ifstream(dir / "bench_stats.txt") >> storms >> calls >> steps >> storage_steps;
  const int used_threads =
      reference ? 1 : (threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency()));
  const double per_step =
      storage_steps ? seconds * 1e9 * used_threads / static_cast<double>(storage_steps) : 0.0;
  const double bare = bare_step_ns();
  std::printf("%-10s %-10s threads %d  exit %d  wall %.3f s  storms %lld  calls %lld  steps %lld  "
              "storage steps %lld  ns/storage step %.1f  bare step %.1f ns (x%.2f)  peak %.1f MB\n",
              source.filename().c_str(), reference ? "reference" : "production", used_threads,
              WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, seconds, storms, calls, steps, storage_steps,
              per_step, bare, bare > 0 ? per_step / bare : 0.0,
              static_cast<double>(usage.ru_maxrss) / 1024.0);
  fs::remove_all(dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--step") {
    std::printf("bare storage step: %.1f ns\n", bare_step_ns());
    return 0;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: sitedrain_bench CASE_FOLDER [--reference] [--threads N] | --step\n");
    return 2;
  }
  bool reference = false;
  int threads = 0;
  for (int a = 2; a < argc; ++a) {
    std::string arg = argv[a];
    if (arg == "--reference") reference = true;
    else if (arg == "--threads" && a + 1 < argc) threads = std::atoi(argv[++a]);
  }
  return run_case(argv[1], reference, threads);
}
