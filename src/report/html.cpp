#include "report/html.h"

#include <algorithm>

#include "chart/line_chart.h"

namespace sitedrain::report {

namespace {

constexpr const char* kStyle = R"(
:root { color-scheme: light; }
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 10.5pt; color: #000;
       background: #fff; margin: 1.5em auto; max-width: 60em; padding: 0 1em; line-height: 1.35; }
h1 { font-size: 1.6em; margin: 0 0 0.2em; }
h2 { font-size: 1.25em; border-bottom: 1.5px solid #000; margin: 1.4em 0 0.5em; padding-bottom: 0.1em; }
h3 { font-size: 1.05em; margin: 1em 0 0.4em; }
h2, h3 { break-after: avoid; page-break-after: avoid; }
p.note { font-size: 0.9em; color: #333; }
dl.facts { display: grid; grid-template-columns: max-content auto; gap: 0.15em 1.2em; margin: 0.4em 0; }
dl.facts dt { font-weight: bold; }
dl.facts dd { margin: 0; }
table { border-collapse: collapse; margin: 0.4em 0 1em; font-size: 0.92em; }
caption { text-align: left; font-weight: bold; padding-bottom: 0.3em; }
th, td { border: 1px solid #888; padding: 0.15em 0.45em; }
th { background: #eee; font-weight: bold; text-align: center; vertical-align: bottom; }
td { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
td.text { text-align: left; white-space: normal; }
tr.governing td { font-weight: bold; }
tr.marked td { background: #e8e8e8; }
figure { margin: 0.6em 0 1.2em; }
figcaption { font-size: 0.9em; margin-top: 0.2em; }
svg.chart { max-width: 100%; height: auto; display: block; }
table, figure, dl.facts, div.keep, div.warnings, p.verdict { break-inside: avoid; page-break-inside: avoid; }
p.verdict { font-size: 1.1em; font-weight: bold; border: 2px solid #000; padding: 0.4em 0.6em; }
div.warnings { border: 2px solid #b35900; background: #fff4e5; padding: 0.2em 0.8em 0.4em; margin: 0.8em 0; }
div.warnings h2 { border: none; margin: 0.3em 0; }
div.warnings li { margin: 0.25em 0; }
div.warnings .meaning { display: block; font-size: 0.92em; }
tr.fails td { background: #fde2e2; }
tr.warns td { background: #fff4e5; }
code { font-family: "DejaVu Sans Mono", monospace; font-size: 0.85em; white-space: pre-wrap; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
@page { size: A4; margin: 14mm 12mm; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 9.5pt; }
  h2 { margin-top: 1em; }
  th { background: #eee; -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  tr.marked td, tr.fails td, tr.warns td, div.warnings {
    -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
)";

}  // namespace

std::string escape(std::string_view text) {
  return chart::escape(text);
}

std::string table_html(const Table& t) {
  std::string o;
  for (const std::string& part : table_parts(t)) o += part;
  return o;
}

std::vector<std::string> table_parts(const Table& t) {
  std::vector<std::string> out;
  const std::size_t per = std::max<std::size_t>(t.rows_per_part, 1);
  const std::size_t parts = t.rows.empty() ? 1 : (t.rows.size() + per - 1) / per;
  for (std::size_t part = 0; part < parts; ++part) {
    std::string o = "<table";
    if (!t.css_class.empty()) o += " class=\"" + escape(t.css_class) + "\"";
    o += ">\n";
    if (!t.caption.empty())
      o += "<caption>" + escape(t.caption) + (part > 0 ? " (continued)" : "") + "</caption>\n";
    o += "<thead><tr>";
    for (const std::string& h : t.head) o += "<th>" + escape(h) + "</th>";
    o += "</tr></thead>\n<tbody>\n";
    const std::size_t end = std::min(t.rows.size(), (part + 1) * per);
    for (std::size_t r = part * per; r < end; ++r) {
      const std::string cls = r < t.row_class.size() ? t.row_class[r] : std::string();
      o += cls.empty() ? "<tr>" : "<tr class=\"" + escape(cls) + "\">";
      for (std::size_t c = 0; c < t.rows[r].size(); ++c) {
        const bool text = c < t.text_column.size() && t.text_column[c];
        o += text ? "<td class=\"text\">" : "<td>";
        o += escape(t.rows[r][c]) + "</td>";
      }
      o += "</tr>\n";
    }
    o += "</tbody>\n</table>\n";
    out.push_back(o);
  }
  return out;
}

Document::Document(std::string title) : title_(std::move(title)) {}

void Document::begin_section(std::string_view heading, std::string_view id) {
  flush_lead();
  body_ += id.empty() ? "<section>\n" : "<section id=\"" + escape(id) + "\">\n";
  lead_ += "<h2>" + escape(heading) + "</h2>\n";
}

void Document::end_section() {
  flush_lead();
  body_ += "</section>\n";
}

void Document::subheading(std::string_view text) {
  lead_ += "<h3>" + escape(text) + "</h3>\n";
}

void Document::paragraph(std::string_view text) {
  lead_ += "<p>" + escape(text) + "</p>\n";
}

void Document::note(std::string_view text) {
  lead_ += "<p class=\"note\">" + escape(text) + "</p>\n";
}

void Document::facts(const std::vector<std::pair<std::string, std::string>>& items) {
  std::string o = "<dl class=\"facts\">\n";
  for (const auto& [name, value] : items)
    o += "<dt>" + escape(name) + "</dt><dd>" + escape(value) + "</dd>\n";
  block(o + "</dl>\n");
}

void Document::table(const Table& t) {
  const std::vector<std::string> parts = table_parts(t);
  std::string rest;
  for (std::size_t n = 1; n < parts.size(); ++n) rest += parts[n];
  block(parts.front(), rest);
}

void Document::figure(std::string_view svg, std::string_view caption, std::string_view css_class) {
  std::string o =
      css_class.empty() ? "<figure>\n" : "<figure class=\"" + escape(css_class) + "\">\n";
  o += svg;
  if (!caption.empty()) o += "<figcaption>" + escape(caption) + "</figcaption>\n";
  block(o + "</figure>\n");
}

void Document::raw(std::string_view html) {
  block(std::string(html));
}

void Document::block(const std::string& first, const std::string& rest) {
  if (lead_.empty()) {
    body_ += first + rest;
    return;
  }
  body_ += "<div class=\"keep\">\n" + lead_ + first + "</div>\n" + rest;
  lead_.clear();
}

void Document::flush_lead() {
  body_ += lead_;
  lead_.clear();
}

std::string Document::finish() const {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
         "style-src 'unsafe-inline'; img-src data:\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
         escape(title_) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n<h1>" +
         escape(title_) + "</h1>\n" + body_ + lead_ + "</body>\n</html>\n";
}

}  // namespace sitedrain::report
