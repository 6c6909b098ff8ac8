#include "control/file_identity.h"

#include <system_error>

namespace sitedrain::control {

namespace fs = std::filesystem;

namespace {

// The links followed before a name counts as a loop (as the system's own
// limit on Linux).
constexpr int kMaxLinksFollowed = 40;

}  // namespace

fs::path opened_name(const std::string& name) {
  std::error_code ec;
  fs::path p = fs::absolute(name, ec);
  if (ec) return fs::path(name);
  for (int hop = 0; hop <= kMaxLinksFollowed; ++hop) {
    const fs::path leaf = p.filename();
    if (leaf.empty() || leaf == "." || leaf == "..") {
      const fs::path folder = fs::weakly_canonical(p, ec);
      return ec ? p.lexically_normal() : folder;
    }
    fs::path folder = fs::weakly_canonical(p.parent_path(), ec);
    if (ec) folder = p.parent_path().lexically_normal();
    const fs::path here = folder / leaf;
    if (!fs::is_symlink(fs::symlink_status(here, ec))) return here;
    const fs::path target = fs::read_symlink(here, ec);
    if (ec) return here;
    p = target.is_absolute() ? target : folder / target;
  }
  return p.lexically_normal();
}

FileIdentity::FileIdentity(const std::string& name) {
  if (name.empty()) return;  // fails to open, with its own message
  std::error_code ec;
  const fs::file_status st = fs::status(name, ec);
  if (fs::exists(st)) {
    if (fs::is_regular_file(st)) {
      kind_ = Kind::existing;
      name_ = name;
    }
    return;
  }
  kind_ = Kind::absent;
  name_ = opened_name(name);
}

bool FileIdentity::same(const FileIdentity& other) const {
  if (kind_ == Kind::none || kind_ != other.kind_) return false;
  if (kind_ == Kind::absent) return name_ == other.name_;
  std::error_code ec;
  return fs::equivalent(name_, other.name_, ec);
}

}  // namespace sitedrain::control
