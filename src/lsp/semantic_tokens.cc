#include "lsp/semantic_tokens.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/lang/known_words.h"
#include "core/lang/name_codes.h"
#include "core/scan/tokenizer.h"
#include "lsp/blocks.h"
#include "lsp/navigation.h"
#include "lsp/words.h"

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

// Words that start lines and are not in the keyword list.
constexpr std::string_view kStatementWords[] = {"MODULE",    "PARTITION", "DEVICE", "DEFINE",
                                                "PARAMETER", "REGISTER",  "TIMER"};

struct Token {
  int begin = 0;
  int end = 0;
  int type = 0;
  int modifiers = 0;
};

int TypeOf(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::kModule:
    case SymbolKind::kPartition:
      return kNamespace;
    case SymbolKind::kParameter:
      return kParameter;
    case SymbolKind::kMark:
      return kEnumMember;
    case SymbolKind::kRegister:
    case SymbolKind::kTimer:
      return kVariable;
  }
  return kVariable;
}

bool IsStatementWord(std::string_view upper) {
  return IsKeyword(upper) || std::find(std::begin(kStatementWords), std::end(kStatementWords),
                                       upper) != std::end(kStatementWords);
}

// The tokens of the declared names on editor lines `first` to `last`, by
// line from `first`.
std::vector<std::vector<Token>> SymbolTokens(const Document& document, int first, int last) {
  std::vector<std::vector<Token>> lines(static_cast<size_t>(last - first + 1));
  auto add = [&](const SourceSite& site, int type, int modifiers) {
    int line = site.line - 1;
    if (!site.span.known() || line < first || line > last) return;
    lines[static_cast<size_t>(line - first)].push_back(
        {site.span.begin, site.span.end, type, modifiers});
  };
  for (const Symbol& symbol : document.compilation().declarations) {
    add(symbol.declaration, TypeOf(symbol.kind), kDeclarationModifier);
    if (std::optional<WordRange> name = RepeatedName(document, symbol)) {
      add({symbol.declaration.line, Span{name->begin, name->end}}, TypeOf(symbol.kind),
          kDeclarationModifier);
    }
    for (const SourceSite& use : symbol.uses) add(use, TypeOf(symbol.kind), 0);
  }
  return lines;
}

// Adds `token` unless it overlaps one already there (a declared name's site).
void Add(std::vector<Token>& tokens, Token token) {
  bool overlaps = std::any_of(tokens.begin(), tokens.end(), [&](const Token& other) {
    return other.begin < token.end && token.begin < other.end;
  });
  if (!overlaps && token.begin < token.end) tokens.push_back(token);
}

bool LooksNumeric(std::string_view upper) {
  return IsNumberWord(upper) || (!upper.empty() && (upper[0] == '-' || upper[0] == '+' ||
                                                    (upper[0] >= '0' && upper[0] <= '9')));
}

// The tokens of a word, where no declared name's site already covers it.
void WordTokens(const Document& document, std::string_view text, WordRange word,
                std::vector<Token>& tokens) {
  std::string upper = ToUpper(TextOf(text, word));
  if (IsStatementWord(upper)) return Add(tokens, {word.begin, word.end, kKeyword, 0});
  if (LooksNumeric(upper)) return Add(tokens, {word.begin, word.end, kNumber, 0});
  size_t dot = upper.find('.');
  if (dot == std::string::npos) return;
  int split = word.begin + static_cast<int>(dot);
  if (document.compilation().symbols.modules.Contains(upper.substr(0, dot))) {
    Add(tokens, {word.begin, split, kNamespace, 0});
  }
  Add(tokens, {split + 1, word.end, kProperty, 0});
}

std::vector<Token> LineTokens(const Document& document, int line, std::vector<Token> tokens) {
  std::string_view text = document.LineText(line);
  LineKind kind = KindOfLine(text);
  if (kind == LineKind::kComment) {
    int first = static_cast<int>(text.find(';'));
    return {{first, static_cast<int>(text.size()), kComment, 0}};
  }
  std::string_view statement = text;
  std::vector<WordRange> words = WordsOf(text);
  // DEFINE MARK NAME = text: the text after "=" is the mark's.
  if (words.size() >= 2 && EqualsIgnoreCase(TextOf(text, words[0]), "DEFINE") &&
      EqualsIgnoreCase(TextOf(text, words[1]), "MARK")) {
    size_t equals = text.find('=');
    if (equals != std::string_view::npos) {
      statement = text.substr(0, equals);
      size_t start = text.find_first_not_of(' ', equals + 1);
      if (start != std::string_view::npos) {
        tokens.push_back({static_cast<int>(start), static_cast<int>(text.size()), kString, 0});
      }
      words = WordsOf(statement);
    }
  }
  for (WordRange word : words) WordTokens(document, text, word, tokens);
  std::sort(tokens.begin(), tokens.end(),
            [](const Token& a, const Token& b) { return a.begin < b.begin; });
  return tokens;
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
  std::vector<std::vector<Token>> symbol_tokens = SymbolTokens(document, first, last);
  int previous_line = 0;
  int previous_start = 0;
  for (int line = first; line <= last; ++line) {
    std::vector<Token> tokens =
        LineTokens(document, line, std::move(symbol_tokens[static_cast<size_t>(line - first)]));
    int last_end = 0;
    for (const Token& token : tokens) {
      if (token.begin < last_end || token.end <= token.begin) continue;  // overlaps stay out
      last_end = token.end;
      int start = document.PositionOf(line, token.begin).character;
      int end = document.PositionOf(line, token.end).character;
      data.insert(data.end(),
                  {line - previous_line, line == previous_line ? start - previous_start : start,
                   end - start, token.type, token.modifiers});
      previous_line = line;
      previous_start = start;
    }
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
