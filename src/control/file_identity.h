// Telling whether two file names are one file, before anything is written:
// a run's outputs (the eight files, the HTML report and the CSV tables) are
// checked against its inputs and against each other with these.
#pragma once

#include <filesystem>
#include <string>

namespace sitedrain::control {

// In: a file name (relative to the working directory).  Out: the name the
// file is opened under: absolute, the symbolic links of its folders resolved
// and, while the name itself is a symbolic link, the link followed, also
// when it points to a file that does not exist yet.  A name that cannot be
// resolved (a loop of links) is returned absolute, to fail when opened.
std::filesystem::path opened_name(const std::string& name);

// Who a file name is: an existing regular file by the file itself (device
// and inode, or the file index on Windows), a name that does not exist yet
// by its opened name.  Anything else (a device such as /dev/null, a FIFO, a
// folder) is no one: it may be named more than once, and a folder fails
// later to open.
class FileIdentity {
 public:
  explicit FileIdentity(const std::string& name);
  bool same(const FileIdentity& other) const;

 private:
  enum class Kind { none, existing, absent } kind_ = Kind::none;
  std::filesystem::path name_;  // existing: as given; absent: the opened name
};

}  // namespace sitedrain::control
