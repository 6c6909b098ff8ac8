#include "textio/console.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <utility>

#include "textio/stop.h"

namespace sitedrain::console {

namespace {
std::mutex console_mutex;
thread_local Recording* recording = nullptr;
std::atomic<void (*)()> before_output{nullptr};
std::atomic<bool> raw_write_failed{false};
std::atomic<LineObserver*> line_observer{nullptr};

void call_before_output() {
  if (auto hook = before_output.load()) hook();
}

void write_raw(std::string_view text) {
  std::lock_guard<std::mutex> lock(console_mutex);
  if (!text.empty()) call_before_output();
  if (text.size() < (1u << 16)) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  // A large block (a storm's loss-model lines) goes straight to the file.
  std::fflush(stdout);
  const int fd = fileno(stdout);
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      raw_write_failed = true;  // the console is gone: told at the end
      return;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

void read_line() {
  flush();
  for (;;) {
    int c = std::fgetc(stdin);
    if (c == EOF || c == '\n') break;
  }
}
}  // namespace

void Recording::reserve(std::size_t bytes) {
  text_.reserve(bytes);
}

void Recording::line(std::string_view text) {
  text_ += text;
  text_ += '\n';
}

void Recording::pause() {
  marks_.push_back({text_.size(), nullptr});
}

void Recording::append(std::shared_ptr<const Recording> other) {
  if (other && !other->empty()) marks_.push_back({text_.size(), std::move(other)});
}

namespace {

// Each line of replayed text to the observer, if any.
void observe_text(std::string_view text) {
  LineObserver* o = line_observer.load();
  if (!o) return;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    o->seen(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

void Recording::replay() const {
  std::size_t done = 0;
  for (const Mark& m : marks_) {
    write_raw(std::string_view(text_).substr(done, m.at - done));
    observe_text(std::string_view(text_).substr(done, m.at - done));
    done = m.at;
    if (m.nested)
      m.nested->replay();
    else
      read_line();
  }
  write_raw(std::string_view(text_).substr(done));
  observe_text(std::string_view(text_).substr(done));
}

Redirect::Redirect(Recording& r) : saved_(recording) {
  recording = &r;
}
Redirect::~Redirect() {
  recording = saved_;
}

Recording* exchange_recording(Recording* r) {
  Recording* was = recording;
  recording = r;
  return was;
}

void show(std::shared_ptr<const Recording> r) {
  if (recording)
    recording->append(std::move(r));
  else if (r)
    r->replay();
}

void line(std::string_view text) {
  if (recording) {
    recording->line(text);
    return;
  }
  std::lock_guard<std::mutex> lock(console_mutex);
  call_before_output();
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  if (LineObserver* o = line_observer.load()) o->seen(text);
}

LineObserver* observe_lines(LineObserver* observer) {
  return line_observer.exchange(observer);
}

void set_before_output(void (*hook)()) {
  before_output.store(hook);
}

void flush() {
  std::lock_guard<std::mutex> lock(console_mutex);
  std::fflush(stdout);
}

bool output_failed() {
  std::lock_guard<std::mutex> lock(console_mutex);
  return std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || raw_write_failed;
}

FlushTicker::FlushTicker()
    : FlushTicker(std::chrono::milliseconds(900), Clock::now, console::flush) {}

FlushTicker::FlushTicker(Clock::duration period, std::function<Clock::time_point()> now,
                         std::function<void()> flush, bool start)
    : period_(period), now_(std::move(now)), flush_(std::move(flush)), last_(now_()) {
  if (!start) return;
  // Looks ten times a period, so no flush comes later than 1.1 periods after
  // the one before (0.99 s for the program's 0.9 s).
  thread_ = std::thread([this] {
    std::unique_lock<std::mutex> lock(m_);
    while (!wake_.wait_for(lock, period_ / 10, [this] { return stopping_; })) poll();
  });
}

FlushTicker::~FlushTicker() {
  {
    std::lock_guard<std::mutex> lock(m_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool FlushTicker::poll() {
  const Clock::time_point t = now_();
  if (t - last_ < period_) return false;
  flush_();
  last_ = t;
  return true;
}

void pause() {
  if (recording) {
    recording->pause();
    return;
  }
  read_line();
}

void pause_with(std::string_view message) {
  line(message);
  pause();
}

void stop_after_keypress(std::string_view message) {
  line(message);
  line("Type any letter to stop the program");
  pause();
  stop(1);
}

void stop_after_keypress(std::string_view message, std::string_view detail) {
  line(message);
  if (!recording) {
    flush();  // the message first, on the same terminal or file
    std::fprintf(stderr, "%.*s\n", static_cast<int>(detail.size()), detail.data());
  }
  line("Type any letter to stop the program");
  pause();
  stop(1);
}

void stop_with(std::string_view message) {
  line(message);
  stop(1);
}

}  // namespace sitedrain::console
