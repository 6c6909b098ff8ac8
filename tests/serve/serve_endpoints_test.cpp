// The server's endpoints through the HTTP library's client: every page,
// save, run, progress, cancel, results, zip; and every refusal with its
// status, the server answering after each.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "serve_test_case.h"

namespace sitedrain::testing {
namespace {

// A connection to the server on 127.0.0.1.
int connect_to(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(s);
    return -1;
  }
  return s;
}

// Sends a request as it is and returns the status of the answer.
int raw_status(int port, const std::string& head, const std::string& body) {
  const int s = connect_to(port);
  if (s < 0) return -1;
  std::string all = head + body;
  for (std::size_t at = 0; at < all.size();) {
    const ssize_t n = ::send(s, all.data() + at, all.size() - at, MSG_NOSIGNAL);
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  char answer[64] = {};
  const ssize_t n = ::recv(s, answer, sizeof answer - 1, 0);
  ::close(s);
  return n > 12 ? std::atoi(answer + 9) : -1;
}

struct Refused {
  const char* what;
  std::string method, path;
  httplib::Headers headers;
  std::string body;
  int status;
};

TEST(ServeEndpoints, EveryRefusalHasItsStatusAndTheServerAnswersAfterIt) {
  const fs::path ws = make_workspace("serve_refusals");
  ServeProcess server(ws);
  ASSERT_TRUE(server.started());
  auto c = server.client();
  const auto home = c->Get("/");
  ASSERT_TRUE(home);
  ASSERT_EQ(home->status, 200);
  EXPECT_NE(home->body.find("legacy"), std::string::npos);
  EXPECT_NE(home->body.find("Hexham"), std::string::npos);
  const std::string csrf = form_token_of(home->body);
  ASSERT_FALSE(csrf.empty());

  // The printed address sets the cookie and leaves the token out of the bar.
  const auto first = server.bare_client()->Get(("/?token=" + server.token()).c_str());
  ASSERT_TRUE(first);
  EXPECT_EQ(first->status, 303);
  EXPECT_EQ(first->get_header_value("Location"), "/");
  const std::string cookie = first->get_header_value("Set-Cookie");
  EXPECT_NE(cookie.find("sitedrain_session=" + server.token()), std::string::npos);
  EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
  EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
  // A path that would make a header of its own, or lead off the server: to the cases.
  for (const char* path : {"/%0d%0aX-Injected:%201", "//elsewhere.example/"}) {
    const auto odd =
        server.bare_client()->Get((std::string(path) + "?token=" + server.token()).c_str());
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->get_header_value("Location"), "/") << path;
    EXPECT_FALSE(odd->has_header("X-Injected"));
  }

  const std::string port = std::to_string(server.port());
  const std::vector<Refused> refusals{
      {"no session", "GET", "/", {{"Cookie", ""}}, "", 403},
      {"wrong session", "GET", "/", {{"Cookie", "sitedrain_session=0123"}}, "", 403},
      {"wrong token in the address", "GET", "/?token=0123", {{"Cookie", ""}}, "", 403},
      {"foreign host name", "GET", "/", {{"Host", "rebind.example:" + port}}, "", 403},
      {"other port", "GET", "/", {{"Host", "127.0.0.1:1"}}, "", 403},
      {"no form token", "POST", "/run", {}, "case=site", 403},
      {"wrong form token", "POST", "/run", {}, "case=site&csrf=0123", 403},
      {"change by GET", "GET", "/new?name=x&csrf=" + csrf, {}, "", 405},
      {"dot dot", "GET", "/edit?case=..", {}, "", 400},
      {"slash", "GET", "/edit?case=a%2Fb", {}, "", 400},
      {"backslash", "GET", "/results?case=a%5Cb", {}, "", 400},
      {"control character", "GET", "/run?case=a%01b", {}, "", 400},
      {"path in a post",
       "POST",
       "/duplicate",
       {},
       "csrf=" + csrf + "&case=site&name=..%2Fout",
       400},
      {"too long", "GET", "/edit?case=" + std::string(65, 'a'), {}, "", 400},
      {"longest", "GET", "/edit?case=" + std::string(64, 'a'), {}, "", 404},
      {"no name", "GET", "/edit?case=", {}, "", 400},
      {"space", "GET", "/edit?case=a%20b", {}, "", 400},
      {"letter beyond ASCII", "GET", "/edit?case=caf%C3%A9", {}, "", 400},
      {"not a case", "GET", "/edit?case=nosuch", {}, "", 404},
      {"input as output", "GET", "/file?case=legacy&name=PSnamel.nml", {}, "", 404},
      {"path as output", "GET", "/file?case=site&name=..%2F..%2Fetc%2Fpasswd", {}, "", 404},
  };
  for (const Refused& r : refusals) {
    SCOPED_TRACE(r.what);
    httplib::Headers headers = r.headers;
    if (headers.find("Cookie") == headers.end())
      headers.emplace("Cookie", "sitedrain_session=" + server.token());
    else if (headers.find("Cookie")->second.empty())
      headers.erase("Cookie");
    httplib::Client raw("127.0.0.1", server.port());
    const auto res = r.method == "GET" ? raw.Get(r.path.c_str(), headers)
                                       : raw.Post(r.path.c_str(), headers, r.body,
                                                  "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, r.status);
    const auto after = c->Get("/");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200);
  }

  // A body over the limit.
  const std::string big(serve::kBodyMaxBytes + 1000, 'x');
  EXPECT_EQ(
      raw_status(server.port(),
                 "POST /save HTTP/1.1\r\nHost: 127.0.0.1:" + port +
                     "\r\nCookie: sitedrain_session=" + server.token() +
                     "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                     std::to_string(big.size()) + "\r\n\r\n",
                 big),
      413);
  EXPECT_EQ(c->Get("/")->status, 200);

  // An upload over 20 MB in a body under the limit.
  httplib::MultipartFormDataItems items{
      {"csrf", csrf, "", ""},
      {"case", "site", "", ""},
      {"descriptor", std::string(serve::kUploadMaxBytes + 1, 'x'), "big.csv", "text/csv"}};
  const auto upload = c->Post("/save", items);
  ASSERT_TRUE(upload);
  EXPECT_EQ(upload->status, 413);

  // Clients that send a request slowly, more than the server serves at
  // once: they time out and the server answers the next one.
  std::vector<int> slow;
  for (int i = 0; i < serve::kRequestThreads + 8; ++i) {
    const int s = connect_to(server.port());
    ASSERT_GE(s, 0);
    const std::string part = "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + port + "\r\n";
    ASSERT_GT(::send(s, part.data(), part.size(), 0), 0);
    slow.push_back(s);
  }
  const auto answered = c->Get("/");
  ASSERT_TRUE(answered);
  EXPECT_EQ(answered->status, 200);
  for (int s : slow) ::close(s);

  // A second server on the same port: a clear message, exit 1.
  const CommandResult taken = run_command_in(ws, "serve --port " + port);
  EXPECT_EQ(taken.status, 1);
  EXPECT_NE(taken.err.find("127.0.0.1:" + port + ": the port is in use"), std::string::npos);
  EXPECT_TRUE(server.alive());
  EXPECT_EQ(server.stop(), 0);
}

TEST(ServeEndpoints, ACaseIsMadeSavedRunCancelledAndItsResultsServed) {
  const fs::path ws = make_workspace("serve_case");
  ServeProcess server(ws, {"--threads", "1"});
  ASSERT_TRUE(server.started());
  auto c = server.client();
  const std::string csrf = form_token_of(c->Get("/")->body);

  // New case, then the form saved with the example's descriptor uploaded.
  auto r = c->Post("/new", "csrf=" + csrf + "&name=made", "application/x-www-form-urlencoded");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 303);
  serve::FormValues form = serve::form_from_site_text(read_file(ws / "made" / "site.toml"));
  ASSERT_EQ(form.rows.size(), 2u);
  auto items = form_items(form, csrf, "made");
  items.push_back({"descriptor", read_file(kExampleCase / "cd_Hexham_2023_v2.csv"),
                   "cd_Hexham_2023_v2.csv", "text/csv"});
  r = c->Post("/save", items);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 303);
  EXPECT_EQ(read_file(ws / "made" / "cd_Hexham_descriptor.csv"),
            read_file(kExampleCase / "cd_Hexham_2023_v2.csv"));
  EXPECT_EQ(run_command_in(ws, "check made").status, 0);
  form.keys["descriptor_file"] = "cd_Hexham_descriptor.csv";

  // A bad value: the check's message beside its field, nothing runs.
  serve::FormValues bad = form;
  bad.keys["max_depth_m"] = "-1";
  ASSERT_EQ(c->Post("/save", form_items(bad, csrf, "made"))->status, 303);
  const std::string check =
      run_command_in(ws, "check made").out + run_command_in(ws, "check made").err;
  const std::string edit = c->Get("/edit?case=made")->body;
  const std::size_t field = edit.find("class=\"field bad\"><label for=\"f-max_depth_m\"");
  ASSERT_NE(field, std::string::npos) << edit;
  EXPECT_NE(edit.find("is out of range", field), std::string::npos);
  EXPECT_NE(check.find("max_depth_m: -1 is out of range"), std::string::npos);
  r = c->Post("/run", "csrf=" + csrf + "&case=made", "application/x-www-form-urlencoded");
  EXPECT_EQ(r->get_header_value("Location"), "/edit?case=made&check=1");

  // Rows added and removed in the form only.
  r = c->Post("/save", form_items(form, csrf, "made", "add_row"));
  EXPECT_NE(r->body.find("name=\"rows\" value=\"3\""), std::string::npos);
  r = c->Post("/save", form_items(form, csrf, "made", "remove_row:0"));
  EXPECT_NE(r->body.find("name=\"rows\" value=\"1\""), std::string::npos);

  // Saved right and run: the run page, its progress, the results.
  ASSERT_EQ(c->Post("/save", form_items(form, csrf, "made"))->status, 303);
  r = c->Post("/run", "csrf=" + csrf + "&case=made", "application/x-www-form-urlencoded");
  EXPECT_EQ(r->get_header_value("Location"), "/run?case=made");
  EXPECT_EQ(c->Get("/run?case=made")->status, 200);
  EXPECT_NE(wait_for_run(*c, "made").find("\"finished\""), std::string::npos);
  const std::string results = c->Get("/results?case=made")->body;
  for (const char* f :
       {"report.txt", "results_full.txt", "report.html", "csv/storms.csv", "console.txt"})
    EXPECT_NE(results.find(std::string(">") + f + "<"), std::string::npos) << f;
  const auto report = c->Get("/file?case=made&name=report.html");
  EXPECT_EQ(report->status, 200);
  EXPECT_NE(report->get_header_value("Content-Security-Policy").find("default-src 'none'"),
            std::string::npos);

  // The zip holds the case with its outputs.
  const auto zip = c->Get("/zip?case=made");
  ASSERT_EQ(zip->status, 200);
  EXPECT_EQ(zip->body.substr(0, 4), std::string("PK\x03\x04", 4));
  for (const char* f : {"made/site.toml", "made/report.html", "made/csv/storms.csv"})
    EXPECT_NE(zip->body.find(f), std::string::npos) << f;

  // A legacy case's first save: site.toml, the legacy files in legacy/.
  const std::string legacy_edit = c->Get("/edit?case=legacy")->body;
  EXPECT_NE(legacy_edit.find("moves those two files"), std::string::npos);
  const std::string converted = run_command_in(ws / "legacy", "convert").out;
  ASSERT_EQ(
      c->Post("/save", form_items(serve::form_from_site_text(converted), csrf, "legacy"))->status,
      303);
  EXPECT_TRUE(fs::exists(ws / "legacy" / "legacy" / "PSnamel.nml"));
  EXPECT_TRUE(fs::exists(ws / "legacy" / "legacy" / "params.txt"));
  EXPECT_FALSE(fs::exists(ws / "legacy" / "PSnamel.nml"));
  EXPECT_EQ(run_command_in(ws, "check legacy").status, 0);

  // Duplicate, then a long run of the copy cancelled: its child ends.
  ASSERT_EQ(c->Post("/duplicate", "csrf=" + csrf + "&case=made&name=long",
                    "application/x-www-form-urlencoded")
                ->status,
            303);
  EXPECT_FALSE(fs::exists(ws / "long" / "report.txt"));
  serve::FormValues long_form = form;
  long_form.keys["durations_min"] = "{ from = 60, to = 2880, step = 30 }";
  long_form.keys["return_periods_years"] = "{ from = 1, to = 100, step = 1 }";
  ASSERT_EQ(c->Post("/save", form_items(long_form, csrf, "long"))->status, 303);
  r = c->Post("/run", "csrf=" + csrf + "&case=long", "application/x-www-form-urlencoded");
  EXPECT_EQ(r->get_header_value("Location"), "/run?case=long");
  EXPECT_EQ(
      c->Post("/run", "csrf=" + csrf + "&case=long", "application/x-www-form-urlencoded")->status,
      409);
  // The child is started by the run's own thread: wait for it (bounded), a
  // loaded machine may take longer than a moment.
  for (int n = 0; n < 100 && children_of(server.pid()).empty(); ++n)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(children_of(server.pid()).size(), 1u);
  ASSERT_EQ(c->Post("/cancel", "csrf=" + csrf + "&case=long", "application/x-www-form-urlencoded")
                ->status,
            303);
  EXPECT_NE(wait_for_run(*c, "long", 30).find("\"cancelled\""), std::string::npos);
  EXPECT_TRUE(children_of(server.pid()).empty());
  EXPECT_EQ(c->Get("/results?case=long")->status, 200);
  EXPECT_EQ(server.stop(), 0);
  EXPECT_TRUE(processes_mentioning(ws.string()).empty());
}

}  // namespace
}  // namespace sitedrain::testing
