// Jobs side by side on one thread: an exception of one ends them all, their
// stacks unwound.  (That the jobs keep their passes in order and their own
// console is the search paths test: every case byte for byte.)
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
