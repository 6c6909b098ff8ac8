#include "textio/console.h"

#include <cstdio>
#include <mutex>

#include "textio/stop.h"

namespace sitedrain::console {

namespace {
std::mutex console_mutex;
thread_local Recording* recording = nullptr;

void write_raw(std::string_view text) {
  std::lock_guard<std::mutex> lock(console_mutex);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void read_line() {
  flush();
  for (;;) {
    int c = std::fgetc(stdin);
    if (c == EOF || c == '\n') break;
  }
}
}  // namespace

void Recording::line(std::string_view text) {
  text_ += text;
  text_ += '\n';
}

void Recording::pause() { marks_.push_back({text_.size(), nullptr}); }

void Recording::append(std::shared_ptr<const Recording> other) {
  if (other && !other->empty()) marks_.push_back({text_.size(), std::move(other)});
}

void Recording::replay() const {
  std::size_t done = 0;
  for (const Mark& m : marks_) {
    write_raw(std::string_view(text_).substr(done, m.at - done));
    done = m.at;
    if (m.nested)
      m.nested->replay();
    else
      read_line();
  }
  write_raw(std::string_view(text_).substr(done));
}

Redirect::Redirect(Recording& r) : saved_(recording) { recording = &r; }
Redirect::~Redirect() { recording = saved_; }

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
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

void flush() {
  std::lock_guard<std::mutex> lock(console_mutex);
  std::fflush(stdout);
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

void stop_with(std::string_view message) {
  line(message);
  stop(1);
}

}  // namespace sitedrain::console
