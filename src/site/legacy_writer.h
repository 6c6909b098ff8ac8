// Writing a case back in the legacy format (`sitedrain convert --to-legacy`):
// the control file PSnamel.nml and the positional parameter file.
#pragma once

#include <string>

#include "control/control_file.h"
#include "params/design_params.h"
#include "site/site_writer.h"

namespace sitedrain::site {

struct LegacyTexts {
  std::string control;     // PSnamel.nml
  std::string parameters;  // the parameter file
};

// In: a case's parameter set and run files, the parameter file's name and
// the descriptor file's name as the control file gives them (relative to
// the folder the files go to).  Out: both texts.  Throws ConvertError for a
// value the legacy columns cannot hold exactly (it is refused, not cut).
LegacyTexts legacy_texts(const params::DesignParams& p, const control::RunFiles& files,
                         const std::string& parameter_file, const std::string& descriptor);

}  // namespace sitedrain::site
