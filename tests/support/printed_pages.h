// The pages of a report printed to PDF, as text (pdftotext, Debian package
// poppler-utils), and what a printed report must keep together.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_case.h"

namespace sitedrain::testing {

// Text with each run of white space made one space, HTML entities of
// quotes and ampersands read.
inline std::string plain(std::string s) {
  s = std::regex_replace(s, std::regex("&amp;"), "&");
  s = std::regex_replace(s, std::regex("&#39;"), "'");
  s = std::regex_replace(s, std::regex("&quot;"), "\"");
  s = std::regex_replace(s, std::regex("\\s+"), " ");
  const std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? "" : s.substr(b, e + 1 - b);
}

// The printed pages: each page's text by pdftotext, its lines.
inline std::vector<std::vector<std::string>> pdf_pages(const fs::path& pdf, int pages) {
  std::vector<std::vector<std::string>> out;
  for (int n = 1; n <= pages; ++n) {
    const fs::path txt = pdf.parent_path() / ("page" + std::to_string(n) + ".txt");
    const std::string cmd = "pdftotext -f " + std::to_string(n) + " -l " + std::to_string(n) +
                            " '" + pdf.string() + "' '" + txt.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::istringstream in(read_file(txt));
    out.emplace_back();
    for (std::string l; std::getline(in, l);)
      if (!plain(l).empty()) out.back().push_back(plain(l));
  }
  return out;
}

// No page ends with a heading, a table's caption or the last line of a
// paragraph that introduces what follows; every chart's title and its
// caption are on one page.
inline void expect_printed_pages_whole(const std::string& page,
                                       const std::vector<std::vector<std::string>>& pages) {
  std::vector<std::string> leads;  // headings, captions and introductions
  for (const char* re : {"<h[23][^>]*>([^<]*)</h[23]>", "<caption>([^<]*)</caption>",
                         "</h[23]>\n<p[^>]*>([^<]*)</p>"}) {
    const std::regex r(re);
    for (std::sregex_iterator m(page.begin(), page.end(), r), end; m != end; ++m)
      leads.push_back(plain((*m)[1]));
  }
  ASSERT_FALSE(leads.empty());
  for (std::size_t n = 0; n + 1 < pages.size(); ++n) {
    if (pages[n].empty()) continue;
    const std::string& last = pages[n].back();
    for (const std::string& lead : leads)
      EXPECT_FALSE(lead.size() >= last.size() &&
                   lead.compare(lead.size() - last.size(), last.size(), last) == 0)
          << "page " << n + 1 << " ends with \"" << last << "\" of \"" << lead << "\"";
  }
  const std::string mark = "<text class=\"chart-title\"";
  for (std::size_t at = page.find(mark); at != std::string::npos; at = page.find(mark, at + 1)) {
    const std::size_t t = page.find('>', at) + 1, c = page.find("<figcaption>", at) + 12;
    if (page.rfind("<figure", c) > at) continue;  // the upper panel's title only
    const std::string title = plain(page.substr(t, page.find('<', t) - t));
    const std::string caption = plain(page.substr(c, page.find('<', c) - c)).substr(0, 30);
    bool together = false;
    for (const auto& lines : pages) {
      std::string text;
      for (const std::string& l : lines) text += l + " ";
      together = together ||
                 (text.find(title) != std::string::npos && text.find(caption) != std::string::npos);
    }
    EXPECT_TRUE(together) << "chart \"" << title << "\" and its caption on different pages";
  }
}
}  // namespace sitedrain::testing
