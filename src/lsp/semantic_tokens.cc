#include "lsp/semantic_tokens.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/compile/tokens.h"
#include "lsp/navigation.h"

namespace vigil::lsp {
namespace {

// The legend's token types, in the order of their numbers.
enum TokenType {
  kKeyword,
  kNamespace,
  kVariable,
  kParameter,
  kEnumMember,
  kProperty,
  kNumber,
  kComment,
  kString,
};
constexpr std::string_view kTokenTypes[] = {"keyword",   "namespace",  "variable",
                                            "parameter", "enumMember", "property",
                                            "number",    "comment",    "string"};
constexpr int kDeclarationModifier = 1;  // bit 0 of the legend's modifiers
constexpr std::string_view kTokenModifiers[] = {"declaration"};

// The legend's type of each kind of word the compiler took.
int TypeOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::kKeyword:
    case TokenKind::kCommand:
    case TokenKind::kCondition:
    case TokenKind::kValue:
      return kKeyword;
    case TokenKind::kModule:
    case TokenKind::kPartition:
      return kNamespace;
    case TokenKind::kParameter:
      return kParameter;
    case TokenKind::kMark:
      return kEnumMember;
    case TokenKind::kRegister:
    case TokenKind::kTimer:
      return kVariable;
    case TokenKind::kElement:
    case TokenKind::kEvent:
      return kProperty;
    case TokenKind::kNumber:
      return kNumber;
    case TokenKind::kText:
      return kString;
    case TokenKind::kComment:
      return kComment;
  }
  return kKeyword;
}

}  // namespace

Json SemanticTokensLegend() {
  return {{"tokenTypes", kTokenTypes}, {"tokenModifiers", kTokenModifiers}};
}

std::vector<int> SemanticTokenData(const Document& document, int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, document.line_count() - 1);
  std::vector<int> data;
  if (first > last) return data;
  int previous_line = 0;
  int previous_start = 0;
  int last_end = 0;  // of the tokens sent on `end_line`
  int end_line = -1;
  for (const Token& token : document.compilation().TokensOnLines(first + 1, last + 1)) {
    int line = token.line - 1;
    if (line != end_line) {
      last_end = 0;
      end_line = line;
    }
    if (!token.span.known() || token.span.begin < last_end || token.span.end <= token.span.begin) {
      continue;  // overlaps stay out
    }
    last_end = token.span.end;
    int start = document.PositionOf(line, token.span.begin).character;
    int end = document.PositionOf(line, token.span.end).character;
    data.insert(data.end(),
                {line - previous_line, line == previous_line ? start - previous_start : start,
                 end - start, TypeOf(token.kind), token.declares ? kDeclarationModifier : 0});
    previous_line = line;
    previous_start = start;
  }
  return data;
}

Json SemanticTokens(const Document& document) {
  return {{"data", SemanticTokenData(document, 0, document.line_count() - 1)}};
}

Json SemanticTokenEdits(const std::vector<int>& previous, const std::vector<int>& current) {
  size_t start = 0;
  size_t limit = std::min(previous.size(), current.size());
  while (start < limit && previous[start] == current[start]) ++start;
  size_t tail = 0;
  while (tail < limit - start &&
         previous[previous.size() - 1 - tail] == current[current.size() - 1 - tail]) {
    ++tail;
  }
  Json edits = Json::array();
  if (start == previous.size() && start == current.size()) return edits;
  std::vector<int> inserted(current.begin() + static_cast<std::ptrdiff_t>(start),
                            current.end() - static_cast<std::ptrdiff_t>(tail));
  edits.push_back({{"start", start},
                   {"deleteCount", previous.size() - start - tail},
                   {"data", std::move(inserted)}});
  return edits;
}

}  // namespace vigil::lsp
