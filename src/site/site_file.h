// The site file "site.toml": a case in keys with names and units (see
// site/site_keys.h).  It yields the same parameter set and run files as the
// control file and the parameter file of a legacy case, so that a keyed
// case runs through the same path as its legacy twin.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "control/control_file.h"
#include "params/design_params.h"

namespace sitedrain::site {

inline constexpr std::string_view kSiteFileName = "site.toml";
inline constexpr std::string_view kControlFileName = "PSnamel.nml";

// A case read from a site file.
struct SiteCase {
  params::DesignParams params;
  control::RunFiles files;
  // The line of each key given ("climate_change_factor",
  // "subcatchment.area_m2" of the first sub-catchment, ...), for messages.
  std::map<std::string, int, std::less<>> lines;
};

// Reads a site file's text.  Names in it are relative to the folder of
// file_name, as given.  A bad input shows one message (the file, line and
// column, the key, what is wrong and what is allowed) and stops the run
// (status 1).
SiteCase parse_site_file(std::string_view text, const std::string& file_name);

// Reads the site file from disk ("ERROR opening file" and a stop when it
// cannot be read).
SiteCase read_site_file(const std::string& file_name = std::string(kSiteFileName));

}  // namespace sitedrain::site
