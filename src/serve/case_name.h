// The names of case folders as the browser gives them.  No text from a
// request reaches the file system as a path unless it passes here: letters,
// digits, '-' and '_' only, 1 to 64 of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sitedrain::serve {

inline constexpr std::size_t kCaseNameMaxLength = 64;

// In: a case name as received.  Out: nothing when it is a valid name, else
// the reason in words ("a case name may not contain '/'").
std::optional<std::string> case_name_error(std::string_view name);

}  // namespace sitedrain::serve
