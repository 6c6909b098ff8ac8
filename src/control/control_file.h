// The control file "PSnamel.nml": namelist group IFILES naming the two input
// files, the eight output files and the descriptor line count.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "rainfall/depth_grid.h"

namespace sitedrain::control {

inline constexpr std::size_t kNameLength = 150;

// The items of group IFILES as read; an element the file does not assign is
// empty (std::nullopt).  Texts are kept whole (the joins cut them at 150
// characters; the output names refuse a longer one).
struct ControlItems {
  std::array<std::optional<std::string>, 2> ipath, ifilename;
  std::array<std::optional<std::string>, 8> opath, ofilename;
  std::optional<int> numline;
  // DDFMODEL: 'FEH99', 'FEH13' or 'FEH22' (blanks and case ignored).
  std::optional<rainfall::DdfModel> ddfmodel;
};

// Parses the namelist text.  Text before the group is skipped; names in any
// case and order; quotes of both kinds with doubled delimiters; whole arrays,
// indexed elements, r*value; values over several lines; "!" comments.  A
// malformed group, or a DDFMODEL other than the three models, shows a
// message naming the file and line, then stops.
ControlItems parse_control(std::string_view text, std::string_view file_name);

// What the driver needs: full names and the line count.
struct RunFiles {
  std::array<std::string, 2> input;   // full names
  std::array<std::string, 8> output;  // full names (plain joins)
  int numline = 0;
  std::string location;  // site name from input file 2's name, may be empty
  std::array<std::string, 8> opath, ofilename;  // elements, for the rebuild
  rainfall::DdfModel ddf_model = rainfall::DdfModel::FEH99;  // DDFMODEL, FEH99 when absent
};

// Checks that every needed item is assigned and that no name element holds
// a control character (else a message naming the item and a stop), and forms
// the names.
RunFiles resolve_files(const ControlItems& items, std::string_view file_name);

// Reads the control file from the working directory ("ERROR opening namelist
// file" and a stop when it cannot be opened).
RunFiles read_control_file(const std::string& file_name = "PSnamel.nml");

// A file the command line asks the run to write besides its eight outputs:
// the option ("--report", "--csv") and the absolute name.
struct CommandLineOutput {
  std::string option, name;
};

// Thrown by output_names when a file named on the command line is one file
// with an input, an output or another such file: the run cannot go on, and
// ends as for a command line that cannot run.  message names both.
struct OutputClash {
  std::string message;
};

// The eight output names as the run opens them: the plain joins, and the
// rebuilt names for output 1 and the chosen season's file.  Stops with a
// message naming the items, before any output exists, when a name element or
// a joined name is longer than 150 characters, or when two outputs, or an
// output and an input (the control file file_name included), are one regular
// file (output 1 and the season's file are one item when season = 1; devices
// such as /dev/null may be shared).  The files of `more` are checked the same
// way against all of these and each other; a clash throws OutputClash.
std::array<std::string, 8> output_names(const RunFiles& files, int season,
                                        std::string_view file_name = "PSnamel.nml",
                                        std::span<const CommandLineOutput> more = {});

// The plain join: path with trailing blanks removed, then the name likewise,
// cut at 150 characters.
std::string join_name(std::string_view path, std::string_view name);

// The rebuild of output file 1 and of the chosen season's file: the parts of
// the name before and from its first "." each cut to 35 characters and
// stripped, appended to the stripped path.  Without a "." the plain join.
std::string rebuild_name(std::string_view path, std::string_view name);

// The site name: the text after the first "_" of the name up to the next
// "_", which must lie within the 35 characters after the first; else blank.
std::string site_location(std::string_view ifilename2);

}  // namespace sitedrain::control
