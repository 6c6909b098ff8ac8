#include "cli/progress_line.h"

#include <chrono>
#include <cstdio>

#include "textio/console.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace sitedrain::cli {

namespace {

// h:mm:ss, or m:ss under an hour.
std::string clock_text(double seconds) {
  const long long s = seconds < 0 ? 0 : static_cast<long long>(seconds + 0.5);
  char buf[32];
  if (s >= 3600)
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 60, s % 60);
  return buf;
}

}  // namespace

ProgressLine::ProgressLine(Terminal terminal, Clock clock)
    : terminal_(std::move(terminal)), clock_(std::move(clock)) {}

std::string ProgressLine::text(long long done, long long total, double elapsed) {
  const long long percent = total > 0 ? done * 100 / total : 100;
  std::string t = "storms " + std::to_string(done) + " of " + std::to_string(total) + "  " +
                  std::to_string(percent) + "%  elapsed " + clock_text(elapsed) + "  left ";
  if (done > 0 && done <= total)
    t += clock_text(elapsed * static_cast<double>(total - done) / static_cast<double>(done));
  else
    t += "-:--";
  return t;
}

void ProgressLine::start() {
  std::lock_guard<std::mutex> lock(mutex_);
  started_ = clock_();
  drawn_at_ = -1.0;
  active_ = true;
}

void ProgressLine::update(long long done, long long total) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!active_) return;
  const double now = clock_();
  if (drawn_at_ >= 0.0 && now - drawn_at_ < 0.1) return;
  const std::string t = text(done, total, now - started_);
  // Blanks over a longer old text, then back to the end of the new one.
  std::string out = "\r" + t;
  if (t.size() < shown_) {
    out += std::string(shown_ - t.size(), ' ');
    out += "\r" + t;
  }
  terminal_(out);
  shown_ = t.size();
  drawn_at_ = now;
}

void ProgressLine::erase_locked() {
  if (shown_ == 0) return;
  terminal_("\r" + std::string(shown_, ' ') + "\r");
  shown_ = 0;
  drawn_at_ = -1.0;
}

void ProgressLine::erase() {
  std::lock_guard<std::mutex> lock(mutex_);
  erase_locked();
}

void ProgressLine::finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  erase_locked();
  active_ = false;
}

bool stderr_is_terminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

namespace {
ConsoleProgress* current = nullptr;
void erase_current() {
  if (current) current->line().erase();
}
}  // namespace

ConsoleProgress::ConsoleProgress()
    : line_(
          [](std::string_view s) {
            std::fwrite(s.data(), 1, s.size(), stderr);
            std::fflush(stderr);
          },
          [] {
            using namespace std::chrono;
            return duration<double>(steady_clock::now().time_since_epoch()).count();
          }) {}

std::unique_ptr<ConsoleProgress> ConsoleProgress::on_terminal() {
  if (!stderr_is_terminal()) return nullptr;
  std::unique_ptr<ConsoleProgress> p(new ConsoleProgress());
  p->line_.start();
  current = p.get();
  console::set_before_output(&erase_current);
  return p;
}

ConsoleProgress::~ConsoleProgress() {
  line_.finish();
  console::set_before_output(nullptr);
  current = nullptr;
}

}  // namespace sitedrain::cli
