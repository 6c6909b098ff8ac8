// The frame of the HTML report: one self-contained page with its style
// sheet inline, no script and no request to the network (a content
// security policy forbids both), and a print style sheet for A4 in which no
// chart or table is cut across a page.  Long tables are split into parts
// that each fit a page, the heading repeated.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sitedrain::report {

// Text made safe inside HTML (& < > " ').
std::string escape(std::string_view text);

struct Table {
  std::string caption;
  std::vector<std::string> head;               // column headings, with units
  std::vector<bool> text_column;               // left-aligned columns (others are numbers)
  std::vector<std::vector<std::string>> rows;  // cells as plain text
  std::vector<std::string> row_class;          // per row: a CSS class or ""
  std::string css_class;                       // of the table (for tests and styles)
  std::size_t rows_per_part = 36;              // rows that fit one A4 page
};

// In: a table.  Out: one <table> per part of at most rows_per_part rows.
std::string table_html(const Table& t);
// The same parts one by one.
std::vector<std::string> table_parts(const Table& t);

// Headings and the paragraphs after them (an introduction) are held back
// and printed together with the block that follows (a table's first part,
// a chart, a list) in one piece that a printed page does not split, so a
// heading or an introduction never stands alone at the foot of a page.
class Document {
 public:
  explicit Document(std::string title);

  // A section with a level-2 heading; id for links (may be empty).
  void begin_section(std::string_view heading, std::string_view id = {});
  void end_section();
  void subheading(std::string_view text);  // level 3
  void paragraph(std::string_view text);   // plain text, escaped
  void note(std::string_view text);        // a small-print paragraph
  // Name-value pairs as a two-column list.
  void facts(const std::vector<std::pair<std::string, std::string>>& items);
  void table(const Table& t);
  // A chart (an <svg> element as made by the chart module) with its caption.
  void figure(std::string_view svg, std::string_view caption, std::string_view css_class = {});
  // Markup as it is (already escaped).
  void raw(std::string_view html);

  // The whole page.
  std::string finish() const;

 private:
  // Adds a block: first kept with the held-back lead, then rest.
  void block(const std::string& first, const std::string& rest = {});
  void flush_lead();
  std::string title_;
  std::string body_;
  std::string lead_;  // headings and paragraphs waiting for their block
};

}  // namespace sitedrain::report
