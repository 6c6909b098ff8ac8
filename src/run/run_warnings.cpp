#include "run/run_warnings.h"

#include <array>

namespace sitedrain::run {

namespace {

// The console's warnings: the run's own, the inputs', the top dimensions
// adjusted, and the numerical routines' (the run goes on after them).
constexpr std::array<std::string_view, 7> kConsolePrefixes = {"WARNING",
                                                              "Incompatible initial",
                                                              "root must be bracketed",
                                                              "rtsafe",
                                                              "a too large, ITMAX",
                                                              "x < 0 in gser",
                                                              "bad arguments in gamm"};
// The log's: the depth cut for a storm, storms without runoff and sizings
// that did not settle.
constexpr std::array<std::string_view, 3> kLogPrefixes = {
    "Maxdepth too large", "There was no runoff from the catchment for storms",
    "unable to get stability"};

}  // namespace

bool is_warning_line(std::string_view text, bool from_log) {
  const std::size_t begin = text.find_first_not_of(' ');
  const std::string_view t = text.substr(begin == std::string_view::npos ? text.size() : begin);
  if (from_log) {
    for (std::string_view p : kLogPrefixes)
      if (t.starts_with(p)) return true;
    return false;
  }
  for (std::string_view p : kConsolePrefixes)
    if (t.starts_with(p)) return true;
  return false;
}

WarningCollector::WarningCollector(textio::LineSink& log, std::vector<std::string>& warnings)
    : log_(log), warnings_(warnings), before_(console::observe_lines(this)) {}

WarningCollector::~WarningCollector() {
  console::observe_lines(before_);
}

void WarningCollector::line(std::string_view text) {
  log_.line(text);
  if (is_warning_line(text, true)) keep(text);
}

void WarningCollector::seen(std::string_view text) {
  if (is_warning_line(text, false)) keep(text);
}

void WarningCollector::keep(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  const std::size_t end = text.find_last_not_of(' ');
  std::lock_guard<std::mutex> lock(m_);
  warnings_.emplace_back(text.substr(begin, end + 1 - begin));  // a kept line is never blank
}

}  // namespace sitedrain::run
