// Advice on a legacy parameter file: each value typed the natural way but
// read as something else gets a warning naming the line, the field, what was
// read and what was probably meant; the run shows the misreadings on standard
// error after an unchanged console.
#include "check/input_warnings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "params/parameter_file.h"
#include "support/base_case.h"
#include "textio/console.h"
#include "textio/stop.h"

namespace sitedrain::testing {
namespace {

using check::InputWarning;
using check::WarningKind;

// The warnings of a case as `check` gets them: the text of the file and, when
// it reads to the end, its values with the base case's catchment AREA.
std::vector<InputWarning> warnings_of(const Lines& lines) {
  const TempDir dir("warnings");
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  const std::string path = (dir / "params.txt").string();
  write_file(path, text);
  std::optional<params::DesignParams> p;
  params::RunSetup setup;
  {
    console::Recording silent;
    const console::Redirect quiet(silent);
    try {
      textio::LineReader in(path);
      p = params::read_parameter_file(in);
      setup = params::make_run_setup(*p);
    } catch (const RunStop&) {
      p.reset();
    }
  }
  rainfall::Catchment catchment;
  catchment.AREA = 1.73;
  std::vector<InputWarning> w =
      check::legacy_case_warnings(path, p ? &*p : nullptr, &setup, &catchment);
  return w;
}

Lines soakaway(Lines l) {
  return set(set(l, "soak", "     1"), "infiltco", " 0.036");
}

// The lines with a keyword record replaced whole.
Lines replaced(Lines l, const std::string& key, const std::string& line) {
  l[record_index(l, key)] = line;
  return l;
}

Lines without(Lines l, const std::string& key) {
  l.erase(l.begin() + static_cast<long>(record_index(l, key)));
  return l;
}

struct Item {
  const char* what;
  Lines lines;
  int line;
  std::string field;
  std::vector<std::string> says;  // what was read and what was probably meant
  WarningKind kind = WarningKind::misreading;
};

TEST(InputWarnings, EachMisreadingNamesLineFieldReadingAndIntent) {
  const Lines b = base_parameter_lines(), soak = soakaway(b);
  const Item items[] = {
      {"1: +40 %",
       set(b, "cchgfac", "    40"),
       15,
       "cchgfac",
       {"`40` has no decimal point", "read as 0.4;", "for +40 % write `1.4`"}},
      {"1: no change",
       set(b, "cchgfac", "     1"),
       15,
       "cchgfac",
       {"read as 0.01;", "(no change) write `1.0`"}},
      {"2: one column right",
       set_list(b, "ndur", 2, "dur", {"    30", "   1440"}),
       14,
       "dur",
       {"`1440` runs past column 22", "read as 144", "`0` in column 23", "cut off"}},
      {"2: right-aligned at 28",
       set(b, "rhmpt", "          24"),
       37,
       "rhmpt",
       {"blank and is read as 0", "`24` in columns 27-28", "within columns 17-22"}},
      {"2: sides at 28",
       set(soak, "sideno", "           9"),
       34,
       "sideno",
       {"read as 0", "`9` in column 28"}},
      {"2: begun in the label",
       replaced(b, "hydromarea", "*hydromarea    10"),
       3,
       "hydromarea",
       {"`10` starts before column 17", "read as 0", "`1` in column 16"}},
      {"2: triple one column right",
       set(b, "tpod", "     75   125    25"),
       30,
       "tpod",
       {"`75` runs past column 22", "read as 7", "`5` in column 23 is read as part of the next"}},
      {"2: rhmpt 0 as written",
       set(b, "rhmpt", "     0"),
       37,
       "rhmpt",
       {"half-emptying limit of 0 h", "24 h"}},
      {"3: four sides",
       set(soak, "sideno", "     4"),
       34,
       "sideno",
       {"side code 4 lets both length sides (4)", "such as 8"}},
      {"4: 30 % fill",
       set(soak, "ffill", "    30"),
       35,
       "ffill",
       {"read as 0.003;", "for a fill of 30 % write `0.3`"}},
      {"5: m/s without a point",
       set(soak, "infiltco", "  1e-5"),
       36,
       "infiltco",
       {"4 implied decimals apply before the exponent", "read as 1e-09 m/h",
        "for 1e-05 m/s (a site test's unit) write `0.036` (m/h)"}},
      {"5: digits",
       set(soak, "infiltco", "    36"),
       36,
       "infiltco",
       {"read as 0.0036 m/h", "for 36 m/h write `36.0`", "for 36 mm/h write `0.036`"}},
      {"5: m/s with a point",
       set(soak, "infiltco", "1.0e-5"),
       36,
       "infiltco",
       {"1e-05 m/h is below 0.0001 m/h", "1e-05 m/s is 0.036 m/h"}},
      {"6: no lagoon",
       set(b, "lagoonratio", "     0"),
       38,
       "lagoonratio",
       {"does not mean no settlement lagoon", "still sized"}},
      {"7: a record deleted",
       without(b, "fixed"),
       23,
       "fixed",
       {"line 23 is labelled `point` where `fixed` is expected; a record may be missing above"}},
      {"7: a record repeated",
       [&] {
         Lines l = b;
         l.insert(l.begin() + 15, l[14]);
         return l;
       }(),
       16,
       "rom",
       {"line 16 is labelled `cchgfac` where `rom` is expected; a record may be repeated"}},
      {"rom code",
       set_list(set(b, "rom", "     6"), "nsubc", 2, "surface", {"     4", "     5"}),
       16,
       "rom",
       {"rom 6 is not a loss model code (0-3)", "Final-value Horton"}},
      {"check: two durations",
       b,
       13,
       "dur",
       {"2 storm durations (30 and 60 min)", "cannot bracket"},
       WarningKind::design},
      {"check: descriptor area",
       set(b, "ctchm", "     1"),
       41,
       "area",
       {"add up to 23700 m^2", "AREA of 1.73 km^2"},
       WarningKind::design},
  };
  for (const Item& item : items) {
    const std::vector<InputWarning> all = warnings_of(item.lines);
    std::vector<InputWarning> of_kind;
    for (const InputWarning& w : all)
      if (w.kind == item.kind && !(item.kind == WarningKind::design && w.field != item.field))
        of_kind.push_back(w);
    ASSERT_EQ(of_kind.size(), 1u) << item.what << ": " << ::testing::PrintToString(all.size());
    const InputWarning& w = of_kind.front();
    EXPECT_EQ(w.line, item.line) << item.what;
    EXPECT_EQ(w.field, item.field) << item.what;
    for (const std::string& s : item.says)
      EXPECT_NE(w.text.find(s), std::string::npos) << item.what << "\n" << w.text;
  }
}

TEST(InputWarnings, CorrectFilesAndFreeLabelsGiveNone) {
  // Three durations and the sub-catchments' area: nothing to say.
  Lines l = set_list(base_parameter_lines(), "ndur", 3, "dur", {"    30", "    60", "   120"});
  EXPECT_TRUE(warnings_of(l).empty());
  // Labels are free text; comments after a value are ignored; lower or upper
  // case; a blank field with a 0 beside it reads what it says.
  l = set(l, "fixed", "          0 = not used");
  for (std::string& line : l) {
    if (line[0] == '*') line.replace(1, 15, "Value of this  ");
    line += "   a comment 12";
  }
  l[0] = "*PONDS              1";
  EXPECT_TRUE(warnings_of(l).empty());
}

// Runs the base case changed by one record and returns the console (standard
// output, then standard error).
std::string console_with(const std::string& key, const std::string& value) {
  return run_with(set(base_parameter_lines(), key, value)).run.console;
}

// The reading the warning describes: `14` in cchgfac's field is 0.14.
TEST(InputWarnings, DigitsWithoutAPointTakeTheImpliedDecimals) {
  const TempDir dir("implied");
  std::string text;
  for (const std::string& l : set(base_parameter_lines(), "cchgfac", "    14")) text += l + "\n";
  write_file(dir / "params.txt", text);
  console::Recording silent;
  const console::Redirect quiet(silent);
  textio::LineReader in((dir / "params.txt").string());
  EXPECT_EQ(params::read_parameter_file(in).climate_change_factor, 0.14);
}

TEST(InputWarnings, RunShowsMisreadingsAfterAnUnchangedConsole) {
  const std::string digits = console_with("cchgfac", "    14");
  const std::string point = console_with("cchgfac", "  0.14");
  const std::string digits_warning =
      "WARNING params.txt, line 15, cchgfac: `14` has no decimal point, so its last 2 digits "
      "are decimals: it is read as 0.14; for +14 % write `1.14`; for a factor of 1.4 write "
      "`1.4`\n";
  const std::string point_warning =
      "WARNING params.txt, line 15, cchgfac: a climate-change factor of 0.14 is below 1 and "
      "reduces every design rainfall depth; write `1.0` for no change, `1.4` for +40 %\n";
  ASSERT_GT(digits.size(), digits_warning.size());
  EXPECT_EQ(digits.substr(digits.size() - digits_warning.size()), digits_warning);
  EXPECT_EQ(digits.substr(0, digits.size() - digits_warning.size()),
            point.substr(0, point.size() - point_warning.size()));
  EXPECT_EQ(point.substr(point.size() - point_warning.size()), point_warning);
  // Only misreadings: the base case's two durations are for `check` to question.
  EXPECT_EQ(console_with("cchgfac", "   1.0").find("WARNING"), std::string::npos);

  // A stopped run still shows the advice on its text, after the pause.
  expect_stop(without(base_parameter_lines(), "fixed"),
              "Invalid value for ctchm flag - must be 1 or 2\n" + std::string(kPause) +
                  "\nWARNING params.txt, line 23, fixed: line 23 is labelled `point` where "
                  "`fixed` is expected; a record may be missing above\n");
}

}  // namespace
}  // namespace sitedrain::testing
