// The catchment descriptor file: line 1 the grid reference (easting, northing,
// then anything), lines 2 on "key,value" pairs.  Only the first 30 characters
// of a line count.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/catchment.h"
#include "rainfall/depth_grid.h"
#include "textio/text_file.h"

namespace sitedrain::rainfall {

// Characters of a descriptor line that are read.
inline constexpr std::size_t kDescriptorLineWidth = 30;

// The elements of C, D1, D2, D3, E, F in an FEH XML export: of
// CatchmentAverageDDFValues, and of PointDDFValues.
inline constexpr std::array<std::string_view, 6> kXmlCatchmentDdf = {"c",  "d1", "d2",
                                                                     "d3", "e",  "f"};
inline constexpr std::array<std::string_view, 6> kXmlPointDdf = {"c_1_km",  "d1_1_km", "d2_1_km",
                                                                 "d3_1_km", "e_1_km",  "f_1_km"};

// Reads exactly numline lines from the open file, each cut or blank-padded to
// 30 characters.  A file with fewer lines (or numline below 1) stops the run
// with a message naming the file and the counts.
std::vector<std::string> read_descriptor_lines(textio::LineReader& in, int numline);

// Line 1: the easting is the text before the first comma, the northing the
// text between the first and second commas (blank, so 0, without a second
// comma); each is read whole as an integer, blanks ignored.  A text that is
// not a whole number stops the run naming the file, line 1 and the text.
void parse_grid_reference(std::string_view line1, std::string_view file_name, Catchment& c);

// Which keys the file held (for C..F: of the set chosen by point).
struct DescriptorKeys {
  bool SAAR4170 = false, SAAR = false, AREA = false;
  bool C = false, D1 = false, D2 = false, D3 = false, E = false, F = false;
  // Line (from 1) that last gave each of these values; 0 when none did.
  int SAAR4170_line = 0, SAAR_line = 0, AREA_line = 0;
  // The file is an FEH XML export: messages name its elements (saar, c_1_km).
  bool xml = false;
};

// Lines 2.. (lines[1..]): fills SAAR4170, SAAR (integer reads), AREA, SPRHOST
// and C..F (from the "(1km)" keys when point is not 0) of c.  Values are the
// first 10 characters after the first comma, reals with 3 implied decimals.
// Keys match exactly, case-sensitive, trailing blanks ignored; a later line
// wins.  point and arff both above 0 stops the run at the first key line; so
// does a value that is not a number (naming the file, line and text).
DescriptorKeys parse_descriptor_values(const std::vector<std::string>& lines, int point, int arff,
                                       std::string_view file_name, Catchment& c);

// Stops the run, with one message naming every missing key, when the file
// lacks a key this run needs: when the design rainfall table is computed the
// six model parameters of the chosen set and SAAR4170 for a duration under an
// hour (FEH99 only: the depth grids need neither), SAAR for a seasonal run,
// AREA for areal reduction on the descriptor area; and SAAR4170 whenever
// greenfield rates are asked for.
void check_descriptor_keys(const DescriptorKeys& keys, const params::DesignParams& p,
                           const params::RunSetup& setup, std::string_view file_name,
                           DdfModel model = DdfModel::FEH99);

// After check_descriptor_keys: stops the run, naming the file, the line and
// the key, when a value this run needs lies outside the rainfall models'
// domain: SAAR, SAAR4170 and AREA must be greater than 0 wherever
// check_descriptor_keys requires them.
void check_descriptor_values(const DescriptorKeys& keys, const Catchment& c,
                             const params::DesignParams& p, const params::RunSetup& setup,
                             std::string_view file_name, DdfModel model = DdfModel::FEH99);

}  // namespace sitedrain::rainfall
