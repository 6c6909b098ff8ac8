#include "cli/case_files.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

std::optional<run::CaseInput> load_case(const fs::path& case_dir, const std::string& command) {
  std::error_code ec;
  fs::current_path(case_dir, ec);
  if (ec) {
    std::fprintf(stderr, "sitedrain: %s: cannot change into '%s': %s\n", command.c_str(),
                 case_dir.string().c_str(), ec.message().c_str());
    return std::nullopt;
  }
  const run::CaseFormat format = run::case_format(".");
  if (format == run::CaseFormat::none) {
    std::fprintf(stderr,
                 "sitedrain: %s: no case in %s (no site.toml or PSnamel.nml); `sitedrain new DIR` "
                 "writes one, `sitedrain --help` lists the commands\n",
                 command.c_str(), case_dir.string().c_str());
    return std::nullopt;
  }
  if (format == run::CaseFormat::both) {
    std::fprintf(stderr,
                 "sitedrain: %s: %s holds both site.toml and PSnamel.nml; a case is one or the "
                 "other: move one of them aside\n",
                 command.c_str(), case_dir.string().c_str());
    return std::nullopt;
  }
  // A reader's stop waits for a key in a run; here it must not.
#ifdef _WIN32
  std::FILE* in = std::freopen("NUL", "r", stdin);
#else
  std::FILE* in = std::freopen("/dev/null", "r", stdin);
#endif
  (void)in;
  try {
    run::CaseInput c = run::read_case_parameters(format);
    console::flush();
    return c;
  } catch (const RunStop&) {
    console::flush();
    return std::nullopt;
  }
}

bool write_new_file(const fs::path& path, const std::string& text, const std::string& command) {
  std::error_code ec;
  if (fs::exists(path, ec)) {
    std::fprintf(stderr, "sitedrain: %s: %s exists already; nothing written\n", command.c_str(),
                 path.string().c_str());
    return false;
  }
  const fs::path part = path.string() + ".part";
  std::ofstream out(part, std::ios::binary);
  out << text;
  out.close();
  if (out.fail() || (fs::rename(part, path, ec), ec)) {
    fs::remove(part, ec);
    std::fprintf(stderr, "sitedrain: %s: ERROR writing file %s\n", command.c_str(),
                 path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace sitedrain::cli
