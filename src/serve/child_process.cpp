#include "serve/child_process.h"

#include <mutex>
#include <stdexcept>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace sitedrain::serve {

namespace fs = std::filesystem;

#ifdef _WIN32

fs::path own_executable() {
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return fs::path(buffer);
}

namespace {

// The exit code of a child ended by kill().
constexpr UINT kKilledExitCode = 0xC000013Au;  // as Ctrl-C ends a console program

// One argument quoted as the C runtime splits a command line.
std::wstring quoted_argument(const std::wstring& a) {
  if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos) return a;
  std::wstring q = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : a) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    if (c == L'"')
      q.append(slashes * 2 + 1, L'\\');
    else
      q.append(slashes, L'\\');
    slashes = 0;
    q += c;
  }
  q.append(slashes * 2, L'\\');
  return q + L"\"";
}

}  // namespace

struct ChildProcess::Impl {
  HANDLE process = nullptr;
  HANDLE job = nullptr;
  DWORD id = 0;
  std::mutex mutex;
  bool ended = false;
};

ChildProcess::ChildProcess(const fs::path& program, const std::vector<std::string>& args,
                           const fs::path& work_dir, const fs::path& console_file)
    : impl_(std::make_unique<Impl>()) {
  std::wstring command = quoted_argument(program.wstring());
  for (const std::string& a : args) command += L" " + quoted_argument(fs::path(a).wstring());
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE out = CreateFileW(console_file.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE || in == INVALID_HANDLE_VALUE) {
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    throw std::runtime_error("cannot create " + console_file.string());
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi{};
  impl_->job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (impl_->job)
    SetInformationJobObject(impl_->job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                      CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr,
                                      work_dir.wstring().c_str(), &si, &pi);
  CloseHandle(out);
  CloseHandle(in);
  if (!started) {
    if (impl_->job) CloseHandle(impl_->job);
    throw std::runtime_error("cannot start " + program.string() + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
  if (impl_->job) AssignProcessToJobObject(impl_->job, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  impl_->process = pi.hProcess;
  impl_->id = pi.dwProcessId;
}

ChildProcess::~ChildProcess() {
  kill();
  wait();
  CloseHandle(impl_->process);
  if (impl_->job) CloseHandle(impl_->job);
}

int ChildProcess::wait() {
  WaitForSingleObject(impl_->process, INFINITE);
  std::lock_guard lock(impl_->mutex);
  impl_->ended = true;
  DWORD code = 0;
  if (!GetExitCodeProcess(impl_->process, &code)) return -1;
  return code == static_cast<DWORD>(kKilledExitCode) ? -1 : static_cast<int>(code);
}

void ChildProcess::kill() {
  std::lock_guard lock(impl_->mutex);
  if (!impl_->ended) TerminateProcess(impl_->process, kKilledExitCode);
}

long ChildProcess::id() const {
  return static_cast<long>(impl_->id);
}

#else

fs::path own_executable() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : p;
}

struct ChildProcess::Impl {
  pid_t pid = -1;
  std::mutex mutex;
  bool reaped = false;
};

ChildProcess::ChildProcess(const fs::path& program, const std::vector<std::string>& args,
                           const fs::path& work_dir, const fs::path& console_file)
    : impl_(std::make_unique<Impl>()) {
  // Everything the child needs is made before the fork: between fork and
  // exec only system calls are made.
  std::vector<std::string> words{program.string()};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string dir = work_dir.string();
  const int out = ::open(console_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (out < 0 || in < 0) {
    if (out >= 0) ::close(out);
    if (in >= 0) ::close(in);
    throw std::runtime_error("cannot create " + console_file.string() + ": " +
                             std::strerror(errno));
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    sigset_t none;  // the server's blocked signals are not the run's
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    for (int fd = 3; fd < 1024; ++fd) ::close(fd);  // the server's sockets stay with it
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out);
  ::close(in);
  if (pid < 0) throw std::runtime_error(std::string("cannot start a run: ") + std::strerror(errno));
  impl_->pid = pid;
}

ChildProcess::~ChildProcess() {
  kill();
  wait();
}

int ChildProcess::wait() {
  {
    std::lock_guard lock(impl_->mutex);
    if (impl_->reaped) return -1;
  }
  // The ended child stays a zombie (its id not reused) until it is reaped
  // under the lock, so kill() never reaches another process.
  siginfo_t info{};
  int r;
  do {
    r = ::waitid(P_PID, static_cast<id_t>(impl_->pid), &info, WEXITED | WNOWAIT);
  } while (r < 0 && errno == EINTR);
  std::lock_guard lock(impl_->mutex);
  int status = 0;
  const pid_t reaped = ::waitpid(impl_->pid, &status, 0);
  impl_->reaped = true;
  return reaped == impl_->pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::kill() {
  std::lock_guard lock(impl_->mutex);
  if (!impl_->reaped) ::kill(impl_->pid, SIGKILL);
}

long ChildProcess::id() const {
  return static_cast<long>(impl_->pid);
}

#endif

}  // namespace sitedrain::serve
