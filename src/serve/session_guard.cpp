#include "serve/session_guard.h"

#include <random>

namespace sitedrain::serve {

std::string random_token() {
  std::random_device source;
  static const char* const digits = "0123456789abcdef";
  std::string token;
  for (int i = 0; i < 8; ++i) {
    std::uint32_t word = source();
    for (int k = 0; k < 4; ++k, word >>= 8) {
      token += digits[(word >> 4) & 15];
      token += digits[word & 15];
    }
  }
  return token;
}

bool same_secret(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.empty()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

std::optional<std::string> cookie_value(std::string_view header, std::string_view name) {
  while (!header.empty()) {
    const std::size_t end = std::min(header.find(';'), header.size());
    std::string_view pair = header.substr(0, end);
    header.remove_prefix(end < header.size() ? end + 1 : end);
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    const std::size_t eq = pair.find('=');
    if (eq != std::string_view::npos && pair.substr(0, eq) == name)
      return std::string(pair.substr(eq + 1));
  }
  return std::nullopt;
}

SessionGuard::SessionGuard(int port, std::string session_token, std::string form_token)
    : port_(port), session_token_(std::move(session_token)), form_token_(std::move(form_token)) {}

std::optional<Refusal> SessionGuard::check(std::string_view host, std::string_view cookie_header,
                                           std::string_view url_token) const {
  const std::string port = ":" + std::to_string(port_);
  if (host != "127.0.0.1" + port && host != "localhost" + port)
    return Refusal{403,
                   "This server answers only at 127.0.0.1" + port + " and localhost" + port + "."};
  const auto cookie = cookie_value(cookie_header, kSessionCookie);
  if ((cookie && same_secret(*cookie, session_token_)) || same_secret(url_token, session_token_))
    return std::nullopt;
  return Refusal{403,
                 "This page needs the session's address: open the link that `sitedrain serve` "
                 "printed when it started."};
}

std::optional<Refusal> SessionGuard::check_change(std::string_view method,
                                                  std::string_view posted_form_token) const {
  if (method != "POST") return Refusal{405, "This action needs the form's button."};
  if (!same_secret(posted_form_token, form_token_))
    return Refusal{403, "The form is out of date: load the page again and repeat."};
  return std::nullopt;
}

std::string SessionGuard::session_cookie() const {
  return std::string(kSessionCookie) + "=" + session_token_ + "; Path=/; HttpOnly; SameSite=Strict";
}

}  // namespace sitedrain::serve
