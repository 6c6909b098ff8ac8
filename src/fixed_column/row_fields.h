// Field helpers shared by the table rows of the report and the full results
// file: whole numbers taken from reals by truncation or by the system's
// rounding, and multi-line texts handed on line by line.
#pragma once

#include <cmath>
#include <string>
#include <string_view>

#include "numeric/rounding.h"
#include "textio/format.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column::fields {

// In: a real x and a width w.  Out: trunc(x) (toward zero) as Iw; a value
// that is not finite or beyond any whole-number field gives asterisks.
inline std::string trunc_i(double x, int w) {
  if (!std::isfinite(x) || std::fabs(x) >= 1e18)
    return std::string(static_cast<std::size_t>(w), '*');
  return textio::fmt_i(static_cast<long long>(std::trunc(x)), w);
}

// In: a real x and a width w.  Out: round(x) = round_places(x, 0, 1) as Iw.
inline std::string round_i(double x, int w) {
  return textio::fmt_i(static_cast<long long>(numeric::round_places(x, 0, 1)), w);
}

// In: a text of lines each ended by '\n' (as ten_per_line gives) and a sink.
// Out: each line written to the sink without its line end.
inline void put_lines(std::string_view text, textio::LineSink& out) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) end = text.size();
    out.line(text.substr(0, end));
    text.remove_prefix(end < text.size() ? end + 1 : end);
  }
}

}  // namespace sitedrain::fixed_column::fields
