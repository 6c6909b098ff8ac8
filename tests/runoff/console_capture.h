// Console capture for tests of routines that write to the console or stop.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::testing {

// Runs f with the console captured; returns what it wrote.
template <class F>
std::string console_of(F&& f) {
  ::testing::internal::CaptureStdout();
  f();
  console::flush();
  return ::testing::internal::GetCapturedStdout();
}

// Runs f, which must stop the run with status 1; returns what it wrote.
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
  EXPECT_TRUE(stopped) << "expected the run to stop";
  return out;
}

}  // namespace sitedrain::testing
