// Running the built program in a temporary folder, for end-to-end tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <system_error>

namespace sitedrain::testing {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string console;  // standard output and standard error
};

inline std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const fs::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

// A fresh empty folder under the system's temporary folder.
inline fs::path make_temp_dir(const std::string& tag) {
  static std::atomic<int> counter{0};
  fs::path dir =
      fs::temp_directory_path() /
      ("sitedrain_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// A fresh empty folder that is removed, with everything in it, when it goes
// out of scope (a test that fails half-way leaves nothing behind either).
struct TempDir : fs::path {
  explicit TempDir(const std::string& tag) : fs::path(make_temp_dir(tag)) {}
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(*this, ignored);
  }
};

// Runs the program in dir, with stdin_text as keyboard input.
inline RunResult run_program(const fs::path& dir, const std::string& stdin_text = "") {
  write_file(dir / ".stdin", stdin_text);
  std::string cmd = "cd '" + dir.string() + "' && '" SITEDRAIN_EXE "' < .stdin > .console 2>&1";
  int raw = std::system(cmd.c_str());
  RunResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / ".console")};
  fs::remove(dir / ".stdin");
  fs::remove(dir / ".console");
  return r;
}

// Runs `run` (the program called in-process) in a forked child in dir, its
// console to dir/console.out and no keyboard input; the child's exit status.
inline int run_in_child(const fs::path& dir, const std::function<int()>& run) {
  std::fflush(stdout);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0 || !std::freopen("console.out", "w", stdout) ||
        !std::freopen("/dev/null", "r", stdin))
      ::_exit(98);
    const int status = run();
    std::fflush(stdout);
    ::_exit(status);
  }
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The text with every occurrence of from replaced by to.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// Copies every regular file of a folder into another (not recursive).
inline void copy_files(const fs::path& from, const fs::path& to) {
  for (const auto& e : fs::directory_iterator(from))
    if (e.is_regular_file())
      fs::copy_file(e.path(), to / e.path().filename(), fs::copy_options::overwrite_existing);
}

// The folder of a bundled test case under tests/cases.
inline fs::path case_dir(const std::string& name) {
  return fs::path(SITEDRAIN_TEST_CASES) / name;
}

}  // namespace sitedrain::testing
