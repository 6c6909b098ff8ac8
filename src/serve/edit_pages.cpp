// The edit form of a case and its saving.
#include <fstream>
#include <sstream>
#include <system_error>

#include "control/control_file.h"
#include "serve/case_folder.h"
#include "serve/case_form.h"
#include "serve/page_template.h"
#include "serve/program_commands.h"
#include "serve/server_impl.h"
#include "textio/stop.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

// Writes a file whole: to a temporary name beside it, then renamed.
void write_whole(const fs::path& path, const std::string& text) {
  const fs::path part = path.string() + ".part";
  {
    std::ofstream out(part, std::ios::binary);
    out << text;
    out.close();
    if (out.fail()) throw std::runtime_error("cannot write " + path.filename().string());
  }
  std::error_code ec;
  fs::rename(part, path, ec);
  if (ec) {
    fs::remove(part, ec);
    throw std::runtime_error("cannot write " + path.filename().string());
  }
}

// The name an uploaded descriptor file is stored under: fixed, with the
// site's name kept where the uploaded file's name carries one as the
// descriptor files' names do (cd_Hexham_2023.csv: Hexham), letters, digits
// and '-' only.
std::string descriptor_store_name(const std::string& uploaded_name, const std::string& content) {
  const std::size_t first = content.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  const bool xml = first != std::string::npos && content[first] == '<';
  std::string site;
  for (char c : control::site_location(uploaded_name))
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-')
      site += c;
  return (site.empty() ? std::string("descriptor") : "cd_" + site + "_descriptor") +
         (xml ? ".xml" : ".csv");
}

// Moves the control file and the parameter file of a legacy case into its
// legacy/ folder; the descriptor file stays where the site file names it.
void move_legacy_files(const fs::path& dir) {
  std::string parameter_file;
  try {
    const control::RunFiles r = control::resolve_files(
        control::parse_control(read_text(dir / kControlFile), kControlFile), kControlFile);
    parameter_file = r.input[0];
  } catch (const RunStop&) {
  }
  const fs::path legacy = dir / kLegacyFolder;
  std::error_code ec;
  fs::create_directories(legacy, ec);
  std::vector<fs::path> moving{dir / kControlFile};
  const fs::path param = (dir / parameter_file).lexically_normal();
  if (!parameter_file.empty() && fs::is_regular_file(param, ec) &&
      param.parent_path() == dir.lexically_normal())
    moving.push_back(param);
  for (const fs::path& f : moving)
    if (fs::exists(legacy / f.filename(), ec))
      throw std::runtime_error("legacy/" + f.filename().string() +
                               " exists already: move it away first");
  for (const fs::path& f : moving) {
    fs::rename(f, legacy / f.filename(), ec);
    if (ec) throw std::runtime_error("cannot move " + f.filename().string() + " to legacy/");
  }
}

}  // namespace

std::optional<fs::path> Server::Impl::editable_case_of(const httplib::Request& req,
                                                       httplib::Response& res) {
  auto dir = case_of(req, res);
  if (dir && case_format(*dir) == CaseFormat::both) {
    send_message(res, 409, "Two formats",
                 "The case folder holds both site.toml and PSnamel.nml: move one of them aside.");
    return std::nullopt;
  }
  return dir;
}

