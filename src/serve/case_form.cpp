#include "serve/case_form.h"

#include <toml++/toml.h>

#include <charconv>
#include <sstream>

#include "params/code_names.h"
#include "serve/page_template.h"
#include "site/site_keys.h"

namespace sitedrain::serve {

namespace {

using site::Section;
using site::SiteKey;
using site::ValueType;

// The keys that are tables of the file, not fields of the form.
bool is_table_key(const SiteKey& k) {
  return k.section == Section::top && (k.name == "subcatchment" || k.name == "output_files");
}

bool is_field(const SiteKey& k) {
  return !is_table_key(k) && k.section != Section::subcatchment;
}

// A node as TOML writes it; a decimal in its shortest form that reads back
// to the same double (1.4, not 1.3999999999999999).
std::string toml_text(const toml::node& n) {
  if (const auto* f = n.as_floating_point()) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, f->get()).ptr;
    std::string t(text, end);
    if (t.find_first_of(".eEn") == std::string::npos) t += ".0";
    return t;
  }
  std::ostringstream s;
  n.visit([&s](const auto& v) { s << v; });
  return s.str();
}

// A TOML value as a field shows it.
std::string field_text(const toml::node& n) {
  if (const auto* s = n.as_string()) return s->get();
  if (const auto* b = n.as_boolean()) return b->get() ? "true" : "false";
  if (const auto* i = n.as_integer()) return std::to_string(i->get());
  if (const auto* a = n.as_array()) {
    // A list of plain numbers reads "1, 30, 100".
    std::string t;
    bool plain = true;
    for (const toml::node& e : *a) {
      if (!e.is_integer() && !e.is_floating_point()) plain = false;
      t += (t.empty() ? "" : ", ") + toml_text(e);
    }
    if (plain) return t;
  }
  std::ostringstream s;
  if (const toml::table* t = n.as_table();
      t && t->size() == 3 && t->contains("from") && t->contains("to") && t->contains("step")) {
    // A sweep in its reading order.
    return "{ from = " + toml_text(*t->get("from")) + ", to = " + toml_text(*t->get("to")) +
           ", step = " + toml_text(*t->get("step")) + " }";
  }
  if (n.is_table()) {
    s << "{ ";
    bool first = true;
    for (const auto& [k, v] : *n.as_table()) {
      s << (first ? "" : ", ") << k.str() << " = " << toml_text(v);
      first = false;
    }
    s << " }";
    return s.str();
  }
  return toml_text(n);
}

