// Tasks computed on worker threads and read by the consumer in its own order;
// the ThreadSanitizer build runs these (the results are plain memory, handed
// over only through the executor).
#include "parallel/ordered_executor.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace sitedrain::parallel {
namespace {

constexpr std::size_t kTasks = 300;

std::vector<std::size_t> take_order() {  // every task once, not in task order
  std::vector<std::size_t> order;
  for (std::size_t t = 0; t < kTasks; ++t) order.push_back((t * 7) % kTasks);
  return order;
}

std::size_t square(std::size_t t) {
  return t * t + 1;
}

TEST(OrderedExecutor, ConsumerReadsEveryResultInItsOrder) {
  for (int threads : {1, 2, 3, 5}) {
    for (std::size_t batch : {0, 1, 4}) {  // 0: the streamed form, tasks ended out of order
      std::vector<std::size_t> result(kTasks, 0);
      std::unique_ptr<OrderedExecutor> executor;
      if (batch == 0) {
        executor = std::make_unique<OrderedExecutor>(
            kTasks, take_order(), threads, [&](OrderedExecutor::Stream& tasks) {
              std::vector<std::size_t> held;
              auto end_held = [&] {
                for (auto h = held.rbegin(); h != held.rend(); ++h) {
                  result[*h] = square(*h);
                  tasks.done(*h);
                }
                held.clear();
              };
              for (std::size_t t = 0; tasks.next(t);) {
                held.push_back(t);
                if (held.size() == 3) end_held();
              }
              end_held();
            });
      } else {
        executor = std::make_unique<OrderedExecutor>(kTasks, take_order(), threads, batch,
                                                     [&](std::span<const std::size_t> claim) {
                                                       for (std::size_t t : claim)
                                                         result[t] = square(t);
                                                     });
      }
      for (std::size_t t = 0; t < kTasks; ++t) {
        executor->wait(t);
        ASSERT_EQ(result[t], square(t)) << threads << " threads, batch " << batch;
      }
    }
  }
}

TEST(OrderedExecutor, AFailureOnAWorkerReachesTheConsumer) {
  for (int threads : {1, 3}) {
    OrderedExecutor executor(kTasks, take_order(), threads, 2,
                             [](std::span<const std::size_t> claim) {
                               for (std::size_t t : claim)
                                 if (t == 140) throw std::runtime_error("task 140");
                             });
    EXPECT_THROW(
        {
          for (std::size_t t = 0; t < kTasks; ++t) executor.wait(t);
        },
        std::runtime_error)
        << threads;
  }
}

}  // namespace
}  // namespace sitedrain::parallel
