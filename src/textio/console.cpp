#include "textio/console.h"

#include <cstdio>
#include <mutex>

#include "textio/stop.h"

namespace sitedrain::console {

namespace {
std::mutex console_mutex;
}

void line(std::string_view text) {
  std::lock_guard<std::mutex> lock(console_mutex);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

void flush() {
  std::lock_guard<std::mutex> lock(console_mutex);
  std::fflush(stdout);
}

void pause() {
  flush();
  for (;;) {
    int c = std::fgetc(stdin);
    if (c == EOF || c == '\n') break;
  }
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
