// The edit form of a case, made from the table of site-file keys: one field
// per key with its unit and help, selects for choices, the sub-catchments
// as rows; and the site file written from a posted form.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sitedrain::serve {

// What the form holds, as text: top-level and output-file keys by their
// full names ("climate_change_factor", "output_files.report"), and one map
// per sub-catchment row by the row's key names ("area_m2").
struct FormValues {
  std::map<std::string, std::string, std::less<>> keys;
  std::vector<std::map<std::string, std::string, std::less<>>> rows;
};

// The sub-catchments a site file may hold.
inline constexpr std::size_t kMaxSubcatchmentRows = 10;

// In: a site file's text.  Out: its values as form text (a value the form
// cannot show in a field of its own is shown as its TOML text).  A file
// that is not TOML gives empty values.
FormValues form_from_site_text(std::string_view toml_text);

// In: a lookup of posted field values (empty when absent).  Out: the form.
// "rows" gives the row count; the button pressed ("action") may drop a row
// ("remove_row:N", N from 0) or add an empty one ("add_row").
template <class Lookup>
FormValues form_from_fields(const Lookup& field);

// In: the form.  Out: the text of site.toml, every key with a value, in the
// order of the key table, each with its unit and meaning in a comment.  A
// value that is not of its key's kind is written as text, so that the
// reader names the key and what it needs.
std::string site_text_from_form(const FormValues& form);

// The message of `sitedrain check` on a bad case, matched to a field: the
// full key name ("max_depth_m", "subcatchment.area_m2"), the sub-catchment
// row (from 0; -1 for none) and the message.
struct FieldError {
  std::string key;
  int row = -1;
  std::string message;
};

// In: check's output and the site file's text.  Out: the field it is
// about, when one is named; a sub-catchment's row from the line named.
FieldError field_error_of(std::string_view check_output, std::string_view site_text = {});

// The fieldsets of the form: one per group of keys, in the table's order.
std::string form_fields_html(const FormValues& form, const FieldError& error);

// The field names of the HTML form.
std::string key_field_name(std::string_view full_key);              // "k.max_depth_m"
std::string row_field_name(std::size_t row, std::string_view key);  // "s0.area_m2"
std::vector<std::string> all_key_names();  // full names of the top and output-file keys
std::vector<std::string> row_key_names();  // keys of a sub-catchment row

}  // namespace sitedrain::serve

#include "serve/case_form_fields.h"
