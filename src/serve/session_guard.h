// The guard in front of every request: the session token (from the URL the
// program prints, then from a cookie), the Host header (only the loopback
// names with the server's port: a page of another site whose name was made
// to point at 127.0.0.1 is refused) and, for every request that changes
// anything, a POST carrying the session's form token.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sitedrain::serve {

inline constexpr const char* kSessionCookie = "sitedrain_session";

// A random token of 32 hexadecimal digits from the system's random source.
std::string random_token();

struct Refusal {
  int status;           // 400, 403, 405
  std::string message;  // a sentence for the page
};

class SessionGuard {
 public:
  SessionGuard(int port, std::string session_token, std::string form_token);

  int port() const { return port_; }
  const std::string& session_token() const { return session_token_; }
  const std::string& form_token() const { return form_token_; }

  // In: the request's Host header, its Cookie header and its token query
  // parameter (empty when absent).  Out: nothing when the request may go
  // on, else the refusal.
  std::optional<Refusal> check(std::string_view host, std::string_view cookie_header,
                               std::string_view url_token) const;
  // In: the method and the form token posted with a state-changing request.
  std::optional<Refusal> check_change(std::string_view method,
                                      std::string_view posted_form_token) const;
  // The Set-Cookie value that keeps the session in the browser.
  std::string session_cookie() const;

 private:
  int port_;
  std::string session_token_, form_token_;
};

// In: a Cookie header and a name.  Out: the cookie's value, if present.
std::optional<std::string> cookie_value(std::string_view header, std::string_view name);

// Equal texts, compared in a time that does not depend on where they differ.
bool same_secret(std::string_view a, std::string_view b);

}  // namespace sitedrain::serve
