// `sitedrain serve` started for a test: the real program on a free port of
// 127.0.0.1 with a workspace of its own, its address read from its first
// line, a client of the HTTP library with the session's cookie, and the
// children of the server looked up in /proc.
#pragma once

#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <regex>
#include <thread>
#include <vector>

#include "support/run_case.h"

namespace sitedrain::testing {

class ServeProcess {
 public:
  // Starts the server on workspace with the extra arguments; waits for its
  // address line.
  explicit ServeProcess(const fs::path& workspace, std::vector<std::string> extra = {}) {
    int out[2];
    if (::pipe(out) != 0) return;
    std::vector<std::string> words{SITEDRAIN_EXE, "serve",       "--port",
                                   "0",           "--workspace", workspace.string()};
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::close(out[0]);
      ::close(out[1]);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    // The first line: "sitedrain: open http://127.0.0.1:PORT/?token=T".
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    pipe_ = out[0];
    std::smatch m;
    if (std::regex_search(line, m,
                          std::regex("http://127\\.0\\.0\\.1:([0-9]+)/\\?token=([0-9a-f]+)"))) {
      port_ = std::stoi(m[1]);
      token_ = m[2];
    }
  }
  ~ServeProcess() {
    stop();
    if (pipe_ >= 0) ::close(pipe_);
  }

  bool started() const { return port_ > 0; }
  int port() const { return port_; }
  const std::string& token() const { return token_; }
  pid_t pid() const { return pid_; }

  // A client that has been given the session cookie (as the browser after
  // opening the printed address).
  std::unique_ptr<httplib::Client> client() const {
    auto c = bare_client();
    c->set_default_headers({{"Cookie", "sitedrain_session=" + token_}});
    return c;
  }
  // A client without the cookie.
  std::unique_ptr<httplib::Client> bare_client() const {
    auto c = std::make_unique<httplib::Client>("127.0.0.1", port_);
    c->set_read_timeout(60, 0);
    return c;
  }

  // True while the server process lives.
  bool alive() {
    if (pid_ <= 0 || exited_) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return false;
    }
    return true;
  }
  // Ends the server as Ctrl-C does; its exit status.
  int stop() {
    if (pid_ > 0 && alive()) {
      ::kill(pid_, SIGINT);
      int status = 0;
      for (int i = 0; i < 300 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (::waitpid(pid_, &status, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
      }
      exited_ = true;
      exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return exit_status_;
  }

 private:
  pid_t pid_ = -1;
  int pipe_ = -1;
  int port_ = 0;
  std::string token_;
  bool exited_ = false;
  int exit_status_ = -1;
};

// The processes whose parent is pid (from /proc).
inline std::vector<pid_t> children_of(pid_t pid) {
  std::vector<pid_t> kids;
  for (const auto& e : fs::directory_iterator("/proc")) {
    const std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = read_file(e.path() / "stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    int ppid = 0;
    char state = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == pid)
      kids.push_back(static_cast<pid_t>(std::stoi(name)));
  }
  return kids;
}

// The processes whose command line mentions text (a test's own folder).
inline std::vector<pid_t> processes_mentioning(const std::string& text) {
  std::vector<pid_t> found;
  for (const auto& e : fs::directory_iterator("/proc")) {
    const std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string cmd = read_file(e.path() / "cmdline");
    for (char& c : cmd)
      if (c == '\0') c = ' ';
    if (cmd.find(text) != std::string::npos && std::stoi(name) != ::getpid())
      found.push_back(static_cast<pid_t>(std::stoi(name)));
  }
  return found;
}

// The form token of a page (the value of its hidden "csrf" field).
inline std::string form_token_of(const std::string& page) {
  std::smatch m;
  if (std::regex_search(page, m, std::regex("name=\"csrf\" value=\"([0-9a-f]+)\""))) return m[1];
  return "";
}

}  // namespace sitedrain::testing
