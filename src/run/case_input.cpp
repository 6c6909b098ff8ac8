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

CaseInput read_case_parameters(CaseFormat format) {
  CaseInput c;
  if (format == CaseFormat::site_file) {
    c.file = site::kSiteFileName;
    site::SiteCase s = site::read_site_file(c.file);
    c.files = std::move(s.files);
    c.params = std::move(s.params);
    return c;
  }
  c.file = site::kControlFileName;
  c.files = read_control_file(c.file);
  textio::LineReader params_in;
  open_input(params_in, c.files.input[0]);
  c.params = params::GETPARAM(params_in);
  return c;
}

CaseInput read_case(textio::LineReader& descriptor_in) {
  CaseInput c;
  const CaseFormat format = case_format(".");
  if (format == CaseFormat::both) {
    std::error_code ec;
    console::stop_with("ERROR the case folder " + fs::current_path(ec).string() + " holds both " +
                       std::string(site::kSiteFileName) + " and " +
                       std::string(site::kControlFileName) +
                       ": a case is one or the other; move one of them aside");
  }
  if (format == CaseFormat::site_file) {
    c.file = site::kSiteFileName;
    console::line(c.file);
    site::SiteCase s = site::read_site_file(c.file);
    c.files = std::move(s.files);
    c.params = std::move(s.params);
    open_input(descriptor_in, c.files.input[1]);
    return c;
  }
  c.file = site::kControlFileName;
  console::line(c.file);
  c.files = read_control_file(c.file);
  textio::LineReader params_in;
  open_input(params_in, c.files.input[0]);
  open_input(descriptor_in, c.files.input[1]);
  c.params = params::GETPARAM(params_in);
  return c;
}

}  // namespace sitedrain::run
