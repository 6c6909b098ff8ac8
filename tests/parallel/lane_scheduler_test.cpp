// Jobs side by side on one thread: their calls in the lanes, each job with its
// own console and its passes in order; an exception ends them all.
#include "parallel/lane_scheduler.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "params/run_setup.h"
#include "storage/water_balance.h"
#include "textio/console.h"

namespace sitedrain::parallel {
namespace {

struct Pond {
  geometry::CoeffTable table =
      geometry::build_coefficient_table({100, 100, 1}, params::depth_step_count(1.5));
  std::vector<double> runoff = std::vector<double>(1800, 0.1);
  storage::StormCall call(double base) const {
    storage::StormCall c;
    c.storage = {.depth = 1.5, .base_w = base, .base_l = 2 * base, .batter = 3.0};
    c.outlet = {100.0, &table, 1};
    c.runoff = runoff.data();
    c.n_runoff = static_cast<int>(runoff.size());
    c.duration = 30;
    return c;
  }
};

// Job n: three passes, each sized from the last; its console says which.
TEST(LaneScheduler, JobsKeepTheirPassesInOrderAndTheirOwnConsole) {
  const Pond pond;
  const int jobs = 20;
  std::vector<console::Recording> shown(jobs);
  std::vector<double> smax(jobs);
  int started = 0;
  LaneScheduler scheduler(12);
  scheduler.run([&](LaneScheduler::Job& job) {
    if (started == jobs) return false;
    const int n = started++;
    job = [&, n] {
      console::Redirect redirect(shown[static_cast<std::size_t>(n)]);
      double base = 1.0 + n;
      for (int pass = 1; pass <= 3; ++pass) {
        console::line("job " + std::to_string(n) + " pass " + std::to_string(pass));
        const storage::CallOutcome o = LaneScheduler::current()->call(pond.call(base));
        ASSERT_FALSE(o.alone);
        base = o.results.peak_volume / 10.0;
        smax[static_cast<std::size_t>(n)] = o.results.peak_volume;
      }
    };
    return true;
  });
  EXPECT_EQ(LaneScheduler::current(), nullptr);
  for (int n = 0; n < jobs; ++n) {
    double base = 1.0 + n, expected = 0.0;
    for (int pass = 1; pass <= 3; ++pass) {
      expected = storage::water_balance(pond.call(base)).results.peak_volume;
      base = expected / 10.0;
    }
    EXPECT_EQ(smax[static_cast<std::size_t>(n)], expected) << n;
    std::string text;
    for (int pass = 1; pass <= 3; ++pass)
      text += "job " + std::to_string(n) + " pass " + std::to_string(pass) + "\n";
    testing::internal::CaptureStdout();
    shown[static_cast<std::size_t>(n)].replay();
    console::flush();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), text);
  }
}

TEST(LaneScheduler, AnExceptionOfOneJobUnwindsTheOthersAndLeavesRun) {
  const Pond pond;
  struct Counted {
    int* alive;
    explicit Counted(int* a) : alive(a) { ++*alive; }
    ~Counted() { --*alive; }
  };
  int alive = 0, started = 0;
  LaneScheduler scheduler(12);
  EXPECT_THROW(scheduler.run([&](LaneScheduler::Job& job) {
    const int n = started++;
    job = [&, n] {
      Counted c(&alive);
      if (n == 5) throw std::bad_alloc();  // jobs 0-4 wait in the lanes
      for (int pass = 0; pass < 3; ++pass) LaneScheduler::current()->call(pond.call(5.0));
    };
    return true;
  }),
               std::bad_alloc);
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(started, 6);
}

}  // namespace
}  // namespace sitedrain::parallel
