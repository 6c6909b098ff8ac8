// Running the built program with arguments, standard output and standard
// error kept apart; a folder's entries, by name or with their contents.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <string>

#include "support/run_case.h"

namespace sitedrain::testing {

struct CommandResult {
  int status = -1;
  std::string out, err;
};

// Runs `sitedrain ARGS` in dir (args as shell words), no keyboard input.
inline CommandResult run_command_in(const fs::path& dir, const std::string& args) {
  const fs::path out = fs::temp_directory_path() / ("sitedrain_out_" + std::to_string(::getpid()));
  const fs::path err = fs::temp_directory_path() / ("sitedrain_err_" + std::to_string(::getpid()));
  const std::string cmd = "cd '" + dir.string() + "' && '" SITEDRAIN_EXE "' " + args +
                          " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(cmd.c_str());
  CommandResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(out), read_file(err)};
  fs::remove(out);
  fs::remove(err);
  return r;
}

// The names of the entries of a folder and its subfolders, sorted.
inline std::string listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    names.push_back(fs::relative(e.path(), dir).string());
  std::sort(names.begin(), names.end());
  std::string s;
  for (const auto& n : names) s += n + "\n";
  return s;
}

// Every entry below dir: a link's target, a FIFO, a folder, or a file's bytes.
inline std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> tree;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    const std::string name = fs::relative(e.path(), dir).string();
    if (e.is_symlink())
      tree[name] = "link " + fs::read_symlink(e.path()).string();
    else if (e.is_fifo())
      tree[name] = "fifo";
    else if (e.is_directory())
      tree[name] = "folder";
    else
      tree[name] = "file " + read_file(e.path());
  }
  return tree;
}

}  // namespace sitedrain::testing
