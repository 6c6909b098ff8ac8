// Running the built program in a temporary folder, for end-to-end tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
  fs::path dir = fs::temp_directory_path() / ("sitedrain_" + tag + "_" +
                                              std::to_string(::getpid()) + "_" +
                                              std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

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

// Copies every regular file of a folder into another (not recursive).
inline void copy_files(const fs::path& from, const fs::path& to) {
  for (const auto& e : fs::directory_iterator(from))
    if (e.is_regular_file())
      fs::copy_file(e.path(), to / e.path().filename(), fs::copy_options::overwrite_existing);
}

// The folder of a bundled test case under tests/cases.
inline fs::path case_dir(const std::string& name) { return fs::path(SITEDRAIN_TEST_CASES) / name; }

}  // namespace sitedrain::testing
