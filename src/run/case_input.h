// The inputs of a case in either format: a site file (site.toml), or the
// control file (PSnamel.nml) with its parameter file.  Both give the same
// parameter set and run files, so that the rest of a run does not know
// which format it was given.
#pragma once

#include <filesystem>
#include <string>

#include "control/control_file.h"
#include "params/design_params.h"
#include "textio/text_file.h"

namespace sitedrain::run {

// Which case files a folder holds.
enum class CaseFormat { none, legacy, site_file, both };

// In: a folder.  Out: which of site.toml and PSnamel.nml it holds.
CaseFormat case_format(const std::filesystem::path& dir);

// A case's inputs as the run uses them.
struct CaseInput {
  control::RunFiles files;
  params::DesignParams params;
  std::string file;  // the file read: "site.toml" or "PSnamel.nml"
};

// Reads the parameter set and run files of the case of the working
// directory in the given format (legacy or site_file), without a console
// line and without opening the descriptor file (`sitedrain check` and
// `convert`).  A bad input shows its message and stops as in a run.
CaseInput read_case_parameters(CaseFormat format);

// Reads the case of the working directory: the console line naming the file
// read, then the control file, the opening of both inputs and the parameter
// file (legacy), or the site file and the opening of the descriptor file.
// descriptor_in is left open on the descriptor file; parameter_file, when
// given, receives the legacy parameter file's name once it is known (before
// that file is read).  A folder holding both formats stops with a message
// naming both files.
CaseInput read_case(textio::LineReader& descriptor_in, std::string* parameter_file = nullptr);

}  // namespace sitedrain::run
