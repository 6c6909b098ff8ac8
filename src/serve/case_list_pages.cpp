// The cases list and its actions: New case, Duplicate.
#include <system_error>

#include "serve/case_folder.h"
#include "serve/case_name.h"
#include "serve/page_template.h"
#include "serve/program_commands.h"
#include "serve/server_impl.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

std::string format_text(CaseFormat f) {
  switch (f) {
    case CaseFormat::site_file:
      return "site file";
    case CaseFormat::legacy:
      return "control and parameter files";
    case CaseFormat::both:
      return "both formats (move one aside)";
    case CaseFormat::none:
      break;
  }
  return "";
}

// Refuses a name for a new case folder: 400 for a bad name, 409 for a
// folder that exists.
bool new_case_name_ok(Server::Impl& s, const std::string& name, httplib::Response& res) {
  if (const auto error = case_name_error(name)) {
    s.send_message(res, 400, "Bad case name", *error + ".");
    return false;
  }
  std::error_code ec;
  if (fs::exists(s.config.workspace / name, ec)) {
    s.send_message(res, 409, "Name taken",
                   "The workspace has a folder '" + name + "' already: choose another name.");
    return false;
  }
  return true;
}

}  // namespace

void Server::Impl::install_case_routes() {
  http.Get("/", [this](const httplib::Request& req, httplib::Response& res) {
    std::string rows;
    for (const CaseSummary& c : list_cases(config.workspace))
      rows += fill_template("case_row.html", {{"name", html_text(c.name)},
                                              {"site", html_text(c.site_name)},
                                              {"storage", html_text(c.storage)},
                                              {"format", html_text(format_text(c.format))},
                                              {"last_run", html_text(c.last_run)},
                                              {"csrf", guard->form_token()}});
    if (rows.empty())
      rows = "<tr><td colspan=\"6\">No case in this workspace yet: make one below.</td></tr>";
    const std::string notice =
        req.has_param("made") ? "Made the case " + req.get_param_value("made") + "." : "";
    send_page(res, 200, "Cases",
              fill_template("cases.html", {{"rows", rows},
                                           {"csrf", guard->form_token()},
                                           {"notice", notice_html(notice, "good")}}));
  });

  for (const char* path : {"/new", "/duplicate", "/save", "/cancel"})
    http.Get(path, [this](const httplib::Request&, httplib::Response& res) {
      send_message(res, 405, "Refused", "This action needs the form's button.");
    });

  http.Post("/new", [this](const httplib::Request& req, httplib::Response& res) {
    if (!allow_change(req, res)) return;
    const std::string name = form_value(req, "name");
    if (!new_case_name_ok(*this, name, res)) return;
    // The program's own `new` command writes the case: the same file as
    // on the command line.
    const fs::path dir = config.workspace / name;
    const CommandOutcome made =
        run_program_command(config.program, {"new", dir.string()}, config.workspace);
    if (made.status != 0 || case_format(dir) == CaseFormat::none) {
      send_message(res, 500, "Not made",
                   "The case '" + name + "' could not be made: " + made.output);
      return;
    }
    see_other(res, "/edit?case=" + name + "&made=1");
  });

  http.Post("/duplicate", [this](const httplib::Request& req, httplib::Response& res) {
    if (!allow_change(req, res)) return;
    const auto from = case_of(req, res);
    if (!from) return;
    const std::string name = form_value(req, "name");
    if (!new_case_name_ok(*this, name, res)) return;
    try {
      duplicate_case(*from, config.workspace / name);
    } catch (const std::exception& e) {
      send_message(res, 500, "Not copied", e.what());
      return;
    }
    see_other(res, "/?made=" + name);
  });
}

}  // namespace sitedrain::serve
