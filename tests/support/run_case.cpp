#include "support/run_case.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sitedrain::testing {

namespace fs = std::filesystem;

fs::path make_temp_dir(const std::string& tag) {
  static std::atomic<int> counter{0};
  fs::path dir = fs::temp_directory_path() /
                 ("sitedrain_" + tag + "_" + std::to_string(::getpid()) + "_" +
                  std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

RunResult run_program(const fs::path& dir, const std::string& stdin_text) {
  fs::path input = dir / ".stdin";
  fs::path output = dir / ".console";
  write_file(input, stdin_text);
  std::string cmd = "cd '" + dir.string() + "' && '" SITEDRAIN_EXE "' < .stdin > .console 2>&1";
  int raw = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.console = read_file(output);
  fs::remove(input);
  fs::remove(output);
  return r;
}

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

void copy_files(const fs::path& from, const fs::path& to) {
  for (const auto& e : fs::directory_iterator(from))
    if (e.is_regular_file())
      fs::copy_file(e.path(), to / e.path().filename(), fs::copy_options::overwrite_existing);
}

fs::path case_dir(const std::string& name) { return fs::path(SITEDRAIN_TEST_CASES) / name; }

}  // namespace sitedrain::testing
