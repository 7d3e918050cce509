// The protocol's shapes shared by the features: positions and ranges as JSON,
// the range of a byte span on an editor line, and the error codes.
#ifndef VIGIL_LSP_PROTOCOL_H_
#define VIGIL_LSP_PROTOCOL_H_

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "core/lang/diagnostics.h"
#include "lsp/document.h"

namespace vigil::lsp {

using Json = nlohmann::json;

// JSON-RPC and protocol error codes.
inline constexpr int kParseError = -32700;
inline constexpr int kInvalidRequest = -32600;
inline constexpr int kMethodNotFound = -32601;
inline constexpr int kInvalidParams = -32602;
inline constexpr int kServerNotInitialized = -32002;
inline constexpr int kRequestFailed = -32803;

// Thrown by a handler to answer its request with an error.
class ResponseError : public std::runtime_error {
 public:
  ResponseError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

Json PositionJson(Position position);
Json RangeJson(Position start, Position end);
// The range of byte span `span` on editor line `line`; the line's text from
// its first non-blank character when the span is unknown.
Json SpanRange(const Document& document, int line, Span span);
// The integer `object[key]`, clamped to int; `fallback` when the key is
// missing; ResponseError when the value is no integer.
int ReadInt(const Json& object, const char* key, int fallback);
int ReadInt(const Json& object, const char* key);
// A Position object; ResponseError when it is none.
Position ReadPositionObject(const Json& position);
// A TextDocumentPosition's position; ResponseError when it has none.
Position ReadPosition(const Json& params);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_PROTOCOL_H_
