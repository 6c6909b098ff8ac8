#include "fixed_column/progress_record.h"

#include "textio/format.h"

namespace sitedrain::fixed_column {

std::string progress_record(std::int64_t q, std::int64_t combinations) {
  return textio::fmt_f(100.0 * static_cast<double>(q) / static_cast<double>(combinations), 8, 0);
}

void write_progress(std::int64_t q, std::int64_t combinations, textio::LineSink& progress) {
  progress.line(progress_record(q, combinations));
}

}  // namespace sitedrain::fixed_column
