// Running a case and its results: the run page with its progress, cancel,
// the results page with the report, the output files and the zip.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>

#include "serve/case_folder.h"
#include "serve/case_zip.h"
#include "serve/page_template.h"
#include "serve/server_impl.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

// The text of a file, its last max_bytes at most.
std::string tail_text(const fs::path& p, std::size_t max_bytes) {
  std::string t = read_text(p);
  if (t.size() > max_bytes) t = "...\n" + t.substr(t.size() - max_bytes);
  return t;
}

std::string state_name(RunState s) {
  switch (s) {
    case RunState::waiting:
      return "waiting";
    case RunState::running:
      return "running";
    case RunState::finished:
      return "finished";
    case RunState::failed:
      return "failed";
    case RunState::cancelled:
      return "cancelled";
    case RunState::none:
      break;
  }
  return "none";
}

std::string state_text(const RunStatus& s) {
  switch (s.state) {
    case RunState::waiting:
      return "Waiting for a free processor core.";
    case RunState::running:
      return "Running.";
    case RunState::finished:
      return "The run has ended normally.";
    case RunState::failed:
      return s.message.empty() ? "The run stopped (exit status " + std::to_string(s.exit_status) +
                                     "): its console is below."
                               : "The run could not start: " + s.message;
    case RunState::cancelled:
      return "The run was cancelled.";
    case RunState::none:
      break;
  }
  return "Not run since the server started.";
}

std::string duration_text(double seconds) {
  const long s = std::lround(seconds);
  if (s < 60) return std::to_string(s) + " s";
  return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
}

std::string figures_text(const RunStatus& s) {
  if (s.state != RunState::running) return {};
  std::string t = std::to_string(std::lround(s.percent)) + " % of the design storms begun · " +
                  duration_text(s.elapsed_s) + " so far";
  if (s.left_s) t += " · about " + duration_text(*s.left_s) + " left";
  return t;
}

std::string json_text(std::string_view t) {
  std::string out = "\"";
  for (char c : t) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string content_type_of(const std::string& name) {
  const std::string ext = fs::path(name).extension().string();
  if (ext == ".html") return "text/html; charset=utf-8";
  if (ext == ".csv") return "text/csv; charset=utf-8";
  return "text/plain; charset=utf-8";
}

bool active(RunState s) {
  return s == RunState::waiting || s == RunState::running;
}

}  // namespace

bool Server::Impl::start_run(const std::string& name, const fs::path& case_dir) {
  if (active(runs.status(name).state)) return false;
  std::error_code ec;
  fs::remove(case_dir / kReportFile, ec);
  return runs.start(name, run_request(case_dir));
}

// A run of a case: its page, its progress, starting and cancelling it.
void Server::Impl::install_run_routes() {
  http.Get("/run", [this](const httplib::Request& req, httplib::Response& res) {
    const auto dir = case_of(req, res);
    if (!dir) return;
    const std::string name = form_value(req, "case");
    const RunStatus s = runs.status(name);
    std::string console;
    if (s.state == RunState::failed) console = tail_text(*dir / kConsoleFile, 8000);
    const std::string head =
        active(s.state) ? "<noscript><meta http-equiv=\"refresh\" content=\"2\"></noscript>\n" : "";
    send_page(res, 200, name + " - run",
              fill_template("run.html", {{"name", html_text(name)},
                                         {"csrf", guard->form_token()},
                                         {"state", state_name(s.state)},
                                         {"state_text", html_text(state_text(s))},
                                         {"percent", std::to_string(std::lround(s.percent))},
                                         {"figures", html_text(figures_text(s))},
                                         {"console", html_text(console)},
                                         {"run_disabled", active(s.state) ? "disabled" : ""},
                                         {"cancel_disabled", active(s.state) ? "" : "disabled"}}),
              head);
  });

  http.Get("/progress", [this](const httplib::Request& req, httplib::Response& res) {
    const auto dir = case_of(req, res);
    if (!dir) return;
    const RunStatus s = runs.status(form_value(req, "case"));
    res.set_content("{\"state\": " + json_text(state_name(s.state)) +
                        ", \"state_text\": " + json_text(state_text(s)) +
                        ", \"percent\": " + std::to_string(std::lround(s.percent)) +
                        ", \"figures\": " + json_text(figures_text(s)) + "}",
                    "application/json");
  });

  http.Post("/run", [this](const httplib::Request& req, httplib::Response& res) {
    if (!allow_change(req, res)) return;
    const auto dir = case_of(req, res);
    if (!dir) return;
    const std::string name = form_value(req, "case");
    if (active(runs.status(name).state)) {
      send_message(res, 409, "Running already", "The case '" + name + "' has a run going.");
      return;
    }
    if (const std::string problem = case_problem(*dir); !problem.empty()) {
      see_other(res, "/edit?case=" + name + "&check=1");
      return;
    }
    if (!start_run(name, *dir)) {
      send_message(res, 409, "Running already", "The case '" + name + "' has a run going.");
      return;
    }
    see_other(res, "/run?case=" + name);
  });

  http.Post("/cancel", [this](const httplib::Request& req, httplib::Response& res) {
    if (!allow_change(req, res)) return;
    const auto dir = case_of(req, res);
    if (!dir) return;
    const std::string name = form_value(req, "case");
    runs.cancel(name);
    see_other(res, "/run?case=" + name);
  });
}

