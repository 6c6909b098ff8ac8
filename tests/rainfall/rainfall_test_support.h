// Helpers of the rainfall tests: a line sink that keeps its text, and
// capture of console output and of run stops.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "textio/console.h"
#include "textio/stop.h"
#include "textio/text_file.h"

namespace sitedrain::rainfall::test {

// Keeps every line written, each followed by a line feed, as a file would.
class TextSink : public textio::LineSink {
 public:
  void line(std::string_view text) override {
    text_ += text;
    text_ += '\n';
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
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
std::string stop_message(F&& f) {
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

}  // namespace sitedrain::rainfall::test
