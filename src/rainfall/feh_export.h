// The FEH XML export as catchment descriptor file.  Root element
// FEHCDROMExportedDescriptors or FEHDescriptors; its first child element is
// CatchmentDescriptors (a catchment) or PointDescriptors (a point), with the
// grid reference in its x and y attributes and, as child elements, area,
// saar, saar4170, sprhost, the 1999 model parameters (CatchmentAverageDDFValues
// c..f, PointDDFValues c_1_km..f_1_km) and the depth grids
// CatchmentAverageDDF2013Values, CatchmentAverageDDF2022Values,
// PointDDF2013Values and PointDDF2022Values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "params/design_params.h"
#include "params/run_setup.h"
#include "rainfall/catchment.h"
#include "rainfall/depth_grid.h"
#include "rainfall/descriptor.h"

namespace sitedrain::rainfall {

// A value of the export: absent when its element is missing, empty or NaN.
struct ExportValue {
  std::optional<double> value;
  int line = 0;  // line of its element (from 1); 0 when there is none
};

struct FehExport {
  GridKind kind = GridKind::catchment;  // of the first child element
  std::int32_t easting = 0, northing = 0;
  ExportValue area, saar, saar4170, sprhost;
  std::array<ExportValue, 6> catchment_ddf, point_ddf;  // c, d1, d2, d3, e, f
  // Depth grids by model (FEH13, FEH22) and kind (catchment, point).
  std::array<std::array<std::optional<DepthGrid>, 2>, 2> grids;

  // In: FEH13 or FEH22 and a kind.  Out: that grid, when the export has it.
  const std::optional<DepthGrid>& grid(DdfModel model, GridKind kind) const;
};

// In: a model (FEH13 or FEH22) and a kind.  Out: the name of the grid's
// element, e.g. "CatchmentAverageDDF2022Values".
std::string_view grid_element_name(DdfModel model, GridKind kind);

// In: the start of a file.  Out: true when it begins, after blanks and a
// UTF-8 byte-order mark, with "<": an XML export rather than key,value lines.
bool is_xml_export(std::string_view text);

// In: a file name.  Out: the whole file when it is an XML export; nothing when
// it is not, or cannot be read (then it is read as key,value lines).  An
// export longer than 16 MiB stops the run; no more than one byte beyond that
// is read (a special file or an endless stream given by mistake).
std::optional<std::string> read_xml_export_text(const std::string& file_name);

// In: the file's text and name.  Out: the export's values.  Malformed XML, a
// NUL byte, text or an element beside the root element, a wrong root or
// first child, a value that is not a number, a list of the wrong length,
// durations or return periods not strictly increasing (or a return period of
// 1 or less), or a depth of 0 or less, above 10000 mm, or not increasing with
// return period and duration, stop the run with a message naming the file,
// the line, the element and what is wrong (a text echoed shows control
// characters and bytes above 126 as \xNN and is cut after 60 characters).
// Depth grids: ReturnPeriods and one Depths element per duration (the
// duration attribute, in hours, or without it the 15 standard durations
// 0.083 h to 240 h); lists are separated by commas.  A duration within 0.03
// min of a whole minute is taken as that minute (0.083 h is the 5-minute
// storm).
FehExport parse_feh_export(std::string_view text, std::string_view file_name);

// In: the export, point and arff.  Out: the catchment record's grid reference,
// SAAR4170, SAAR, AREA, SPRHOST and C..F (of the catchment set when point is
// 0, of the point set otherwise), and the keys found.  point and arff both
// above 0 stop the run, as for a key,value file.
DescriptorKeys apply_feh_export(const FehExport& x, int point, int arff, Catchment& c);

// In: the run's model, the export (null for a key,value file), the run and
// the file name.  Out: the catchment record's model, grid kind and, for FEH13
// and FEH22 when the run computes a depth table, its depth grid.  Stops when
// such a run has no XML export, when the export lacks the grid (naming it),
// or when a return period or duration lies outside the grid.
void use_depth_model(DdfModel model, const FehExport* x, const params::DesignParams& p,
                     const params::RunSetup& setup, std::string_view file_name, Catchment& c);

}  // namespace sitedrain::rainfall
