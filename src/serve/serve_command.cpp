// The command `sitedrain serve`: the server started on 127.0.0.1, its
// address printed, the browser opened when asked, served until Ctrl-C.
#include <cstdio>
#include <system_error>
#include <thread>

#include "cli/command_line.h"
#include "serve/child_process.h"
#include "serve/serve_options.h"
#include "serve/server.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// after windows.h
#include <shellapi.h>
#else
#include <pthread.h>
#include <signal.h>
#endif

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

// Opens the address in the system's browser; a failure only leaves the
// address to be opened by hand.
void open_in_browser(const std::string& address) {
#ifdef _WIN32
  const std::wstring wide(address.begin(), address.end());
  ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
#else
  try {
    // Started and left: the browser may live on after the server.
    ChildProcess opener("/usr/bin/xdg-open", {address}, fs::temp_directory_path(), "/dev/null");
    opener.wait();
  } catch (const std::exception&) {
  }
#endif
}

#ifdef _WIN32
Server* g_server = nullptr;
BOOL WINAPI on_console_signal(DWORD) {
  if (g_server) g_server->stop();
  return TRUE;
}
#endif

}  // namespace

int serve_command(std::span<const std::string_view> args) {
  ServeOptions options;
  try {
    std::error_code ec;
    options = parse_serve_options(args, fs::current_path(ec));
  } catch (const cli::UsageError& e) {
    std::fprintf(stderr, "sitedrain: %s\n%s", e.what(), serve_usage_text().c_str());
    return 2;
  }
#ifndef _WIN32
  // Ctrl-C and a plain kill end the server in order (its runs too): the
  // signals wait for one thread, blocked in all others.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
#endif
  ServerConfig config;
  config.workspace = options.workspace;
  config.program = own_executable();
  config.threads = options.threads;
  Server server(config);
  if (!server.bind(options.port)) {
    std::fprintf(stderr,
                 "sitedrain: cannot listen on 127.0.0.1:%d: the port is in use (another program, "
                 "or sitedrain serve running already); choose another with --port N\n",
                 options.port);
    return 1;
  }
  std::printf("sitedrain: open %s\n", server.address().c_str());
  std::printf("sitedrain: serving the cases of %s; Ctrl-C stops\n",
              options.workspace.string().c_str());
  std::fflush(stdout);
  if (options.open_browser) open_in_browser(server.address());
#ifdef _WIN32
  g_server = &server;
  SetConsoleCtrlHandler(on_console_signal, TRUE);
  server.serve();
  SetConsoleCtrlHandler(on_console_signal, FALSE);
  g_server = nullptr;
#else
  std::thread waiter([&] {
    int signal = 0;
    sigwait(&stop_signals, &signal);
    server.stop();
  });
  server.serve();
  // serve() ends only through the waiter (or a failure): make sure it ends.
  pthread_kill(waiter.native_handle(), SIGTERM);
  waiter.join();
#endif
  std::printf("sitedrain: stopped\n");
  return 0;
}

}  // namespace sitedrain::serve
