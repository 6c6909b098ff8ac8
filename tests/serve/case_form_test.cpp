// The edit form's values read from a site file and written back, and the
// check's messages placed beside their fields.  (The server's refusal of
// case names is in serve_endpoints_test.cpp.)
#include "serve/case_form.h"

#include <gtest/gtest.h>

#include "support/run_case.h"

namespace sitedrain::testing {
namespace {

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