// A text as a TOML basic string.
std::string toml_string(std::string_view t) {
  std::string out = "\"";
  for (char c : t) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      static const char* const hex = "0123456789ABCDEF";
      out += "\\u00";
      out += hex[(static_cast<unsigned char>(c) >> 4) & 15];
      out += hex[c & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The value text as TOML, when it is one value of TOML on one line; else
// nothing.
std::optional<toml::table> as_toml_value(std::string_view text) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  try {
    return toml::parse("value = " + std::string(text));
  } catch (const toml::parse_error&) {
    return std::nullopt;
  }
}

// The TOML text of a field's value: as typed when it is a value of the
// key's kind, else as a text (the reader then names the key and its kind).
std::string toml_value(const SiteKey& k, const std::string& text) {
  const auto parsed = as_toml_value(text);
  const toml::node* v = parsed ? parsed->get("value") : nullptr;
  switch (k.type) {
    case ValueType::text:
    case ValueType::choice:
      return toml_string(text);
    case ValueType::flag:
      return v && v->is_boolean() ? text : toml_string(text);
    case ValueType::whole:
    case ValueType::number:
      return v && (v->is_integer() || v->is_floating_point()) ? text : toml_string(text);
    case ValueType::soil_class:
      return v && v->is_integer() ? text : toml_string(text);
    case ValueType::whole_series:
    case ValueType::whole_sweep:
    case ValueType::discharge_limit:
      if (v && (v->is_table() || v->is_array() || v->is_number())) return text;
      if (const auto list = as_toml_value("[" + text + "]")) return "[" + text + "]";
      return toml_string(text);
  }
  return toml_string(text);
}

std::string comment_of(const SiteKey& k) {
  std::string c = "  # ";
  if (!k.unit.empty()) c += std::string(k.unit) + ": ";
  return c + std::string(k.help);
}

params::LossModel loss_model_of(const FormValues& f) {
  const auto it = f.keys.find("loss_model");
  if (it != f.keys.end())
    if (const auto code = params::find_key(site::loss_model_choices(), it->second))
      return params::decode_loss_model(*code);
  return params::LossModel::green_ampt;
}

std::string attr(std::string_view t) {
  return html_text(t);
}

// One input or select for a key.
std::string control_html(const SiteKey& k, const std::string& name, const std::string& value,
                         params::LossModel model, const std::string& id, bool in_row) {
  const auto choices = site::key_choices(k, model);
  const std::string label_attr = in_row ? " aria-label=\"" + attr(k.name) + "\"" : "";
  if (k.type == ValueType::choice || k.type == ValueType::soil_class || k.type == ValueType::flag) {
    std::string html = "<select id=\"" + id + "\" name=\"" + name + "\"" + label_attr + ">";
    html += "<option value=\"\">" +
            std::string(k.default_value.empty() ? "(not given)" : "(default)") + "</option>";
    bool found = value.empty();
    auto option = [&](std::string_view v, std::string_view text) {
      const bool selected = v == value;
      found = found || selected;
      html += "<option value=\"" + attr(v) + "\"" + (selected ? " selected" : "") + ">" +
              html_text(text) + "</option>";
    };
    if (k.type == ValueType::flag) {
      option("true", "yes");
      option("false", "no");
    } else {
      for (const params::CodeName& c : choices)
        option(c.key, std::string(c.key) + " - " + std::string(c.description));
    }
    if (!found) option(value, value);  // as written in the file
    return html + "</select>";
  }
  return "<input id=\"" + id + "\" name=\"" + name + "\" value=\"" + attr(value) + "\"" +
         label_attr +
         (k.type == ValueType::whole || k.type == ValueType::number ? " inputmode=\"decimal\""
                                                                    : "") +
         " size=\"" + (k.type == ValueType::text ? "28" : "18") + "\">";
}

std::string unit_html(const SiteKey& k) {
  return k.unit.empty() ? std::string() : "<span class=\"unit\">" + html_text(k.unit) + "</span>";
}

std::string error_html(const std::string& message) {
  return "<p class=\"error\" role=\"alert\">" + html_text(message) + "</p>";
}

std::string rows_html(const FormValues& f, const FieldError& error, params::LossModel model) {
  std::vector<const SiteKey*> keys;
  for (const SiteKey& k : site::site_keys())
    if (k.section == Section::subcatchment) keys.push_back(&k);
  std::string html = "<table class=\"rows\"><thead><tr><th>#</th>";
  for (const SiteKey* k : keys)
    html += "<th>" + html_text(k->name) + (k->unit.empty() ? "" : " (" + html_text(k->unit) + ")") +
            "<br><span class=\"help\">" + html_text(k->help) + "</span></th>";
  html += "<th></th></tr></thead><tbody>";
  for (std::size_t r = 0; r < f.rows.size(); ++r) {
    html += "<tr><td>" + std::to_string(r + 1) + "</td>";
    std::string row_error;
    for (const SiteKey* k : keys) {
      const auto it = f.rows[r].find(k->name);
      const std::string value = it == f.rows[r].end() ? "" : it->second;
      const bool bad = error.row == static_cast<int>(r) && error.key == site::full_key_name(*k);
      if (bad) row_error = error.message;
      html += std::string("<td") + (bad ? " class=\"field bad\"" : "") + ">" +
              control_html(*k, row_field_name(r, k->name), value, model,
                           "s" + std::to_string(r) + "-" + std::string(k->name), true) +
              "</td>";
    }
    html += "<td class=\"remove\"><button type=\"submit\" name=\"action\" value=\"remove_row:" +
            std::to_string(r) + "\">Remove</button></td></tr>";
    if (!row_error.empty())
      html += "<tr><td></td><td colspan=\"" + std::to_string(keys.size() + 1) + "\">" +
              error_html(row_error) + "</td></tr>";
  }
  html += "</tbody></table>";
  html += "<input type=\"hidden\" name=\"rows\" value=\"" + std::to_string(f.rows.size()) + "\">";
  if (f.rows.size() < kMaxSubcatchmentRows)
    html +=
        "<p><button type=\"submit\" name=\"action\" value=\"add_row\">Add a "
        "sub-catchment</button></p>";
  // A message about the sub-catchments as a whole.
  if (error.row < 0 && error.key.rfind("subcatchment", 0) == 0) html += error_html(error.message);
  return html;
}

}  // namespace

std::string key_field_name(std::string_view full_key) {
  return "k." + std::string(full_key);
}

std::string row_field_name(std::size_t row, std::string_view key) {
  return "s" + std::to_string(row) + "." + std::string(key);
}

std::vector<std::string> all_key_names() {
  std::vector<std::string> names;
  for (const SiteKey& k : site::site_keys())
    if (is_field(k)) names.push_back(site::full_key_name(k));
  return names;
}

std::vector<std::string> row_key_names() {
  std::vector<std::string> names;
  for (const SiteKey& k : site::site_keys())
    if (k.section == Section::subcatchment) names.emplace_back(k.name);
  return names;
}

FormValues form_from_site_text(std::string_view toml_text) {
  FormValues f;
  toml::table file;
  try {
    file = toml::parse(toml_text);
  } catch (const toml::parse_error&) {
    return f;
  }
  for (const SiteKey& k : site::site_keys()) {
    if (!is_field(k)) continue;
    const toml::node* n = k.section == Section::output_files
                              ? file.at_path("output_files." + std::string(k.name)).node()
                              : file.get(k.name);
    if (n) f.keys[site::full_key_name(k)] = field_text(*n);
  }
  if (const toml::array* subs = file.get_as<toml::array>("subcatchment")) {
    for (const toml::node& s : *subs) {
      std::map<std::string, std::string, std::less<>> row;
      if (const toml::table* t = s.as_table())
        for (const std::string& k : row_key_names())
          if (const toml::node* n = t->get(k)) row[k] = field_text(*n);
      f.rows.push_back(row);
      if (f.rows.size() == kMaxSubcatchmentRows) break;
    }
  }
  return f;
}

