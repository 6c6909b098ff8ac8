// The template part of case_form.h: reading a posted form.
#pragma once

#include <cstdlib>

namespace sitedrain::serve {

template <class Lookup>
FormValues form_from_fields(const Lookup& field) {
  FormValues f;
  for (const std::string& k : all_key_names()) {
    std::string v = field(key_field_name(k));
    if (!v.empty()) f.keys[k] = v;
  }
  const std::string count_text = field("rows");
  std::size_t rows = std::strtoul(count_text.c_str(), nullptr, 10);
  if (rows > kMaxSubcatchmentRows) rows = kMaxSubcatchmentRows;
  const std::string action = field("action");
  const long removed =
      action.rfind("remove_row:", 0) == 0 ? std::strtol(action.c_str() + 11, nullptr, 10) : -1;
  for (std::size_t r = 0; r < rows; ++r) {
    if (static_cast<long>(r) == removed) continue;
    std::map<std::string, std::string, std::less<>> row;
    for (const std::string& k : row_key_names()) {
      std::string v = field(row_field_name(r, k));
      if (!v.empty()) row[k] = v;
    }
    f.rows.push_back(row);
  }
  if (action == "add_row" && f.rows.size() < kMaxSubcatchmentRows) f.rows.emplace_back();
  return f;
}

}  // namespace sitedrain::serve
