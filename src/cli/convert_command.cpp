// sitedrain convert: a legacy case as a site file, and back.
#include <cstdio>
#include <string>
#include <system_error>

#include "cli/case_commands.h"
#include "cli/case_files.h"
#include "site/legacy_writer.h"
#include "site/site_file.h"
#include "site/site_writer.h"
#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

namespace {

// A case's input name as seen from another folder: relative names are
// taken from the case folder.
std::string name_from(const fs::path& folder, const fs::path& case_dir, const std::string& name) {
  const fs::path p(name);
  if (p.is_absolute() || folder == case_dir) return name;
  return (case_dir / p).lexically_normal().lexically_relative(folder).generic_string();
}

std::pair<std::string, std::string> split(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash == std::string::npos) return {"", name};
  return {name.substr(0, slash + 1), name.substr(slash + 1)};
}

}  // namespace

int convert_command(std::span<const std::string_view> args, const fs::path& start) {
  bool to_legacy = false;
  std::string_view case_text, out_text;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    if (a == "--to-legacy") {
      to_legacy = true;
    } else if (a == "-o" || a == "--output") {
      if (i + 1 >= args.size() || args[i + 1].empty())
        return usage_error("convert: " + std::string(a) + " needs a value");
      out_text = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return usage_error("convert: unknown option '" + std::string(a) + "'");
    } else if (!case_text.empty()) {
      return usage_error("convert: one CASE_DIR only");
    } else {
      case_text = a;
    }
  }
  const fs::path case_dir = (start / std::string(case_text)).lexically_normal();
  std::error_code ec;
  if (!fs::is_directory(case_dir, ec))
    return usage_error("convert: no folder '" + std::string(case_text) + "'");
  const run::CaseFormat format = run::case_format(case_dir);
  if (format == run::CaseFormat::legacy && to_legacy) {
    std::fprintf(stderr, "sitedrain: convert: %s holds a legacy case already\n",
                 case_dir.string().c_str());
    return 1;
  }
  if (format == run::CaseFormat::site_file && !to_legacy) {
    std::fprintf(stderr,
                 "sitedrain: convert: %s holds a site file already (--to-legacy writes the "
                 "legacy files)\n",
                 case_dir.string().c_str());
    return 1;
  }
  std::optional<run::CaseInput> c = load_case(case_dir, "convert");
  if (!c) return 1;
  try {
    if (!to_legacy) {
      const fs::path out =
          out_text.empty() ? fs::path() : (start / std::string(out_text)).lexically_normal();
      const fs::path folder = out.empty() ? case_dir : out.parent_path();
      site::WriteOptions options;
      options.descriptor = name_from(folder, case_dir, c->files.input[1]);
      if (control::site_location(split(options.descriptor).second) != c->files.location)
        throw site::ConvertError("IFILENAME(2) gives the site name '" + c->files.location +
                                 "', which a site file naming " + options.descriptor +
                                 " would not give");
      const std::string text = site::site_file_text(c->params, c->files, options);
      // The site file must read back: a value it cannot hold shows here.
      try {
        site::parse_site_file(text, "(the converted site file)");
      } catch (const RunStop&) {
        console::flush();
        return 1;
      }
      if (out.empty()) {
        std::fputs(text.c_str(), stdout);
        return 0;
      }
      return write_new_file(out, text, "convert") ? 0 : 1;
    }
    const fs::path dir =
        out_text.empty() ? case_dir / "legacy" : (start / std::string(out_text)).lexically_normal();
    for (std::string_view name :
         {site::kSiteFileName, site::kControlFileName, std::string_view("params.txt")}) {
      if (fs::exists(dir / name, ec)) {
        std::fprintf(stderr, "sitedrain: convert: %s exists already; nothing written\n",
                     (dir / name).string().c_str());
        return 1;
      }
    }
    const site::LegacyTexts texts = site::legacy_texts(c->params, c->files, "params.txt",
                                                       name_from(dir, case_dir, c->files.input[1]));
    fs::create_directories(dir, ec);
    if (ec) {
      std::fprintf(stderr, "sitedrain: convert: cannot create the folder %s: %s\n",
                   dir.string().c_str(), ec.message().c_str());
      return 1;
    }
    if (!write_new_file(dir / "params.txt", texts.parameters, "convert")) return 1;
    if (!write_new_file(dir / site::kControlFileName, texts.control, "convert")) {
      fs::remove(dir / "params.txt", ec);
      return 1;
    }
    std::printf("Wrote %s and %s\n", (dir / site::kControlFileName).string().c_str(),
                (dir / "params.txt").string().c_str());
    return 0;
  } catch (const site::ConvertError& e) {
    std::fprintf(stderr, "sitedrain: convert: %s; nothing written\n", e.what());
    return 1;
  }
}

}  // namespace sitedrain::cli
