// Filling the page templates of src/serve/pages: "{{name}}" is replaced by
// the value given for name (HTML the caller made safe; use html_text for
// plain text).  A name without a value becomes empty.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace sitedrain::serve {

using TemplateValues = std::map<std::string, std::string, std::less<>>;

// In: a template file's name and the values.  Out: the filled text.
std::string fill_template(std::string_view file, const TemplateValues& values);

// Plain text made safe inside HTML.
std::string html_text(std::string_view text);

// A whole page: the layout around a filled body template.
std::string whole_page(std::string_view title, const std::string& body,
                       const std::string& workspace, const std::string& head = {});

}  // namespace sitedrain::serve