// The outputs of a case's last run: the results page with the report in a
// frame, one output file, the case folder as a zip.
void Server::Impl::install_output_routes() {
  http.Get("/results", [this](const httplib::Request& req, httplib::Response& res) {
    const auto dir = case_of(req, res);
    if (!dir) return;
    const std::string name = form_value(req, "case");
    const RunStatus s = runs.status(name);
    std::string files, notice, kind;
    for (const std::string& f : existing_outputs(*dir))
      files += "<li><a href=\"/file?case=" + html_text(name) +
               "&amp;name=" + html_text(url_encoded(f)) + "\">" + html_text(f) + "</a></li>\n";
    if (files.empty()) files = "<li>No output yet: run the case.</li>";
    std::string report;
    std::error_code ec;
    if (active(s.state)) {
      notice = "A run of this case is going: these are the files of the last one.";
    } else if (s.state == RunState::failed || s.state == RunState::cancelled) {
      notice = state_text(s);
      kind = "bad";
    }
    if (!active(s.state) && fs::is_regular_file(*dir / kReportFile, ec))
      report =
          "<iframe class=\"report\" title=\"The report of the run\" sandbox src=\"/file?case=" +
          html_text(name) + "&amp;name=" + kReportFile + "\"></iframe>";
    send_page(res, 200, name + " - results",
              fill_template("results.html", {{"name", html_text(name)},
                                             {"files", files},
                                             {"report", report},
                                             {"notice", notice_html(notice, kind)}}));
  });

  http.Get("/file", [this](const httplib::Request& req, httplib::Response& res) {
    const auto dir = case_of(req, res);
    if (!dir) return;
    // Only a name of the case's outputs, as this server lists them, reaches
    // the file system.
    const std::string wanted = form_value(req, "name");
    const std::vector<std::string> outputs = existing_outputs(*dir);
    if (std::find(outputs.begin(), outputs.end(), wanted) == outputs.end()) {
      send_message(res, 404, "No such file", "The case has no output of that name.");
      return;
    }
    res.set_content(read_text(*dir / wanted), content_type_of(wanted).c_str());
    if (wanted == kReportFile)
      // The report's own policy (no script, no request), shown only in our frame.
      res.set_header("Content-Security-Policy",
                     "default-src 'none'; style-src 'unsafe-inline'; img-src data:; "
                     "frame-ancestors 'self'; sandbox");
  });

  http.Get("/zip", [this](const httplib::Request& req, httplib::Response& res) {
    const auto dir = case_of(req, res);
    if (!dir) return;
    const std::string name = form_value(req, "case");
    if (active(runs.status(name).state)) {
      send_message(res, 409, "Running", "Wait for the run to end: its files are being written.");
      return;
    }
    res.set_content(zip_case_folder(*dir, name), "application/zip");
    res.set_header("Content-Disposition", "attachment; filename=\"" + name + ".zip\"");
  });
}

}  // namespace sitedrain::serve
