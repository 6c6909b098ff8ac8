// What the case commands share: moving into a case folder, reading a case
// without running it, and writing a file whole without overwriting one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "run/case_input.h"

namespace sitedrain::cli {

// Changes into the case folder and reads its case in either format without
// a console pause (keyboard input is not read).  Shows the message and
// returns none when the folder holds no case, both formats, or a case that
// stops the reader.
std::optional<run::CaseInput> load_case(const std::filesystem::path& case_dir,
                                        const std::string& command);

// Writes text to a new file (a temporary name first, then renamed); refuses
// an existing file.  Returns false after a message on standard error.
bool write_new_file(const std::filesystem::path& path, const std::string& text,
                    const std::string& command);

}  // namespace sitedrain::cli
