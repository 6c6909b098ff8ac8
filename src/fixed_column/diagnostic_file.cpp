#include "fixed_column/diagnostic_file.h"

#include "textio/format.h"

namespace sitedrain::fixed_column {

using textio::fmt_f;

void write_diagnostic_headings(textio::LineSink& out) {
  out.line(
      "     TIME         RAIN      INFILT      INFLOW      CUMFLOW    MEANFLOW     RNFFCFF     "
      "FLOWOUT      DEPTH      STORAGE");
  out.line(
      "    (min)        (mm/h)      (mm/h)      (m^3)       (m^3)      (m^3/s)                 "
      "(m^3/s)       (m)        (m^3)");
}

std::string diagnostic_line(const storage::DiagnosticStep& s) {
  const double coefficient = s.rain_volume != 0.0 ? s.inflow / s.rain_volume : 0.0;
  std::string line = " ";
  line += fmt_f(s.t / 60.0, 10, 5);
  for (double v : {s.rain * 360.0, s.infilt * 360.0, s.inflow, s.cumflow, s.meanflow, coefficient,
                   s.flowout, s.depth, s.storage})
    line += fmt_f(v, 12, 5);
  return line;
}

void DiagnosticFile::step(const storage::DiagnosticStep& s) {
  out_.line(diagnostic_line(s));
}

}  // namespace sitedrain::fixed_column
