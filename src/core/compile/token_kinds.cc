#include "core/compile/token_kinds.h"

#include <array>
#include <string>
#include <unordered_map>

#include "core/lang/known_words.h"
#include "core/lang/opcodes.h"

namespace vigil {
namespace {

// The words that shape blocks and terms rather than doing something.
constexpr std::array<std::string_view, 7> kStructureWords = {"EVENT", "EVENTEND", "IF", "THEN",
                                                             "ELSE",  "ENDIF",    "NOT"};

// The first word of an instruction's or condition's form: "DELAY" of "DELAY(n)".
std::string_view LeadingWord(std::string_view form) {
  size_t end = form.find_first_of(" (");
  return form.substr(0, end);
}

// Every keyword with its kind, from the instruction and condition lists.
std::unordered_map<std::string_view, TokenKind> MakeKeywordKinds() {
  std::unordered_map<std::string_view, TokenKind> kinds;
  for (std::string_view keyword : Keywords()) kinds[keyword] = TokenKind::kValue;
  auto mark = [&](std::string_view form, TokenKind kind) {
    auto it = kinds.find(LeadingWord(form));
    if (it != kinds.end()) it->second = kind;
  };
#define VIGIL_MARK_COMMAND(name, code, operands, form, display) mark(form, TokenKind::kCommand);
#define VIGIL_MARK_CONDITION(name, code, operands, form, display) mark(form, TokenKind::kCondition);
  VIGIL_INSTRUCTIONS(VIGIL_MARK_COMMAND)
  VIGIL_CONDITIONS(VIGIL_MARK_CONDITION)
#undef VIGIL_MARK_COMMAND
#undef VIGIL_MARK_CONDITION
  for (std::string_view word : kStructureWords) kinds[word] = TokenKind::kKeyword;
  return kinds;
}

}  // namespace

std::string_view TokenKindName(TokenKind kind) {
  static constexpr std::array<std::string_view, 15> kNames = {
      "keyword",   "module",  "element",   "event",  "partition", "mark",  "register", "timer",
      "parameter", "command", "condition", "number", "text",      "value", "comment"};
  return kNames[static_cast<size_t>(kind)];
}

std::optional<TokenKind> KeywordTokenKind(std::string_view upper_word) {
  static const std::unordered_map<std::string_view, TokenKind> kinds = MakeKeywordKinds();
  auto it = kinds.find(upper_word);
  if (it == kinds.end()) return std::nullopt;
  return it->second;
}

}  // namespace vigil
