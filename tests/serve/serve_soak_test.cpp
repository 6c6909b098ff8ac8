// The server under a bounded mixed load on loopback: 200 requests (20 of
// them refused), 5 runs started and 2 of them cancelled while the requests
// come in.  No crash, no child process left, and the finished runs' outputs
// are the command line's, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "serve_test_case.h"

namespace sitedrain::testing {
namespace {

struct Probe {
  std::string path;  // GET
  int status;
  bool refusal;
};

TEST(ServeSoak, MixedRequestsWhileRunsStartAndAreCancelled) {
  // The server's runs and their command-line twins below carry one run date,
  // whatever minute each finishes in.
  ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  const fs::path ws = make_workspace("serve_soak");
  const std::string descriptor = (kExampleCase / "cd_Hexham_2023_v2.csv").string();
  for (int k = 0; k < 5; ++k) {
    const std::string name = "c" + std::to_string(k);
    ASSERT_EQ(run_command_in(ws, "new --descriptor '" + descriptor + "' " + name).status, 0);
    if (k >= 3) {  // long enough to be cancelled while it runs or waits
      std::string text = read_file(ws / name / "site.toml");
      text = std::regex_replace(text, std::regex("\ndurations_min = [^\n]*"),
                                "\ndurations_min = { from = 60, to = 2880, step = 30 }");
      text = std::regex_replace(text, std::regex("\nreturn_periods_years = [^\n]*"),
                                "\nreturn_periods_years = { from = 1, to = 100, step = 1 }");
      write_file(ws / name / "site.toml", text);
    }
  }
  ServeProcess server(ws, {"--threads", "1"});
  ASSERT_TRUE(server.started());
  auto c = server.client();
  const std::string csrf = form_token_of(c->Get("/")->body);
  const auto post = [&](const std::string& path, const std::string& body) {
    return c->Post(path.c_str(), body, "application/x-www-form-urlencoded");
  };
  for (int k = 0; k < 5; ++k)
    ASSERT_EQ(post("/run", "csrf=" + csrf + "&case=c" + std::to_string(k))->status, 303) << k;

  const std::vector<Probe> probes{
      {"/", 200, false},
      {"/edit?case=c1", 200, false},
      {"/progress?case=c0", 200, false},
      {"/results?case=c2", 200, false},
      {"/run?case=c3", 200, false},
      {"/static/style.css", 200, false},
      {"/file?case=c0&name=site.toml", 404, true},
      {"/edit?case=..%2Fc0", 400, true},
      {"/new", 405, true},
  };
  httplib::Client stranger("127.0.0.1", server.port());  // without the session
  for (int i = 0; i < 200; ++i) {
    if (i % 10 == 9) {  // a refusal: no session, or one of the probes that are refused
      const Probe& p = probes[6 + (i / 20) % 3];
      const auto r = (i / 10) % 2 ? stranger.Get("/") : c->Get(p.path.c_str());
      ASSERT_TRUE(r) << i;
      EXPECT_EQ(r->status, (i / 10) % 2 ? 403 : p.status) << i;
      continue;
    }
    if (i == 60 || i == 120) {
      const std::string name = i == 60 ? "c3" : "c4";
      const auto r = post("/cancel", "csrf=" + csrf + "&case=" + name);
      ASSERT_TRUE(r) << i;
      EXPECT_EQ(r->status, 303);
      continue;
    }
    const Probe& p = probes[static_cast<std::size_t>(i) % 6];
    const auto r = c->Get(p.path.c_str());
    ASSERT_TRUE(r) << i << " " << p.path;
    EXPECT_EQ(r->status, p.status) << p.path;
  }

  for (int k = 0; k < 5; ++k) {
    const std::string name = "c" + std::to_string(k);
    const std::string last = wait_for_run(*c, name, 600);
    EXPECT_NE(last.find(k < 3 ? "\"finished\"" : "\"cancelled\""), std::string::npos)
        << name << last;
  }
  EXPECT_TRUE(server.alive());
  EXPECT_TRUE(children_of(server.pid()).empty());

  // The finished runs against the command line's.
  for (int k = 0; k < 3; ++k) {
    const fs::path dir = ws / ("c" + std::to_string(k));
    const TempDir twin("serve_soak_twin");
    fs::copy_file(dir / "site.toml", twin / "site.toml");
    fs::copy_file(dir / "cd_Hexham_2023_v2.csv", twin / "cd_Hexham_2023_v2.csv");
    ASSERT_EQ(run_command_in(twin, "--threads 1 --report report.html --csv csv .").status, 0);
    for (const auto& e : fs::recursive_directory_iterator(twin)) {
      if (!e.is_regular_file() || e.path().filename() == "site.toml") continue;
      const fs::path rel = fs::relative(e.path(), twin);
      EXPECT_EQ(read_file(dir / rel), read_file(e.path())) << dir << " " << rel;
    }
  }
  EXPECT_EQ(server.stop(), 0);
  EXPECT_TRUE(processes_mentioning(ws.string()).empty());
}

}  // namespace
}  // namespace sitedrain::testing
