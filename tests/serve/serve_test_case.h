// Cases for the server's tests: a workspace with the bundled example as a
// legacy case and as a site file, and the form of a site file as the
// browser posts it.
#pragma once

#include <httplib.h>

#include "serve/case_form.h"
#include "serve/server.h"
#include "support/command.h"
#include "support/serve_process.h"

namespace sitedrain::testing {

inline const fs::path kExampleCase = fs::path(SITEDRAIN_TEST_CASES) / "pond_design";

// The workspace: "legacy" (the example's control and parameter files) and
// "site" (the example written by `sitedrain new`, with its descriptor).
inline fs::path make_workspace(const std::string& tag) {
  const fs::path ws = make_temp_dir(tag);
  fs::create_directories(ws / "legacy");
  for (const char* f : {"PSnamel.nml", "params.txt", "cd_Hexham_2023_v2.csv"})
    fs::copy_file(kExampleCase / f, ws / "legacy" / f);
  run_command_in(
      ws, "new --descriptor '" + (kExampleCase / "cd_Hexham_2023_v2.csv").string() + "' site");
  return ws;
}

// The form fields of a site file's values, as the edit page posts them.
inline httplib::MultipartFormDataItems form_items(const serve::FormValues& form,
                                                  const std::string& csrf, const std::string& name,
                                                  const std::string& action = "save") {
  httplib::MultipartFormDataItems items{{"csrf", csrf, "", ""},
                                        {"case", name, "", ""},
                                        {"action", action, "", ""},
                                        {"rows", std::to_string(form.rows.size()), "", ""}};
  for (const auto& [k, v] : form.keys) items.push_back({serve::key_field_name(k), v, "", ""});
  for (std::size_t r = 0; r < form.rows.size(); ++r)
    for (const auto& [k, v] : form.rows[r])
      items.push_back({serve::row_field_name(r, k), v, "", ""});
  return items;
}

// Waits for the end of a case's run (bounded); the last progress answer.
inline std::string wait_for_run(httplib::Client& c, const std::string& name,
                                int max_seconds = 300) {
  std::string last;
  for (int i = 0; i < max_seconds * 5; ++i) {
    const auto r = c.Get(("/progress?case=" + name).c_str());
    if (r) last = r->body;
    if (last.find("\"running\"") == std::string::npos &&
        last.find("\"waiting\"") == std::string::npos)
      return last;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return last;
}

}  // namespace sitedrain::testing
