// The console: one line per message on standard output, and the pauses.
//
// Output is buffered (the PDM model writes a line at every call), so the
// buffer is flushed before every pause and at the end of the run.  A pause
// reads one line of keyboard input and returns at once at end of input, so a
// run without a terminal never hangs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sitedrain::console {

// Writes text as a line of its own.
void line(std::string_view text);

// Waits for one line of input (any text; it is not used).
void pause();

// Shows the message as a line, then pauses (the numerical routines' warnings).
void pause_with(std::string_view message);

// Shows the message, "Type any letter to stop the program", pauses and stops.
[[noreturn]] void stop_after_keypress(std::string_view message);

// As above, with detail as a second line on standard error right after the
// message (what the input should have been).  A recording keeps no
// standard-error line.
[[noreturn]] void stop_after_keypress(std::string_view message, std::string_view detail);

// Shows the message and stops at once (status 1).
[[noreturn]] void stop_with(std::string_view message);

void flush();

// Flushes, then tells whether any text for standard output was lost (a full
// disk, a closed or unwritable standard output).
bool output_failed();

// A routine called before any text goes to standard output (the progress
// line erases itself there); null for none.
void set_before_output(void (*hook)());

// Sees each line the console shows, written by line() or replayed from a
// recording: for collecting a run's warnings as shown.
class LineObserver {
 public:
  virtual ~LineObserver() = default;
  virtual void seen(std::string_view text) = 0;
};

// Sets the observer (nullptr: none); returns the one before.
LineObserver* observe_lines(LineObserver* observer);

// Keeps a console that is not a terminal from holding its lines for the
// whole of a long run: while it lives, a helper thread looks at the clock ten
// times a period and flushes the console once a period has passed since its
// last flush.  A flush takes the console's lock, so the bytes and the large
// blocks written in one piece stay as they are.
class FlushTicker {
 public:
  using Clock = std::chrono::steady_clock;
  // The program's ticker: console::flush at least once a second.
  FlushTicker();
  // now and flush are seams for tests; start = false runs no thread (the
  // test calls poll itself).
  FlushTicker(Clock::duration period, std::function<Clock::time_point()> now,
              std::function<void()> flush, bool start = true);
  ~FlushTicker();
  FlushTicker(const FlushTicker&) = delete;
  FlushTicker& operator=(const FlushTicker&) = delete;

  // One look at the clock: flushes when a period has passed since the last
  // flush (or since the ticker began).  Returns whether it flushed.
  bool poll();

 private:
  Clock::duration period_;
  std::function<Clock::time_point()> now_;
  std::function<void()> flush_;
  Clock::time_point last_;
  std::mutex m_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

// What a piece of work would have shown on the console: its lines and
// pauses, kept in order so that they can be replayed later (storms computed
// side by side show their console output in the order of the storms).
class Recording {
 public:
  void line(std::string_view text);
  void pause();
  void reserve(std::size_t bytes);
  // Another recording, shared rather than copied (the same storm's lines
  // replayed by every water-balance call).
  void append(std::shared_ptr<const Recording> other);
  // Shows the lines and makes the pauses on the real console.
  void replay() const;
  bool empty() const { return text_.empty() && marks_.empty(); }

 private:
  struct Mark {
    std::size_t at;                            // position in text_
    std::shared_ptr<const Recording> nested;   // null: a pause
  };
  std::string text_;
  std::vector<Mark> marks_;
};

// Shows a recording on the console (or adds it to this thread's recording
// while a Redirect lives).
void show(std::shared_ptr<const Recording> recording);

// While it lives, this thread's console lines and pauses go to the
// recording instead of the console.
class Redirect {
 public:
  explicit Redirect(Recording& recording);
  ~Redirect();
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;

 private:
  Recording* saved_;
};

// Sets where this thread's console goes (nullptr: the console itself) and
// returns what it was: for code that switches between pieces of work on one
// thread, each with its own Redirect.
Recording* exchange_recording(Recording* r);

}  // namespace sitedrain::console