void Server::Impl::install_edit_routes() {
  http.Get("/edit", [this](const httplib::Request& req, httplib::Response& res) {
    const auto dir = editable_case_of(req, res);
    if (!dir) return;
    const std::string name = form_value(req, "case");
    const CaseFormat format = case_format(*dir);
    FormValues form;
    FieldError error;
    std::string notice, kind;
    if (format == CaseFormat::legacy) {
      const CommandOutcome converted =
          run_program_command(config.program, {"convert", dir->string()}, *dir);
      if (converted.status == 0) {
        form = form_from_site_text(converted.output);
        notice =
            "This case is in a control file and a parameter file. Saving writes site.toml and "
            "moves those two files into the folder legacy/.";
      } else {
        notice = converted.output;
        kind = "bad";
      }
    } else {
      const std::string site_text = read_text(*dir / kSiteFile);
      form = form_from_site_text(site_text);
      const CommandOutcome check =
          run_program_command(config.program, {"check", dir->string()}, *dir);
      if (check.status != 0) {
        error = field_error_of(check.output, site_text);
        notice = check.output;
        kind = "bad";
      } else if (req.has_param("saved")) {
        notice = "Saved. " + check.output;
        kind = "good";
      } else {
        notice = check.output;
      }
    }
    if (req.has_param("made"))
      notice =
          "Made the case. Upload its descriptor file below (or name one beside it), then "
          "save.\n\n" +
          notice;
    const auto d = form.keys.find("descriptor_file");
    const std::string descriptor =
        d == form.keys.end() ? "No descriptor file named yet." : "Now: " + d->second;
    std::string notice_block;
    if (!notice.empty())
      notice_block = "<pre class=\"notice" + (kind.empty() ? "" : " " + kind) + "\" id=\"check\">" +
                     html_text(notice) + "</pre>";
    send_page(res, 200, name + " - edit",
              fill_template("edit.html", {{"name", html_text(name)},
                                          {"csrf", guard->form_token()},
                                          {"notice", notice_block},
                                          {"groups", form_fields_html(form, error)},
                                          {"descriptor", html_text(descriptor)}}));
  });

  http.Post("/save", [this](const httplib::Request& req, httplib::Response& res) {
    if (!allow_change(req, res)) return;
    const auto dir = editable_case_of(req, res);
    if (!dir) return;
    const std::string name = form_value(req, "case");
    const CaseFormat format = case_format(*dir);
    FormValues form =
        form_from_fields([&req](const std::string& field) { return form_value(req, field); });
    const std::string action = form_value(req, "action");
    if (action == "add_row" || action.rfind("remove_row:", 0) == 0) {
      // Rows change in the form only; nothing is written until Save.
      send_page(
          res, 200, name + " - edit",
          fill_template("edit.html",
                        {{"name", html_text(name)},
                         {"csrf", guard->form_token()},
                         {"notice", notice_html("Not saved yet: press Save to keep the change.")},
                         {"groups", form_fields_html(form, {})},
                         {"descriptor", html_text(form.keys.count("descriptor_file")
                                                      ? "Now: " + form.keys["descriptor_file"]
                                                      : "No descriptor file named yet.")}}));
      return;
    }
    if (req.has_file("descriptor")) {
      const httplib::MultipartFormData upload = req.get_file_value("descriptor");
      if (!upload.filename.empty() && !upload.content.empty()) {
        if (upload.content.size() > kUploadMaxBytes) {
          send_message(res, 413, "Too large", "A descriptor file may have at most 20 MB.");
          return;
        }
        const std::string stored = descriptor_store_name(upload.filename, upload.content);
        write_whole(*dir / stored, upload.content);
        form.keys["descriptor_file"] = stored;
      }
    }
    if (format == CaseFormat::legacy) {
      try {
        move_legacy_files(*dir);
      } catch (const std::exception& e) {
        send_message(res, 409, "Not saved", e.what());
        return;
      }
    }
    write_whole(*dir / kSiteFile, site_text_from_form(form));
    if (action == "save_run") {
      const CommandOutcome check =
          run_program_command(config.program, {"check", dir->string()}, *dir);
      if (check.status == 0 && start_run(name, *dir)) {
        see_other(res, "/run?case=" + name);
        return;
      }
    }
    see_other(res, "/edit?case=" + name + "&saved=1");
  });
}

std::string Server::Impl::case_problem(const fs::path& dir) const {
  if (case_format(dir) == CaseFormat::both)
    return "The case folder holds both site.toml and PSnamel.nml.";
  const CommandOutcome check = run_program_command(config.program, {"check", dir.string()}, dir);
  return check.status == 0 ? std::string() : check.output.empty() ? "check failed" : check.output;
}

}  // namespace sitedrain::serve
