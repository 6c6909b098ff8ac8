// The warnings and adjustments a run shows on its console or writes to its
// log, collected in the run's words for the report's "Warnings" box.  The
// collector stands between the run and its log file (every line passes on
// unchanged) and watches the console's own lines while it lives.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "textio/console.h"
#include "textio/text_file.h"

namespace sitedrain::run {

// In: a line of the console or the log.  Out: whether it is a warning or an
// adjustment the report shows.
bool is_warning_line(std::string_view text, bool from_log);

class WarningCollector : public textio::LineSink, public console::LineObserver {
 public:
  // log: where the log lines go on to; warnings: receives the lines kept.
  WarningCollector(textio::LineSink& log, std::vector<std::string>& warnings);
  ~WarningCollector() override;
  WarningCollector(const WarningCollector&) = delete;
  WarningCollector& operator=(const WarningCollector&) = delete;

  void line(std::string_view text) override;  // a log line
  void seen(std::string_view text) override;  // a console line

 private:
  void keep(std::string_view text);
  textio::LineSink& log_;
  std::vector<std::string>& warnings_;
  console::LineObserver* before_;
  std::mutex m_;
};

}  // namespace sitedrain::run
