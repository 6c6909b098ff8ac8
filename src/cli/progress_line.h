// The progress line: storms done of total, percent, elapsed time and the
// estimated time left, kept up to date on one terminal line of standard
// error.  It is redrawn at most ten times a second and erased before any
// console line is written and at the end, so the console reads as without
// it.  Shown only when standard error is a terminal.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace sitedrain::cli {

class ProgressLine {
 public:
  using Clock = std::function<double()>;                   // seconds, never decreasing
  using Terminal = std::function<void(std::string_view)>;  // writes raw text

  ProgressLine(Terminal terminal, Clock clock);

  // Starts the elapsed time.
  void start();
  // done storms of total; redrawn unless the last draw is under 0.1 s old.
  void update(long long done, long long total);
  // Removes the line from the terminal if it is shown; the next update
  // draws it again.
  void erase();
  // Erases the line; later updates draw nothing.
  void finish();

  // The line's text for done of total after elapsed seconds.
  static std::string text(long long done, long long total, double elapsed);

 private:
  void erase_locked();
  Terminal terminal_;
  Clock clock_;
  std::mutex mutex_;
  double started_ = 0.0;
  double drawn_at_ = -1.0;  // time of the last draw; < 0: never drawn
  std::size_t shown_ = 0;   // characters on the terminal now
  bool active_ = false;
};

// In: nothing.  Out: true when standard error is a terminal.
bool stderr_is_terminal();

// A progress line on standard error with the steady clock, started now,
// and the console hook that erases it before every console line; null when
// standard error is not a terminal.  Destroying it erases the line and
// removes the hook.
class ConsoleProgress {
 public:
  static std::unique_ptr<ConsoleProgress> on_terminal();
  ~ConsoleProgress();
  ProgressLine& line() { return line_; }

 private:
  ConsoleProgress();
  ProgressLine line_;
};

}  // namespace sitedrain::cli
