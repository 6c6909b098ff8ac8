#include "serve/page_template.h"

#include "cli/version.h"
#include "report/html.h"
#include "serve/page_files.h"

namespace sitedrain::serve {

std::string fill_template(std::string_view file, const TemplateValues& values) {
  const std::string_view text = page_file(file);
  std::string out;
  out.reserve(text.size() * 2);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find("{{", at);
    const std::size_t close = open == std::string_view::npos ? open : text.find("}}", open + 2);
    if (close == std::string_view::npos) {
      out.append(text.substr(at));
      break;
    }
    out.append(text.substr(at, open - at));
    const auto it = values.find(text.substr(open + 2, close - open - 2));
    if (it != values.end()) out += it->second;
    at = close + 2;
  }
  return out;
}

std::string html_text(std::string_view text) {
  return report::escape(text);
}

std::string whole_page(std::string_view title, const std::string& body,
                       const std::string& workspace, const std::string& head) {
  return fill_template("layout.html", {{"title", html_text(title)},
                                       {"head", head},
                                       {"body", body},
                                       {"version", cli::kVersion},
                                       {"workspace", html_text(workspace)}});
}

}  // namespace sitedrain::serve
