// The run's warnings as the report collects them: from the log lines that
// pass through, from the console's own lines and from replayed storms;
// every log line passes on unchanged.
#include "run/run_warnings.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/capture.h"

namespace sitedrain::testing {
namespace {

TEST(RunWarnings, LogConsoleAndReplayedLines) {
  KeptLines log;
  std::vector<std::string> warnings;
  console_of([&] {
    run::WarningCollector c(log, warnings);
    c.line(" Maxdepth too large for volume               - maxdepth reduced to   1.2    ");
    c.line(" 1 60 75.0 12.5");  // a record of a storm
    console::line("Incompatible initial basew - top width has been adjusted to  4.5 m");
    console::line("Calculating the pond dimensions");
    auto storm = std::make_shared<console::Recording>();
    storm->line("root must be bracketed in rtsafe");
    console::show(storm);
  });
  console_of([] { console::line("WARNING after the run"); });  // the collector is gone
  EXPECT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0].size(), 76u);  // passed on as written
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          "Maxdepth too large for volume               - maxdepth reduced to   1.2",
                          "Incompatible initial basew - top width has been adjusted to  4.5 m",
                          "root must be bracketed in rtsafe"}));
}

}  // namespace
}  // namespace sitedrain::testing