std::string site_text_from_form(const FormValues& form) {
  std::string top, outputs, subs;
  std::string_view group;
  for (const SiteKey& k : site::site_keys()) {
    if (!is_field(k)) continue;
    const auto it = form.keys.find(site::full_key_name(k));
    if (it == form.keys.end() || it->second.empty()) continue;
    const std::string line =
        std::string(k.name) + " = " + toml_value(k, it->second) + comment_of(k) + "\n";
    if (k.section == Section::output_files) {
      outputs += line;
      continue;
    }
    if (k.group != group) {
      top += "\n# " + std::string(k.group) + "\n";
      group = k.group;
    }
    top += line;
  }
  for (const auto& row : form.rows) {
    subs += "\n[[subcatchment]]\n";
    for (const SiteKey& k : site::site_keys()) {
      if (k.section != Section::subcatchment) continue;
      const auto it = row.find(k.name);
      if (it == row.end() || it->second.empty()) continue;
      subs += std::string(k.name) + " = " + toml_value(k, it->second) + comment_of(k) + "\n";
    }
  }
  std::string text = "# sitedrain site file, saved from the browser form.\n" + top + subs;
  if (!outputs.empty()) text += "\n[output_files]\n" + outputs;
  return text;
}

FieldError field_error_of(std::string_view output, std::string_view site_text) {
  FieldError e;
  // The message: the first line that says what is wrong (check prints the
  // file's name and position with it).
  std::istringstream lines{std::string(output)};
  for (std::string l; std::getline(lines, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!l.empty()) {
      e.message = l;
      break;
    }
  }
  // The key it names: the longest known full name in the text.
  std::size_t best = 0;
  for (const SiteKey& k : site::site_keys()) {
    for (const std::string& name : {site::full_key_name(k), std::string(k.name)}) {
      std::size_t at = output.find(name);
      while (at != std::string_view::npos) {
        const bool starts = at == 0 || !(std::isalnum(static_cast<unsigned char>(output[at - 1])) ||
                                         output[at - 1] == '_' || output[at - 1] == '.');
        const std::size_t end = at + name.size();
        const bool ends =
            end == output.size() ||
            !(std::isalnum(static_cast<unsigned char>(output[end])) || output[end] == '_');
        if (starts && ends && name.size() > best) {
          best = name.size();
          e.key = site::full_key_name(k);
        }
        at = output.find(name, at + 1);
      }
    }
  }
  // A sub-catchment's row: the [[subcatchment]] tables begun before the
  // line the message names.
  const std::size_t line_at = output.find(", line ");
  if (e.key.rfind("subcatchment.", 0) == 0 && line_at != std::string_view::npos) {
    const int line = std::atoi(std::string(output.substr(line_at + 7, 9)).c_str());
    std::istringstream text{std::string(site_text)};
    int n = 0, row = -1;
    for (std::string l; n < line && std::getline(text, l); ++n)
      if (l.find("[[subcatchment]]") != std::string::npos) ++row;
    e.row = row;
  }
  return e;
}

std::string form_fields_html(const FormValues& form, const FieldError& error) {
  const params::LossModel model = loss_model_of(form);
  std::string html;
  std::string_view group;
  bool rows_done = false;
  for (const SiteKey& k : site::site_keys()) {
    if (is_table_key(k) || (k.section == Section::subcatchment && rows_done)) continue;
    if (k.group != group) {
      if (!group.empty()) html += "</fieldset>\n";
      html += "<fieldset><legend>" + html_text(k.group) + "</legend>\n";
      group = k.group;
    }
    if (k.section == Section::subcatchment) {
      html += rows_html(form, error, model);
      rows_done = true;
      continue;
    }
    const std::string full = site::full_key_name(k);
    const auto it = form.keys.find(full);
    const std::string value = it == form.keys.end() ? "" : it->second;
    const bool bad = error.key == full;
    std::string help(k.help);
    if (!k.default_value.empty())
      help += " (default " + std::string(k.default_value) + ")";
    else if (k.needed != site::Needed::always)
      help += " (" + std::string(site::needed_text(k.needed)) + ")";
    const std::string id = "f-" + full;
    html += std::string("<div class=\"field") + (bad ? " bad" : "") + "\"><label for=\"" +
            attr(id) + "\">" + html_text(full) + "</label><span>" +
            control_html(k, key_field_name(full), value, model, id, false) + unit_html(k) +
            "</span><span class=\"help\">" + html_text(help) + "</span>" +
            (bad ? error_html(error.message) : "") + "</div>\n";
  }
  if (!group.empty()) html += "</fieldset>\n";
  return html;
}

}  // namespace sitedrain::serve
