// A case folder as one zip archive (libzip): its inputs, its outputs, the
// HTML report and the CSV tables, under a folder named after the case.
#pragma once

#include <filesystem>
#include <string>

namespace sitedrain::serve {

// In: a case folder and its name.  Out: the archive's bytes, every regular
// file of the folder and its subfolders as NAME/relative/path (links are
// left out).  Throws std::runtime_error when a file cannot be read.
std::string zip_case_folder(const std::filesystem::path& case_dir, const std::string& name);

}  // namespace sitedrain::serve
