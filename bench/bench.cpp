// sitedrain_bench: times whole design cases.
//
//   sitedrain_bench CASE_FOLDER [--reference] [--threads N]
//   sitedrain_bench --step
//   sitedrain_bench --lanes
//
// A case runs in a child process in a copy of its folder (console output to
// a file there), so that its peak memory is its own.  Reported: wall time,
// storms, water-balance calls, one-second steps, storage steps, nanoseconds
// per storage step (wall time x threads / storage steps, and processor time
// / storage steps), each against the bare step, and peak memory.
// --step times the bare storage step (the depth search and the orifice
// rate) in a loop, the floor the whole search is measured against.  --lanes
// times the water balance of a set of pond calls on the scalar path and in
// 1 to 16 lockstep lanes, against the bare step, in nanoseconds per storage
// step of processor time (medians of five rounds).
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "design/storm_inflow.h"
#include "geometry/orifice.h"
#include "params/run_setup.h"
#include "run/driver.h"
#include "storage/orifice_outflow.h"
#include "storage/water_balance_lanes.h"
#include "support/reference_water_balance.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// This thread's processor time, ns: steadier than wall time on a shared machine.
double thread_ns() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// The bare storage step on a pond of 20 m by 10 m, batter 3, depth 1.5 m,
// 100 mm orifice: the depth of a stored volume and the orifice rate there.
double bare_step_ns(bool cpu_time = false) {
  using namespace sitedrain;
  const geometry::CoeffTable table =
      geometry::build_coefficient_table({100, 100, 1}, params::depth_step_count(1.5));
  const long long n = 5000000;
  double W = 10.0, L = 20.0, sum = 0.0;
  const auto start = Clock::now();
  const double cpu_start = thread_ns();
  for (long long s = 0; s < n; ++s) {
    const double S = 5.0 + static_cast<double>(s % 50000) * 0.01;  // 5 to 505 m^3
    const double h = testing::reference_water_depth(S, 3.0, W, L, 1.5);
    int jh = storage::locate_unit_grid(table.n_depth, 1000.0 * h);
    if (jh == 0) jh = 1;
    sum += storage::orifice_rate(h, 100.0, table.at(1, jh));
  }
  const double ns = cpu_time
                        ? thread_ns() - cpu_start
                        : std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  if (sum < 0) std::cout << sum;  // keep the loop
  return ns / static_cast<double>(n);
}

// The calls of --lanes: the bare step's pond and orifice under triangular
// hydrographs of 30 to 360 minutes that fill it to 40-100 %.
struct LaneBench {
  sitedrain::geometry::CoeffTable table = sitedrain::geometry::build_coefficient_table(
      {100, 100, 1}, sitedrain::params::depth_step_count(1.5));
  std::vector<sitedrain::design::StormInflow> inflows;
  std::vector<sitedrain::storage::StormCall> calls;
  LaneBench() {
    using namespace sitedrain;
    inflows.reserve(48);
    for (int c = 0; c < 48; ++c) {
      const int duration = 30 + (c % 12) * 30;
      const int n = 60 * duration;
      const double volume = 600.0 * (0.4 + 0.6 * ((c * 7) % 11) / 10.0);
      design::StormInflow& in = inflows.emplace_back();
      for (int t = 1; t <= n; ++t)
        in.runoff.push_back(2.0 * volume / n * (1.0 - std::abs(2.0 * t - n) / n));
      storage::StormCall call;
      call.storage = {.depth = 1.5, .base_w = 10.0, .base_l = 20.0, .batter = 3.0};
      call.outlet = {100.0, &table, 1};
      call.runoff = in.runoff.data();
      call.n_runoff = n;
      call.duration = duration;
      calls.push_back(call);
    }
  }
};

// ns per storage step of the calls on the scalar path (K = 0) or in K lanes.
template <int K>
double lanes_ns(const LaneBench& b,
                sitedrain::storage::LaneIsa isa = sitedrain::storage::lane_isa()) {
  using namespace sitedrain;
  long long steps = 0;
  const double start = thread_ns();
  if constexpr (K == 0) {
    for (std::size_t c = 0; c < b.calls.size(); ++c) {
      steps += storage::water_balance(b.calls[c]).results.storage_steps;
    }
  } else {
    std::size_t next = 0;
    storage::WaterBalanceLanes<K> lanes(isa);
    lanes.run(
        [&](storage::StormCall& c) { return next < b.calls.size() && (c = b.calls[next++], true); },
        [&](const storage::StormCall&, const storage::CallOutcome& o) {
          steps += o.results.storage_steps;
        });
  }
  return (thread_ns() - start) / static_cast<double>(steps);
}

