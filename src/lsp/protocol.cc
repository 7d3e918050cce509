#include "lsp/protocol.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

namespace vigil::lsp {

Json PositionJson(Position position) {
  return {{"line", position.line}, {"character", position.character}};
}

Json RangeJson(Position start, Position end) {
  return {{"start", PositionJson(start)}, {"end", PositionJson(end)}};
}

Json SpanRange(const Document& document, int line, Span span) {
  std::string_view text = document.LineText(line);
  int length = static_cast<int>(text.size());
  if (!span.known()) {
    size_t first = text.find_first_not_of(' ');
    span.begin = first == std::string_view::npos ? 0 : static_cast<int>(first);
    span.end = length;
  }
  int begin = std::clamp(span.begin, 0, length);
  int end = std::clamp(span.end, begin, length);
  return RangeJson(document.PositionOf(line, begin), document.PositionOf(line, end));
}

int ReadInt(const Json& object, const char* key, int fallback) {
  if (!object.is_object() || !object.contains(key)) return fallback;
  const Json& value = object[key];
  if (value.is_number_unsigned()) {
    return static_cast<int>(std::min<uint64_t>(value.get<uint64_t>(), INT_MAX));
  }
  if (!value.is_number_integer()) {
    throw ResponseError(kInvalidParams, std::string(key) + " is no integer");
  }
  return static_cast<int>(std::clamp<int64_t>(value.get<int64_t>(), INT_MIN, INT_MAX));
}

int ReadInt(const Json& object, const char* key) {
  if (!object.is_object() || !object.contains(key)) {
    throw ResponseError(kInvalidParams, std::string("missing ") + key);
  }
  return ReadInt(object, key, 0);
}

Position ReadPositionObject(const Json& position) {
  return {ReadInt(position, "line"), ReadInt(position, "character")};
}

Position ReadPosition(const Json& params) { return ReadPositionObject(params.at("position")); }

}  // namespace vigil::lsp
