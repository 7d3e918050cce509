// The client side of a language server session over pipes: framing a
// message and reading the server's next one.
#ifndef VIGIL_TESTS_E2E_LSP_CLIENT_H_
#define VIGIL_TESTS_E2E_LSP_CLIENT_H_

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "support/child_process.h"

namespace vigil::testing {

inline constexpr int kLspTimeoutMs = 20000;

inline std::string Framed(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The server's next message, or a JSON string saying what went wrong.
inline nlohmann::json ReceiveMessage(ChildProcess& server) {
  std::optional<size_t> length;
  while (std::optional<std::string> line = server.ReadLine(kLspTimeoutMs)) {
    if (*line == "\r\n") break;
    if (line->starts_with("Content-Length: ")) length = std::stoul(line->substr(16));
  }
  if (!length) return "no Content-Length from the server";
  std::optional<std::string> body = server.Read(*length, kLspTimeoutMs);
  if (!body) return "the message body ended early";
  return nlohmann::json::parse(*body, nullptr, false);
}

}  // namespace vigil::testing

#endif  // VIGIL_TESTS_E2E_LSP_CLIENT_H_
