#include "serve/server.h"

#include <algorithm>

#include "serve/case_folder.h"
#include "serve/case_name.h"
#include "serve/page_files.h"
#include "serve/page_template.h"
#include "serve/server_impl.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

// Our pages load their style sheet and script from this server only; they
// may show this server's pages in a frame (the report) and post only here.
constexpr const char* kPagePolicy =
    "default-src 'none'; style-src 'self'; script-src 'self'; img-src 'self' data:; "
    "frame-src 'self'; connect-src 'self'; form-action 'self'; frame-ancestors 'none'; "
    "base-uri 'none'";

}  // namespace

std::string form_value(const httplib::Request& req, const std::string& name) {
  if (req.has_param(name.c_str())) return req.get_param_value(name.c_str());
  if (req.has_file(name.c_str())) return req.get_file_value(name.c_str()).content;
  return {};
}

std::string notice_html(const std::string& text, const std::string& kind) {
  if (text.empty()) return {};
  return "<p class=\"notice" + (kind.empty() ? std::string() : " " + kind) + "\">" +
         html_text(text) + "</p>";
}

std::string url_encoded(const std::string& text) {
  static const char* const hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

Server::Impl::Impl(ServerConfig c) : config(std::move(c)), runs(config.program, config.max_runs) {
  http.new_task_queue = [] { return new httplib::ThreadPool(kRequestThreads); };
  http.set_read_timeout(kReadTimeoutS, 0);
  http.set_write_timeout(kWriteTimeoutS, 0);
  http.set_keep_alive_timeout(kKeepAliveTimeoutS);
  http.set_keep_alive_max_count(100);
  http.set_payload_max_length(kBodyMaxBytes);
  // The library's default lets a second server share the port (SO_REUSEPORT
  // on Linux, SO_REUSEADDR on Windows); a port in use must be refused.
  http.set_socket_options([](socket_t sock) {
    int yes = 1;
#ifdef _WIN32
    setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
               sizeof yes);
#else
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
  });
  http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    return before_routing(req, res);
  });
  http.set_post_routing_handler([](const httplib::Request&, httplib::Response& res) {
    if (!res.has_header("Content-Security-Policy"))
      res.set_header("Content-Security-Policy", kPagePolicy);
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("Cache-Control", "no-store");
  });
  http.set_error_handler([this](const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) return;
    if (res.status == 413)
      send_message(res, 413, "Too large",
                   "The request is larger than the server takes: a descriptor file may have at "
                   "most 20 MB.");
    else if (res.status == 404)
      send_message(res, 404, "Not found", "There is no such page.");
    else if (res.status >= 400)
      send_message(res, res.status, "Refused", "The server cannot answer this request.");
  });
  http.set_exception_handler(
      [this](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
        std::string what = "an unexpected error";
        try {
          if (ep) std::rethrow_exception(ep);
        } catch (const std::exception& e) {
          what = e.what();
        } catch (...) {
        }
        send_message(res, 500, "Error", "The server could not answer: " + what + ".");
      });
  install_routes();
}

httplib::Server::HandlerResponse Server::Impl::before_routing(const httplib::Request& req,
                                                              httplib::Response& res) {
  const std::string url_token = req.has_param("token") ? req.get_param_value("token") : "";
  if (const auto refusal =
          guard->check(req.get_header_value("Host"), req.get_header_value("Cookie"), url_token)) {
    send_message(res, refusal->status, "Refused", refusal->message);
    return httplib::Server::HandlerResponse::Handled;
  }
  if (!url_token.empty()) {
    // The address printed at start: the token goes into the cookie and out of
    // the address bar.
    res.set_header("Set-Cookie", guard->session_cookie());
    // Back to the same page, when its path is plain text (no header can be
    // made of it); else to the cases.
    const bool plain = std::all_of(req.path.begin(), req.path.end(), [](char ch) {
      return static_cast<unsigned char>(ch) > 0x20 && static_cast<unsigned char>(ch) < 0x7f;
    });
    see_other(
        res, plain && req.path.rfind("/", 0) == 0 && req.path.rfind("//", 0) != 0 ? req.path : "/");
    return httplib::Server::HandlerResponse::Handled;
  }
  return httplib::Server::HandlerResponse::Unhandled;
}

bool Server::Impl::allow_change(const httplib::Request& req, httplib::Response& res) {
  if (const auto refusal = guard->check_change(req.method, form_value(req, "csrf"))) {
    send_message(res, refusal->status, "Refused", refusal->message);
    return false;
  }
  return true;
}

std::optional<fs::path> Server::Impl::case_of(const httplib::Request& req, httplib::Response& res) {
  const std::string name = form_value(req, "case");
  if (const auto error = case_name_error(name)) {
    send_message(res, 400, "Bad case name", *error + ".");
    return std::nullopt;
  }
  const fs::path dir = config.workspace / name;
  if (case_format(dir) == CaseFormat::none) {
    send_message(res, 404, "No such case", "There is no case '" + name + "' in the workspace.");
    return std::nullopt;
  }
  return dir;
}

void Server::Impl::send_page(httplib::Response& res, int status, const std::string& title,
                             const std::string& body, const std::string& head) {
  res.status = status;
  res.set_content(whole_page(title, body, config.workspace.string(), head),
                  "text/html; charset=utf-8");
}

void Server::Impl::send_message(httplib::Response& res, int status, const std::string& heading,
                                const std::string& message) {
  send_page(res, status, heading,
            fill_template("message.html",
                          {{"heading", html_text(heading)}, {"message", html_text(message)}}));
}

void Server::Impl::see_other(httplib::Response& res, const std::string& where) {
  res.status = 303;
  res.set_header("Location", where);
}

RunRequest Server::Impl::run_request(const fs::path& case_dir) const {
  RunRequest r;
  r.case_dir = case_dir;
  if (config.threads > 0) {
    r.args.push_back("--threads");
    r.args.push_back(std::to_string(config.threads));
  }
  r.args.insert(r.args.end(), {"--report", (case_dir / kReportFile).string(), "--csv",
                               (case_dir / kCsvFolder).string(), case_dir.string()});
  r.console_file = case_dir / kConsoleFile;
  r.progress_file = progress_file_of(case_dir).value_or(fs::path());
  return r;
}

void Server::Impl::install_routes() {
  http.Get("/static/style.css", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(page_file("style.css")), "text/css; charset=utf-8");
  });
  http.Get("/static/progress.js", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(page_file("progress.js")), "text/javascript; charset=utf-8");
  });
  install_case_routes();
  install_edit_routes();
  install_run_routes();
  install_output_routes();
}

Server::Server(ServerConfig config) : impl_(std::make_unique<Impl>(std::move(config))) {}

Server::~Server() {
  stop();
}

bool Server::bind(int port) {
  int bound = port;
  if (port == 0) {
    bound = impl_->http.bind_to_any_port("127.0.0.1");
    if (bound <= 0) return false;
  } else if (!impl_->http.bind_to_port("127.0.0.1", port)) {
    return false;
  }
  impl_->guard.emplace(bound, random_token(), random_token());
  return true;
}

int Server::port() const {
  return impl_->guard ? impl_->guard->port() : 0;
}

std::string Server::address() const {
  return "http://127.0.0.1:" + std::to_string(port()) + "/?token=" + impl_->guard->session_token();
}

void Server::serve() {
  impl_->http.listen_after_bind();
}

void Server::stop() {
  impl_->http.stop();
}

}  // namespace sitedrain::serve
