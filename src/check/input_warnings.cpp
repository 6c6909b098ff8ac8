#include "check/input_warnings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "params/code_names.h"
#include "params/parameter_file.h"
#include "textio/fixed_field.h"

namespace sitedrain::check {

namespace {

using params::FieldRead;
using params::RecordRead;
using Role = RecordRead::Role;

// Below this an infiltration coefficient in m/h is most likely one in m/s
// (a site test's unit): 1e-4 m/h is under a millimetre a day.
constexpr double kLeastLikelyInfiltration_m_per_h = 1e-4;
constexpr double kSecondsPerHour = 3600.0;
// The sub-catchments and the descriptor's AREA count as adding up within
// 5 %, or within half of AREA's last written digit (0.001 km^2).
constexpr double kAreaTolerance = 0.05;
constexpr double kAreaResolution_m2 = 500.0;
constexpr double kSquareMetresPerKm2 = 1.0e6;

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The character of a line at a column (from 1); a blank beyond its end.
char at(std::string_view line, int col) {
  return col >= 1 && col <= static_cast<int>(line.size()) ? line[static_cast<std::size_t>(col - 1)]
                                                          : ' ';
}

// Columns first..last of a line, as written.
std::string span(std::string_view line, int first, int last) {
  return std::string(textio::columns(line, first, last - first + 1));
}

std::string without_blanks(std::string_view text) {
  std::string s;
  for (char c : text)
    if (!is_blank(c)) s.push_back(c);
  return s;
}

std::string lower(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// "column 23", "columns 27-28".
std::string columns_text(int first, int last) {
  return first == last ? "column " + std::to_string(first)
                       : "columns " + std::to_string(first) + "-" + std::to_string(last);
}

// "0.14", "1e-09": a value as a message shows it.
std::string number_text(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

// "1.0", "1.14", "1.0e-05": a value as a real field must hold it, with a
// decimal point so that no implied decimal applies.
std::string written(double v) {
  std::string s = number_text(v);
  if (s.find('.') == std::string::npos) s.insert(std::min(s.find('e'), s.size()), ".0");
  return s;
}

// A number other than 0, and nothing else (a label's words are not; a 0
// beside a blank field says what the field reads).
bool is_number(std::string_view text) {
  if (text.empty() || !(is_digit(text[0]) || text[0] == '.' || text[0] == '+' || text[0] == '-'))
    return false;
  const std::optional<double> v = textio::parse_real(text, 0);
  return v.has_value() && *v != 0.0;
}

// The text of a field and the value the reader took from it.
std::string field_text(const RecordRead& r, const FieldRead& f) {
  return std::string(textio::columns(r.text, f.first, f.width));
}
std::string value_read(const RecordRead& r, const FieldRead& f) {
  const std::string text = field_text(r, f);
  if (f.implied_decimals < 0) return std::to_string(textio::parse_int(text).value_or(0));
  return number_text(textio::parse_real(text, f.implied_decimals).value_or(0.0));
}

std::string unit_of(std::string_view key) {
  return key == "infiltco" ? " m/h" : "";
}

class TextWarnings {
 public:
  TextWarnings(const params::ParameterTrace& trace, std::string file)
      : trace_(trace), file_(std::move(file)) {
    for (const RecordRead& r : trace.records) keys_.push_back(lower(r.key));
  }

  std::vector<InputWarning> all() {
    const std::size_t n = trace_.records.size();
    for (std::size_t i = 0; i < n; ++i) {
      const RecordRead& r = trace_.records[i];
      // A list record where the reader stopped met the next keyword record
      // early, and the reader's own message says so.
      const bool list_stop = trace_.stopped && i + 1 == n && r.role == Role::list_later;
      if (!label_warned_ && !list_stop) label(i);
      columns_of(r);
      for (const FieldRead& f : r.fields) implied(r, f);
    }
    return std::move(out_);
  }

 private:
  void add(const RecordRead& r, std::string text) {
    out_.push_back({file_, r.line, r.key, std::move(text), WarningKind::misreading});
  }

  // The label of columns 1-16 when it names a record of the file: its first
  // word after the marker, in any case.
  std::string label_key(const RecordRead& r) const {
    std::string_view head = textio::columns(r.text, 1, 16);
    std::size_t i = 0;
    while (i < head.size() && !std::isalnum(static_cast<unsigned char>(head[i]))) ++i;
    std::size_t j = i;
    while (j < head.size() && (std::isalnum(static_cast<unsigned char>(head[j])) || head[j] == '_'))
      ++j;
    return lower(head.substr(i, j - i));
  }

  // A record labelled with another record's key: the first only, since every
  // later record is then one position off as well.
  void label(std::size_t i) {
    const RecordRead& r = trace_.records[i];
    const std::string said = label_key(r);
    if (said.empty() || said == keys_[i]) return;
    const auto named = std::find(keys_.begin(), keys_.end(), said);
    if (named == keys_.end()) return;  // a free label
    const std::size_t where = static_cast<std::size_t>(named - keys_.begin());
    const RecordRead& labelled = trace_.records[where];
    add(r, "line " + std::to_string(r.line) + " is labelled `" + labelled.key + "` where `" +
               r.key + "` is expected; " +
               (where > i ? "a record may be missing above"
                          : "a record may be repeated or one too many above"));
    label_warned_ = true;
  }

  // A number across a field's edge, or beside a blank field: the first of
  // a record.
  void columns_of(const RecordRead& r) {
    if (r.fields.empty()) return;
    const std::string& t = r.text;
    const FieldRead& head = r.fields.front();
    if (std::optional<std::string> w = starts_early(r, head)) return add(r, *w);
    for (std::size_t k = 0; k < r.fields.size(); ++k) {
      const FieldRead& f = r.fields[k];
      const int last = f.first + f.width - 1;
      const char next = at(t, last + 1);
      if (is_blank(at(t, last)) || !(is_digit(next) || next == '.')) continue;
      int start = last;
      while (start > f.first && !is_blank(at(t, start - 1))) --start;
      int end = last + 1;
      while (!is_blank(at(t, end + 1))) ++end;
      const bool more = k + 1 < r.fields.size();
      return add(
          r, "`" + span(t, start, end) + "` runs past " + columns_text(last, last) +
                 ", the end of its field (" + columns_text(f.first, last) + "): it is read as " +
                 value_read(r, f) + unit_of(r.key) + " and `" + span(t, last + 1, end) + "` in " +
                 columns_text(last + 1, end) +
                 (more ? " is read as part of the next field" : ", beyond the field, is cut off") +
                 "; write the number within " + columns_text(f.first, last));
    }
    if (std::optional<std::string> w = beside_blank(r)) return add(r, *w);
    if (std::optional<std::string> w = numbers_after(r)) add(r, *w);
  }

  // Numbers and nothing else after the record's last field: values meant
  // for records of their own (a comment has words).
  static std::optional<std::string> numbers_after(const RecordRead& r) {
    const std::string& t = r.text;
    const FieldRead& last = r.fields.back();
    const int end_col = last.first + last.width - 1;
    int start = end_col + 1;
    while (start <= static_cast<int>(t.size()) && is_blank(at(t, start))) ++start;
    if (start > static_cast<int>(t.size())) return std::nullopt;
    int end = static_cast<int>(t.size());
    while (is_blank(at(t, end))) --end;
    for (int c = start; c <= end;) {
      int e = c;
      while (!is_blank(at(t, e + 1))) ++e;
      if (!textio::parse_real(span(t, c, e), 0)) return std::nullopt;
      c = e + 1;
      while (c <= end && is_blank(at(t, c))) ++c;
    }
    const std::string values = r.fields.size() == 1 ? "one value" : "its values";
    return "`" + span(t, start, end) + "` in " + columns_text(start, end) +
           " is not read: the record holds " + values + " in " +
           columns_text(r.fields.front().first, end_col) + " (read as " + value_read(r, last) +
           unit_of(r.key) + "); a list takes one record per value";
  }

  // A number begun in the label's columns and ended in the field.
  static std::optional<std::string> starts_early(const RecordRead& r, const FieldRead& f) {
    const std::string& t = r.text;
    if (is_blank(at(t, f.first)) || !(is_digit(at(t, f.first - 1)) || at(t, f.first - 1) == '.'))
      return std::nullopt;
    int start = f.first - 1;
    while (start > 2 && (is_digit(at(t, start - 1)) || at(t, start - 1) == '.' ||
                         at(t, start - 1) == '-' || at(t, start - 1) == '+'))
      --start;
    if (start <= 2 || !is_blank(at(t, start - 1))) return std::nullopt;  // part of a label word
    int end = f.first;
    while (!is_blank(at(t, end + 1))) ++end;
    return "`" + span(t, start, end) + "` starts before " + columns_text(f.first, f.first) +
           ", where its field begins (" + columns_text(f.first, f.first + f.width - 1) +
           "): it is read as " + value_read(r, f) + unit_of(r.key) + " and `" +
           span(t, start, f.first - 1) + "` in " + columns_text(start, f.first - 1) +
           ", in the label's columns, is cut off; write the number within " +
           columns_text(f.first, f.first + f.width - 1);
  }

  // A blank field (read as 0) with a number just before it, in the label's
  // columns, or just after the record's last field.
  static std::optional<std::string> beside_blank(const RecordRead& r) {
    const std::string& t = r.text;
    const FieldRead& first = r.fields.front();
    const FieldRead& last = r.fields.back();
    auto blank_field = [&](const FieldRead& f) { return without_blanks(field_text(r, f)).empty(); };
    auto reads_zero = [&](const FieldRead& f) {
      return "the field (" + columns_text(f.first, f.first + f.width - 1) +
             ") is blank and is read as 0" + unit_of(r.key) + "; `";
    };
    if (blank_field(last)) {
      int start = last.first + last.width;
      while (start <= static_cast<int>(t.size()) && is_blank(at(t, start))) ++start;
      int end = start;
      while (!is_blank(at(t, end + 1))) ++end;
      if (start <= static_cast<int>(t.size()) && is_number(span(t, start, end)))
        return reads_zero(last) + span(t, start, end) + "` in " + columns_text(start, end) +
               ", beyond the field, is cut off; write the number within " +
               columns_text(last.first, last.first + last.width - 1);
    }
    if (blank_field(first)) {
      int end = first.first - 1;
      while (end > 1 && is_blank(at(t, end))) --end;
      int start = end;
      while (start > 1 && !is_blank(at(t, start - 1))) --start;
      if (end > 1 && is_number(span(t, start, end)))
        return reads_zero(first) + span(t, start, end) + "` in " + columns_text(start, end) +
               ", in the label's columns, is cut off; write the number within " +
               columns_text(first.first, first.first + first.width - 1);
    }
    return std::nullopt;
  }

  // A real field written without a decimal point reads its digits as
  // hundredths or ten-thousandths.
  void implied(const RecordRead& r, const FieldRead& f) {
    if (f.implied_decimals <= 0) return;
    const std::string text = without_blanks(field_text(r, f));
    if (text.empty() || text.find('.') != std::string::npos) return;
    const double read = textio::parse_real(text, f.implied_decimals).value_or(0.0);
    if (read == 0.0) return;
    const double digits = textio::parse_real(text, 0).value_or(0.0);
    const bool exponent = text.find_first_of("eEdD") != std::string::npos;
    const std::string n = std::to_string(f.implied_decimals);
    add(r, "`" + text + "` has no decimal point, so " +
               (exponent ? n + " implied decimals apply before the exponent"
                         : "its last " + n + " digits are decimals") +
               ": it is read as " + number_text(read) + unit_of(r.key) + "; " +
               likely_meant(r.key, digits, read, exponent));
  }

  // What to write for the likely intent of digits typed without a point.
  static std::string likely_meant(std::string_view key, double digits, double read, bool exponent) {
    const std::string d = number_text(digits);
    const double w = digits > 0.0 ? digits : 1.0e9;  // no guess for a negative value
    if (key == "cchgfac" && w < 10)
      return "for a factor of " + d + (digits == 1 ? " (no change)" : "") + " write `" +
             written(digits) + "`";
    if (key == "cchgfac" && w < 100) {
      std::string s = "for +" + d + " % write `" + written(1 + digits / 100) + "`";
      if (w <= 30)
        s += "; for a factor of " + number_text(digits / 10) + " write `" + written(digits / 10) +
             "`";
      return s;
    }
    if (key == "ffill" && w < 100)
      return "for a fill of " + d + " % write `" + written(digits / 100) + "`";
    if (key == "infiltco" && digits > 0.0)
      return "for " + d + " m/h write `" + written(digits) + "`; for " + d +
             (exponent ? " m/s (a site test's unit) write `" + written(digits * kSecondsPerHour)
                       : " mm/h write `" + written(digits / 1000)) +
             "` (m/h)";
    return "if " + number_text(read) + " is meant, write `" + written(read) + "` to say so";
  }

  const params::ParameterTrace& trace_;
  std::string file_;
  std::vector<std::string> keys_;  // each record's key, lower case
  std::vector<InputWarning> out_;
  bool label_warned_ = false;
};

// "30 and 120 min", "60 min".
std::string durations_text(const std::vector<int>& d) {
  std::string s;
  for (std::size_t i = 0; i < d.size(); ++i)
    s += (i == 0 ? "" : i + 1 == d.size() ? " and " : ", ") + std::to_string(d[i]);
  return s + " min";
}

}  // namespace

std::vector<InputWarning> parameter_file_warnings(textio::LineReader& in) {
  const std::string file = in.name();
  return TextWarnings(params::trace_parameter_file(in), file).all();
}

std::vector<InputWarning> parameter_file_warnings(const std::string& path) {
  textio::LineReader in;
  if (!in.open(path)) return {};
  return parameter_file_warnings(in);
}

std::vector<InputWarning> design_value_warnings(const params::DesignParams& p,
                                                const params::RunSetup& setup,
                                                const rainfall::Catchment* catchment,
                                                const std::string& file) {
  std::vector<InputWarning> out;
  auto add = [&](const char* field, std::string text, WarningKind kind) {
    out.push_back({file, 0, field, std::move(text), kind});
  };
  const WarningKind misreading = WarningKind::misreading;
  // A structure is sized (not runoff estimates only).
  const bool design = p.storage_run() && p.storage_kind != params::StorageKind::runoff_only;
  const bool soakaway = design && p.storage_kind == params::StorageKind::soakaway;

  if (params::find_loss_model_code(p.loss_model_code) == nullptr && p.storage_run())
    add("rom",
        "rom " + std::to_string(p.loss_model_code) + " is not a loss model code (" +
            std::to_string(params::kLossModelCodes.front().code) + "-" +
            std::to_string(params::kLossModelCodes.back().code) +
            "); the run uses Final-value Horton, code 0",
        misreading);
  if (!p.greenfield_only() && p.climate_change_factor > 0.0 && p.climate_change_factor < 1.0)
    add("cchgfac",
        "a climate-change factor of " + number_text(p.climate_change_factor) +
            " is below 1 and reduces every design rainfall depth; write `1.0` for no change, "
            "`1.4` for +40 %",
        misreading);
  if (soakaway && p.soakaway_sides_code == 4)
    add("sideno",
        "side code 4 lets " + params::infiltrating_sides_text(4) +
            " infiltrate besides the base, not four sides; for all four sides write a code "
            "outside 0-7, such as 8",
        misreading);
  if (soakaway && p.infiltration_coefficient_m_per_h > 0.0 &&
      p.infiltration_coefficient_m_per_h < kLeastLikelyInfiltration_m_per_h)
    add("infiltco",
        "an infiltration coefficient of " + number_text(p.infiltration_coefficient_m_per_h) +
            " m/h is below " + number_text(kLeastLikelyInfiltration_m_per_h) +
            " m/h: likely a value in m/s typed as m/h; " +
            number_text(p.infiltration_coefficient_m_per_h) + " m/s is " +
            number_text(p.infiltration_coefficient_m_per_h * kSecondsPerHour) + " m/h (write `" +
            written(p.infiltration_coefficient_m_per_h * kSecondsPerHour) + "`)",
        misreading);
  if (design && p.half_emptying_limit_h == 0)
    add("rhmpt",
        "a half-emptying limit of 0 h: no design half-empties within it, so the report lists "
        "none that half-empties in time; designs are commonly asked to half-empty within 24 h",
        misreading);
  if (design && p.lagoon_ratio == 0)
    add("lagoonratio",
        "a lagoon ratio of 0 does not mean no settlement lagoon: its area (the peak outflow "
        "over 0.036 m/h) is still sized and added to the water area of every design; only "
        "its length and width stay 0",
        misreading);
  if (design && p.diagnostic_series != 1 && setup.durations.size() < 3)
    add("dur",
        std::to_string(setup.durations.size()) + " storm duration" +
            (setup.durations.size() == 1 ? "" : "s") + " (" + durations_text(setup.durations) +
            "): fewer than three cannot bracket the critical storm; give durations on both "
            "sides of it",
        WarningKind::design);
  if (p.storage_run() && p.areal_reduction == 1 && p.areal_reduction_area_code == 1 &&
      catchment != nullptr && catchment->AREA > 0.0) {
    const double area_m2 = catchment->AREA * kSquareMetresPerKm2;
    const double gap = std::fabs(setup.total_area - area_m2);
    if (gap > kAreaTolerance * area_m2 && gap > kAreaResolution_m2)
      add("area",
          "the sub-catchments add up to " + number_text(setup.total_area) + " m^2 (" +
              number_text(setup.total_area / kSquareMetresPerKm2) +
              " km^2) but the areal reduction uses the descriptor's AREA of " +
              number_text(catchment->AREA) +
              " km^2 (ctchm 1); ctchm 2 uses the sub-catchments' total",
          WarningKind::design);
  }
  return out;
}

namespace {

// The warnings of a parameter file's text and, with p, of its values.
std::vector<InputWarning> case_warnings(const params::ParameterTrace& trace,
                                        const std::string& path, const params::DesignParams* p,
                                        const params::RunSetup& setup,
                                        const rainfall::Catchment* catchment) {
  std::vector<InputWarning> out = TextWarnings(trace, path).all();
  if (p == nullptr) return out;
  const std::size_t text_count = out.size();
  for (InputWarning& w : design_value_warnings(*p, setup, catchment, path)) {
    const auto same_field = [&](const InputWarning& t) { return t.field == w.field; };
    if (std::any_of(out.begin(), out.begin() + static_cast<long>(text_count), same_field)) continue;
    for (const RecordRead& r : trace.records)
      if (r.key == w.field) {
        w.line = r.line;
        break;
      }
    out.push_back(std::move(w));
  }
  std::stable_sort(out.begin(), out.end(), [](const InputWarning& a, const InputWarning& b) {
    return (a.line == 0 ? 1 << 30 : a.line) < (b.line == 0 ? 1 << 30 : b.line);
  });
  return out;
}

}  // namespace

std::vector<InputWarning> legacy_case_warnings(const std::string& path,
                                               const params::DesignParams* p,
                                               const params::RunSetup* setup,
                                               const rainfall::Catchment* catchment) {
  textio::LineReader in;
  if (!in.open(path)) return {};
  const params::ParameterTrace trace = params::trace_parameter_file(in);
  if (setup == nullptr) p = nullptr;
  return case_warnings(trace, path, p, setup ? *setup : params::RunSetup{}, catchment);
}

std::vector<InputWarning> run_warnings(const std::string& parameter_file,
                                       const results::ReportHeadData* head) {
  if (parameter_file.empty()) return {};
  textio::LineReader in;
  if (!in.open(parameter_file)) return {};
  const params::ParameterTrace trace = params::trace_parameter_file(in);
  // After a stop the values as read serve: the misreadings need no set-up.
  params::RunSetup setup;
  const params::DesignParams* p = trace.stopped ? nullptr : &trace.params;
  if (head != nullptr) {
    p = &head->params;
    setup.return_periods = head->return_periods;
    setup.durations = head->durations;
    setup.total_area = head->total_area;
  }
  std::vector<InputWarning> out =
      case_warnings(trace, parameter_file, p, setup, head ? &head->catchment : nullptr);
  std::erase_if(out, [](const InputWarning& w) { return w.kind != WarningKind::misreading; });
  return out;
}

std::string warning_line(const InputWarning& w) {
  std::string s = "WARNING " + w.file;
  if (w.line > 0) s += ", line " + std::to_string(w.line);
  if (!w.field.empty()) s += ", " + w.field;
  return s + ": " + w.text;
}

}  // namespace sitedrain::check
