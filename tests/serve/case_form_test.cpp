// Case names as the server checks them, and the edit form's values read
// from a site file and written back.
#include "serve/case_form.h"

#include <gtest/gtest.h>

#include "serve/case_name.h"
#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

TEST(CaseName, OnlyLettersDigitsDashAndUnderscoreUpTo64) {
  for (const std::string& good :
       std::vector<std::string>{"a", "hexham_2", "Site-B", std::string(64, 'x')})
    EXPECT_FALSE(serve::case_name_error(good)) << good;
  const std::vector<std::pair<std::string, std::string>> bad{
      {"", "needs a name"},
      {"..", "'..'"},
      {"a/b", "'/'"},
      {"a\\b", "'\\'"},
      {std::string("a\x01"), "control character"},
      {std::string(65, 'x'), "64"},
      {"a b", "letters, digits"},
      {"caf\xc3\xa9", "letters, digits"},
  };
  for (const auto& [name, words] : bad) {
    const auto error = serve::case_name_error(name);
    ASSERT_TRUE(error) << name;
    EXPECT_NE(error->find(words), std::string::npos) << *error;
  }
}

TEST(CaseForm, TheExampleSiteFileReadsBackAsWrittenAndBadKindsBecomeText) {
  const std::string text = read_file(fs::path(SITEDRAIN_TEST_CASES) / ".." / ".." / "examples" /
                                     "pond_site" / "site.toml");
  const serve::FormValues form = serve::form_from_site_text(text);
  ASSERT_EQ(form.rows.size(), 2u);
  EXPECT_EQ(form.keys.at("climate_change_factor"), "1.4");
  EXPECT_EQ(form.keys.at("orifice_diameters_mm"), "{ from = 75, to = 125, step = 25 }");
  EXPECT_EQ(form.keys.at("return_periods_years"), "1, 30, 100");
  const serve::FormValues again = serve::form_from_site_text(serve::site_text_from_form(form));
  EXPECT_EQ(again.keys, form.keys);
  EXPECT_EQ(again.rows, form.rows);

  serve::FormValues typed = form;
  typed.keys["max_depth_m"] = "1.5 m";
  typed.keys["durations_min"] = "60, 120";
  typed.keys["storage"] = "pond\"\n[x]";
  const std::string written = serve::site_text_from_form(typed);
  EXPECT_NE(written.find("\nmax_depth_m = \"1.5 m\""), std::string::npos);
  EXPECT_NE(written.find("\ndurations_min = [60, 120]"), std::string::npos);
  EXPECT_NE(written.find("\nstorage = \"pond\\\"\\u000A[x]\""), std::string::npos);
}

TEST(CaseForm, CheckMessagesFindTheirField) {
  const auto e = serve::field_error_of(
      "ERROR in site file site.toml, line 98, column 15: max_depth_m: -1 is out of range; allowed: "
      "greater than 0, at most 100\n");
  EXPECT_EQ(e.key, "max_depth_m");
  EXPECT_EQ(e.row, -1);
  EXPECT_EQ(e.message.substr(0, 25), "ERROR in site file site.t");
  EXPECT_TRUE(serve::field_error_of("ERROR opening file x.csv").key.empty());
  const auto row = serve::field_error_of(
      "ERROR in site file site.toml, line 6, column 11: subcatchment.area_m2: -5 is negative",
      "run = \"design\"\n[[subcatchment]]\narea_m2 = 1.0\n\n[[subcatchment]]\narea_m2 = -5.0\n");
  EXPECT_EQ(row.key, "subcatchment.area_m2");
  EXPECT_EQ(row.row, 1);
}

}  // namespace
}  // namespace sitedrain::testing
