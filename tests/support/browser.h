// A page in a real browser: headless Chromium loads a file, dumps its DOM,
// takes a screenshot and prints it to PDF.  In CI (CI=true) a missing
// browser fails the test; elsewhere the test is skipped with a message.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_case.h"

#ifdef SITEDRAIN_TEST_PNG
#include <png.h>
#endif

namespace sitedrain::testing {

inline bool in_ci() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

// The browser's program, or "" when none is installed.
inline std::string browser_program() {
  for (const char* p : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
    if (fs::exists(p)) return p;
  return "";
}

// Skips the test (fails it in CI) when what is missing is missing.
#define SITEDRAIN_REQUIRE(available, what)                                  \
  do {                                                                      \
    if (!(available)) {                                                     \
      if (::sitedrain::testing::in_ci()) FAIL() << (what) << " is missing"; \
      GTEST_SKIP() << (what) << " is missing: install it to run this test"; \
    }                                                                       \
  } while (0)

// The pixels of a screenshot: its size and the share that is not white.
struct Screenshot {
  unsigned width = 0, height = 0;
  double inked = 0.0;  // share of pixels darker than near-white
  bool read = false;
};

inline Screenshot read_screenshot(const fs::path& png) {
  Screenshot s;
#ifdef SITEDRAIN_TEST_PNG
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, png.c_str())) return s;
  img.format = PNG_FORMAT_GRAY;
  std::vector<unsigned char> px(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, px.data(), 0, nullptr)) return s;
  std::size_t dark = 0;
  for (unsigned char v : px) dark += v < 235;
  s.width = img.width;
  s.height = img.height;
  s.inked = px.empty() ? 0.0 : static_cast<double>(dark) / static_cast<double>(px.size());
  s.read = true;
#else
  (void)png;
#endif
  return s;
}

inline bool screenshot_reader_built() {
#ifdef SITEDRAIN_TEST_PNG
  return true;
#else
  return false;
#endif
}

struct Rendered {
  std::string dom;                   // the document as the browser built it
  std::vector<std::string> console;  // messages of the page (errors, blocked requests)
  Screenshot shot;
  std::string pdf;                   // the printed PDF's bytes
  int pdf_pages = 0;
  bool ran = true;                   // every browser run ended with status 0
};

// Runs the browser once with a fresh empty profile; returns its log.
inline std::string run_browser(const fs::path& work, const std::string& action,
                               const fs::path& page, const fs::path& out, bool& ok) {
  static int run = 0;
  const fs::path profile = work / ("profile" + std::to_string(run++));
  const fs::path log = work / "browser.log";
  const std::string cmd =
      "timeout 120 '" + browser_program() +
      "' --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
      " --disable-background-networking --disable-component-update --disable-sync"
      " --user-data-dir='" + profile.string() + "' --enable-logging=stderr --v=0 " + action +
      " 'file://" + page.string() + "' >'" + out.string() + "' 2>'" + log.string() + "'";
  const int raw = std::system(cmd.c_str());
  ok = ok && WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
  fs::remove_all(profile);
  return read_file(log);
}

// Loads the page: its DOM and console messages, a screenshot of 1100 x 1500
// pixels, and the page printed to PDF (A4, the page's own print styles).
inline Rendered render_in_browser(const fs::path& page, const fs::path& work) {
  Rendered r;
  const std::string log = run_browser(work, "--dump-dom", page, work / "dom.html", r.ran);
  r.dom = read_file(work / "dom.html");
  std::istringstream lines(log);
  for (std::string l; std::getline(lines, l);)
    if (l.find(":CONSOLE") != std::string::npos) r.console.push_back(l);
  run_browser(work,
              "--hide-scrollbars --window-size=1100,1500 --screenshot='" +
                  (work / "shot.png").string() + "'",
              page, work / "shot.log", r.ran);
  r.shot = read_screenshot(work / "shot.png");
  run_browser(work,
              "--no-pdf-header-footer --print-to-pdf='" + (work / "page.pdf").string() + "'",
              page, work / "pdf.log", r.ran);
  r.pdf = read_file(work / "page.pdf");
  for (std::size_t at = r.pdf.find("/Type /Page"); at != std::string::npos;
       at = r.pdf.find("/Type /Page", at + 1))
    if (at + 11 >= r.pdf.size() || r.pdf[at + 11] != 's') ++r.pdf_pages;
  return r;
}

// Occurrences of text in s.
inline int count_of(const std::string& s, const std::string& text) {
  int n = 0;
  for (std::size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + 1)) ++n;
  return n;
}

}  // namespace sitedrain::testing
