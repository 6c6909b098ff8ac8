#include "run/case_input.h"

#include <system_error>

#include "params/parameter_file.h"
#include "site/site_file.h"
#include "textio/console.h"

namespace sitedrain::run {

namespace fs = std::filesystem;

namespace {

// Opens an input file; "ERROR opening file" and the name, then a stop.
void open_input(textio::LineReader& in, const std::string& name) {
  if (!in.open(name)) console::stop_with("ERROR opening file" + textio::padded_file_name(name));
}

}  // namespace

CaseFormat case_format(const fs::path& dir) {
  std::error_code ec;
  const bool site = fs::exists(dir / site::kSiteFileName, ec);
  const bool legacy = fs::exists(dir / site::kControlFileName, ec);
  return site && legacy ? CaseFormat::both
         : site         ? CaseFormat::site_file
         : legacy       ? CaseFormat::legacy
                        : CaseFormat::none;
}

namespace {

// The one reading of a case in a format.  In a run (descriptor_in given) the
// console first names the file read, and the descriptor file is opened after
// the control file and before the parameter file is read, as a run always
// did; parameter_file, when given, receives the parameter file's name as
// soon as it is known, so that a stop while reading it can still name it.
CaseInput read_inputs(CaseFormat format, textio::LineReader* descriptor_in,
                      std::string* parameter_file) {
  CaseInput c;
  c.file = format == CaseFormat::site_file ? site::kSiteFileName : site::kControlFileName;
  if (descriptor_in) console::line(c.file);
  if (format == CaseFormat::site_file) {
    site::SiteCase s = site::read_site_file(c.file);
    c.files = std::move(s.files);
    c.params = std::move(s.params);
    if (descriptor_in) open_input(*descriptor_in, c.files.input[1]);
    return c;
  }
  c.files = control::read_control_file(c.file);
  if (parameter_file) *parameter_file = c.files.input[0];
  textio::LineReader params_in;
  open_input(params_in, c.files.input[0]);
  if (descriptor_in) open_input(*descriptor_in, c.files.input[1]);
  c.params = params::read_parameter_file(params_in);
  return c;
}

}  // namespace

CaseInput read_case_parameters(CaseFormat format) {
  return read_inputs(format, nullptr, nullptr);
}

CaseInput read_case(textio::LineReader& descriptor_in, std::string* parameter_file) {
  const CaseFormat format = case_format(".");
  if (format == CaseFormat::both) {
    std::error_code ec;
    console::stop_with("ERROR the case folder " + fs::current_path(ec).string() + " holds both " +
                       std::string(site::kSiteFileName) + " and " +
                       std::string(site::kControlFileName) +
                       ": a case is one or the other; move one of them aside");
  }
  return read_inputs(format, &descriptor_in, parameter_file);
}

}  // namespace sitedrain::run
