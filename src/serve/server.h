// The local web server of `sitedrain serve`: the pages of the cases, their
// forms, runs and results, behind the session guard, on 127.0.0.1 only.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace sitedrain::serve {

// Limits of requests (a slow or broken client cannot hold the server).
inline constexpr std::size_t kUploadMaxBytes = 20u * 1000u * 1000u;           // a descriptor file
inline constexpr std::size_t kBodyMaxBytes = kUploadMaxBytes + 256u * 1024u;  // with the form
inline constexpr int kReadTimeoutS = 10;      // each read of a request
inline constexpr int kWriteTimeoutS = 10;     // each write of a response
inline constexpr int kKeepAliveTimeoutS = 5;  // an idle kept-alive connection
inline constexpr int kRequestThreads = 32;    // requests served at once

struct ServerConfig {
  std::filesystem::path workspace;  // absolute
  std::filesystem::path program;    // the executable each run starts
  int threads = 0;                  // --threads of each run; 0: none given
  unsigned max_runs = 0;            // runs at once; 0: the machine's cores
};

class Server {
 public:
  explicit Server(ServerConfig config);
  ~Server();  // ends every run
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds 127.0.0.1:port (0: any free port); false when it cannot.
  bool bind(int port);
  int port() const;
  // The address to open, with the session token.
  std::string address() const;
  // Serves until stop().
  void serve();
  // Ends serve(); safe from any thread.
  void stop();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace sitedrain::serve
