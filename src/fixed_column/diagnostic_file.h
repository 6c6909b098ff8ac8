// The diagnostic time series: the two heading lines, and one line per
// one-second step of a storm simulation (rain, infiltration, inflow,
// outflow, depth and stored volume).
#pragma once

#include <string>

#include "storage/diagnostic_sink.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: the diagnostic file.  Out: its two heading lines.
void write_diagnostic_headings(textio::LineSink& out);

// In: the values of one step.  Out: its line: time (min), rain and
// infiltration (depth of the step x 360), inflow, cumulative inflow, mean
// inflow rate, runoff coefficient of the step (0 when the step has no rain
// volume), outflow rate, depth and stored volume.
std::string diagnostic_line(const storage::DiagnosticStep& s);

// Receives the steps of a simulation run with the diagnostic flag and
// writes each as a line on the file given at construction.
class DiagnosticFile : public storage::DiagnosticSink {
 public:
  explicit DiagnosticFile(textio::LineSink& out) : out_(out) {}
  void step(const storage::DiagnosticStep& s) override;

 private:
  textio::LineSink& out_;
};

}  // namespace sitedrain::fixed_column
