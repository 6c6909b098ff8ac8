// The inside of the server, shared by the files of its pages: the state and
// the helpers every handler uses.  Not for use outside src/serve.
#pragma once

#include <httplib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "serve/run_manager.h"
#include "serve/server.h"
#include "serve/session_guard.h"

namespace sitedrain::serve {

struct Server::Impl {
  explicit Impl(ServerConfig c);

  ServerConfig config;
  httplib::Server http;
  std::optional<SessionGuard> guard;  // made at bind, when the port is known
  RunManager runs;

  void install_routes();
  void install_case_routes();
  void install_edit_routes();
  void install_run_routes();
  void install_output_routes();

  // The guard's check of a request; on refusal the response is made.
  httplib::Server::HandlerResponse before_routing(const httplib::Request& req,
                                                  httplib::Response& res);
  // A state-changing request: POST with the form token; false (and the
  // response made) when refused.
  bool allow_change(const httplib::Request& req, httplib::Response& res);
  // The case folder named by the request's "case" value; on a bad name 400,
  // on an unknown case 404 (the response made) and nothing returned.
  std::optional<std::filesystem::path> case_of(const httplib::Request& req, httplib::Response& res);
  // The case folder of a request that holds one format only; else answers
  // 409 (both formats) or as case_of does, and gives none.
  std::optional<std::filesystem::path> editable_case_of(const httplib::Request& req,
                                                        httplib::Response& res);

  // Sends a whole page with its status.
  void send_page(httplib::Response& res, int status, const std::string& title,
                 const std::string& body, const std::string& head = {});
  // Sends the message page.
  void send_message(httplib::Response& res, int status, const std::string& heading,
                    const std::string& message);
  // A redirect after a POST (303).
  static void see_other(httplib::Response& res, const std::string& where);

  // What keeps the case from running, in the words of `sitedrain check`;
  // empty when it would run.
  std::string case_problem(const std::filesystem::path& case_dir) const;
  // Starts (or queues) a run of the case; false when it has one already.
  // The report of an earlier run is removed first, so that it cannot pass
  // for this run's.
  bool start_run(const std::string& name, const std::filesystem::path& case_dir);
  // The arguments of a run of the case folder.
  RunRequest run_request(const std::filesystem::path& case_dir) const;
};

// The value of a form field (URL-encoded or multipart) or query parameter.
std::string form_value(const httplib::Request& req, const std::string& name);

// A notice paragraph; kind "good", "bad" or "".
std::string notice_html(const std::string& text, const std::string& kind = {});

// URL-encoded text for a query value.
std::string url_encoded(const std::string& text);

}  // namespace sitedrain::serve
