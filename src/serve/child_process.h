// A child process of the server: the program itself started on a case, its
// standard input empty and its standard output and error into one file.
// The child cannot outlive the server: on Linux it is killed when the
// server's thread that started it ends (the parent-death signal), on
// Windows it belongs to a job object that is closed with the server.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace sitedrain::serve {

// The running program's own executable.
std::filesystem::path own_executable();

class ChildProcess {
 public:
  // Starts program with args (after the program's name) in the folder
  // work_dir, standard output and error written to console_file (created
  // or truncated).  Throws std::runtime_error with the reason when it
  // cannot start.
  ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& work_dir, const std::filesystem::path& console_file);
  ~ChildProcess();  // kills and reaps the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits for the end of the child; its exit status (a signal or a kill
  // gives -1).  Called by one thread only.
  int wait();
  // Ends the child at once; no effect once it has ended.  Any thread.
  void kill();
  // The system's process id.
  long id() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sitedrain::serve
