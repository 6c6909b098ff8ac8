// Test data of the design output tests: the runs of the example cases, a
// sink that keeps lines, and the expected files by line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "design/report_context.h"
#include "textio/text_file.h"

namespace sitedrain::design::testdata {

struct LineCapture : textio::LineSink {
  std::vector<std::string> lines;
  void line(std::string_view text) override { lines.emplace_back(text); }
};

// Everything a report context refers to, kept together.
struct Site {
  params::DesignParams p;
  params::RunSetup setup;
  rainfall::Catchment catchment;
  std::string location;
  greenfield::Rates rates;
  ReportContext context() const { return {p, setup, catchment, location, rates}; }
};

// The runs of the example cases, as their parameter and descriptor files
// describe them.
Site hexham_pond();
Site truro_sump();
Site stafford_soakaway();
Site bangor_soakaway();
Site milton_keynes_runoff();
Site perth_greenfield();

// Lines of an expected file of an example case, from line first (from 0).
std::vector<std::string> expected_lines(const std::string& case_name, const std::string& file,
                                        int first = 0);

// The numbers of a printed row, blank-separated.
std::vector<double> numbers(const std::string& row);

// Each line compared in turn, then the line counts.
void expect_same_lines(const std::vector<std::string>& got, const std::vector<std::string>& want);

}  // namespace sitedrain::design::testdata
