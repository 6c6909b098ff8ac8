// The files of the server's pages (src/serve/pages: the page templates, the
// style sheet and the progress script), compiled into the executable.
#pragma once

#include <string_view>

namespace sitedrain::serve {

// In: a file name of src/serve/pages ("cases.html").  Out: its content, or
// empty when there is no such file.
std::string_view page_file(std::string_view name);

}  // namespace sitedrain::serve
