#include "lsp/protocol.h"

#include <algorithm>
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

Position ReadPosition(const Json& params) {
  const Json& position = params.at("position");
  return {position.at("line").get<int>(), position.at("character").get<int>()};
}

}  // namespace vigil::lsp