void lanes_bench() {
  using sitedrain::storage::LaneIsa;
  const LaneBench b;
  const bool avx2 = sitedrain::storage::lane_isa() == LaneIsa::avx2;
  const char* names[] = {"bare step", "scalar call", "1 lane",   "2 lanes",
                         "4 lanes",   "8 lanes",     "16 lanes", "8 lanes, SSE2 only"};
  std::vector<std::vector<double>> t(8);
  for (int round = 0; round < 5; ++round) {
    t[0].push_back(bare_step_ns(true));
    t[1].push_back(lanes_ns<0>(b));
    t[2].push_back(lanes_ns<1>(b));
    t[3].push_back(lanes_ns<2>(b));
    t[4].push_back(lanes_ns<4>(b));
    t[5].push_back(lanes_ns<8>(b));
    t[6].push_back(lanes_ns<16>(b));
    t[7].push_back(lanes_ns<8>(b, LaneIsa::sse2));
  }
  for (auto& v : t) std::sort(v.begin(), v.end());
  const double bare = t[0][2];
  std::printf("lanes in %s registers (kLanes = %d)\n", avx2 ? "AVX2" : "SSE2",
              sitedrain::storage::kLanes);
  for (int k = 0; k < 8; ++k)
    std::printf("%-20s %6.1f ns per storage step  (x%.2f of the bare step)\n", names[k], t[k][2],
                t[k][2] / bare);
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
    if (!std::freopen("console.out", "w", stdout) || !std::freopen("/dev/null", "r", stdin))
      _exit(98);
    sitedrain::design::SearchStats stats;
    sitedrain::design::SearchOptions options;
    options.in_order = reference;
    options.threads = threads;
    options.stats = &stats;
    const int status = sitedrain::run::run_program(options).status;
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
      reference ? 1
                : (threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency()));
  const double per_step =
      storage_steps ? seconds * 1e9 * used_threads / static_cast<double>(storage_steps) : 0.0;
  const double bare = bare_step_ns();
  // The same in processor time (the case's user and system time against the
  // bare step's), steadier when other work shares the machine.
  auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  const double cpu_per_step = storage_steps ? (sec(usage.ru_utime) + sec(usage.ru_stime)) * 1e9 /
                                                  static_cast<double>(storage_steps)
                                            : 0.0;
  const double cpu_bare = bare_step_ns(true);
  std::printf(
      "%-10s %-10s threads %d  exit %d  wall %.3f s  storms %lld  calls %lld  steps %lld  "
      "storage steps %lld  ns/storage step %.1f  bare step %.1f ns (x%.2f)  "
      "processor time: %.1f ns/storage step, bare %.1f ns (x%.2f)  peak %.1f MB\n",
      source.filename().c_str(), reference ? "reference" : "production", used_threads,
      WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, seconds, storms, calls, steps, storage_steps,
      per_step, bare, bare > 0 ? per_step / bare : 0.0, cpu_per_step, cpu_bare,
      cpu_bare > 0 ? cpu_per_step / cpu_bare : 0.0, static_cast<double>(usage.ru_maxrss) / 1024.0);
  fs::remove_all(dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--step") {
    std::printf("bare storage step: %.1f ns\n", bare_step_ns());
    return 0;
  }
  if (argc >= 2 && std::string(argv[1]) == "--lanes") {
    lanes_bench();
    return 0;
  }
  if (argc < 2) {
    std::fprintf(
        stderr,
        "usage: sitedrain_bench CASE_FOLDER [--reference] [--threads N] | --step | --lanes\n");
    return 2;
  }
  bool reference = false;
  int threads = 0;
  for (int a = 2; a < argc; ++a) {
    std::string arg = argv[a];
    if (arg == "--reference")
      reference = true;
    else if (arg == "--threads" && a + 1 < argc)
      threads = std::atoi(argv[++a]);
  }
  return run_case(argv[1], reference, threads);
}
