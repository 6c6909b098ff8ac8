// Capture of what a routine writes: the lines of a text sink, the console,
// and the message of a stopped run.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "textio/console.h"
#include "textio/stop.h"
#include "textio/text_file.h"

namespace sitedrain::testing {

// A text sink that keeps its lines.
struct KeptLines : textio::LineSink {
  std::vector<std::string> lines;
  void line(std::string_view text) override { lines.emplace_back(text); }
};

// Runs f and returns what it wrote to the console.
template <class F>
std::string console_of(F&& f) {
  console::flush();
  ::testing::internal::CaptureStdout();
  f();
  console::flush();
  return ::testing::internal::GetCapturedStdout();
}

// Runs f, which must stop the run with status 1; returns the console text.
template <class F>
std::string stop_output(F&& f) {
  bool stopped = false;
  std::string out = console_of([&] {
    try {
      f();
    } catch (const RunStop& s) {
      stopped = s.status == 1;
    }
  });
  EXPECT_TRUE(stopped) << "the run was expected to stop; console: " << out;
  return out;
}

}  // namespace sitedrain::testing
