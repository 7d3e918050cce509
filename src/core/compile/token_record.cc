// The token record: what each word of the script was to the compiler, kept
// only when a front end asks for it (CompileOptions::record_tokens).

#include <algorithm>

#include "core/compile/compiler.h"
#include "core/compile/token_kinds.h"
#include "core/lang/known_words.h"
#include "core/lang/name_codes.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

TokenKind KindOf(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::kModule:
      return TokenKind::kModule;
    case SymbolKind::kPartition:
      return TokenKind::kPartition;
    case SymbolKind::kParameter:
      return TokenKind::kParameter;
    case SymbolKind::kMark:
      return TokenKind::kMark;
    case SymbolKind::kRegister:
      return TokenKind::kRegister;
    case SymbolKind::kTimer:
      return TokenKind::kTimer;
  }
  return TokenKind::kModule;
}

// The collection a kind of name is looked up in (modules and partitions share one).
size_t IndexOf(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::kModule:
    case SymbolKind::kPartition:
      return 0;
    case SymbolKind::kParameter:
      return 1;
    case SymbolKind::kMark:
      return 2;
    case SymbolKind::kRegister:
      return 3;
    case SymbolKind::kTimer:
      return 4;
  }
  return 0;
}

bool IsDefinedKindWord(std::string_view word) {
  for (std::string_view kind : {"PARAMETER", "MARK", "REGISTER", "TIMER"}) {
    if (EqualsIgnoreCase(word, kind)) return true;
  }
  return false;
}

}  // namespace

void C_Compiler::IndexDeclaredNames() {
  for (NameIndex& index : name_positions_) index.Clear();
  for (size_t i = 0; i < declared_.size(); ++i) {
    name_positions_[IndexOf(declared_[i].kind)].Add(declared_[i].name, i);
  }
}

int C_Compiler::DeclaredNameOf(std::string_view word, bool modules_only) const {
  // The order of the word check: timers, registers, modules, marks, parameters.
  static constexpr std::array<size_t, 5> kOrder = {4, 3, 0, 2, 1};
  for (size_t index : kOrder) {
    if (modules_only && index != 0) continue;
    size_t at = name_positions_[index].Find(index == 3 ? TrimBlanks(word) : word);
    if (at != NameIndex::npos) return static_cast<int>(at);
  }
  return -1;
}

Span C_Compiler::SpanInLine(std::string_view part) const {
  if (display_line_ == nullptr || part.empty()) return {};
  const char* line = display_line_->text.data();
  if (part.data() >= line && part.data() + part.size() <= line + display_line_->text.size()) {
    int begin = static_cast<int>(part.data() - line);
    return {begin, begin + static_cast<int>(part.size())};
  }
  return SpanOf(part);
}

void C_Compiler::RecordToken(TokenKind kind, std::string_view part, int symbol, bool declares) {
  Span span = SpanInLine(part);
  if (!span.known()) return;
  tokens_.push_back({display_line_->physical_line, span, symbol, kind, declares});
}

// "FRONT.VALID", "MAIN-PANEL.RELAY1", "VISITS", "ON": a module and its element
// (an event on an EVENT line), a declared name, a keyword, a number, or an
// element of the open event's module. Words the compiler would not take get
// no token.
void C_Compiler::RecordWord(std::string_view word, bool event_line, bool in_brackets) {
  if (!word.empty() && word.back() == ')') word.remove_suffix(1);
  if (word.empty()) return;
  if (Contains(word, ".")) {
    std::string_view module_part = ModulePart(word);
    int symbol = DeclaredNameOf(module_part, /*modules_only=*/true);
    if (symbol < 0) return;
    RecordToken(KindOf(declared_[static_cast<size_t>(symbol)].kind), module_part, symbol);
    std::string_view element = ElementPart(word);
    const C_Module* module = symbols_.modules.Find(module_part);
    if (module != nullptr && IsElementOfKind(module->id, ToUpper(element))) {
      RecordToken(event_line ? TokenKind::kEvent : TokenKind::kElement, element);
    }
    return;
  }
  if (IsNumberWord(word)) return RecordToken(TokenKind::kNumber, word);
  int symbol = DeclaredNameOf(word, /*modules_only=*/false);
  // Inside brackets a declared name wins over a keyword of the same spelling.
  if (symbol >= 0 && in_brackets) {
    return RecordToken(KindOf(declared_[static_cast<size_t>(symbol)].kind), word, symbol);
  }
  std::string upper = ToUpper(word);
  if (std::optional<TokenKind> kind = KeywordTokenKind(upper)) return RecordToken(*kind, word);
  if (current_event_module_ != -1 && IsElementOfKind(current_event_module_, upper)) {
    return RecordToken(event_line ? TokenKind::kEvent : TokenKind::kElement, word);
  }
  if (symbol >= 0) RecordToken(KindOf(declared_[static_cast<size_t>(symbol)].kind), word, symbol);
}

void C_Compiler::RecordStatementTokens() {
  std::string_view scan = work_;
  bool event_line = PeekWord(scan).word == "EVENT";
  const char* previous = nullptr;
  while (true) {
    std::string_view token = TakeToken(scan);
    if (token.data() == previous || token.empty()) return;
    previous = token.data();
    size_t at = static_cast<size_t>(token.data() - work_.data());
    size_t before = work_.find_last_not_of(" \t", at == 0 ? std::string::npos : at - 1);
    bool in_brackets =
        at > 0 && before != std::string::npos && (work_[before] == '(' || work_[before] == ',');
    RecordWord(token, event_line && token.data() != work_.data(), in_brackets);
  }
}

// The declaration lines the declaration pass read: their keywords, numbers,
// mark texts and the module names of DEVICE lines; the declared names come
// from the declarations themselves, with the label a MODULE or PARTITION
// line may repeat before its "=" ("MODULE PANEL = PANEL,0"): the compiler
// does not read it, but it reads as the same name.
void C_Compiler::RecordDeclarationTokens() {
  for (size_t i = 0; i < declared_.size(); ++i) {
    const Symbol& symbol = declared_[i];
    if (!symbol.declaration.span.known()) continue;
    tokens_.push_back({symbol.declaration.line, symbol.declaration.span, static_cast<int>(i),
                       KindOf(symbol.kind), true});
    if (symbol.kind == SymbolKind::kModule || symbol.kind == SymbolKind::kPartition) {
      RecordLabel(symbol, static_cast<int>(i));
    }
  }
  for (const SourceLine& line : lines_) {
    if (first_event_line_ > 0 && line.physical_line >= first_event_line_) break;
    if (StartsWithIgnoreCase(line.text, "MODULE") || StartsWithIgnoreCase(line.text, "PARTITION")) {
      RecordDeclarationLine(line);
    }
  }
  for (const SourceLine* line : define_lines_) RecordDeclarationLine(*line);
  for (const SourceLine* line : device_lines_) RecordDeclarationLine(*line);
}

void C_Compiler::RecordLabel(const Symbol& symbol, int index) {
  size_t at = static_cast<size_t>(LineIndexOf(symbol.declaration.line));
  if (at >= lines_.size()) return;
  const SourceLine& line = lines_[at];
  std::string_view head = line.text.substr(0, line.text.find('='));
  std::string_view rest = head;
  TakeWord(rest);  // MODULE or PARTITION
  std::string_view label = TakeWord(rest);
  if (label.empty() || label.data() == head.data() || !EqualsIgnoreCase(label, symbol.name)) return;
  int begin = static_cast<int>(label.data() - line.text.data());
  tokens_.push_back({symbol.declaration.line,
                     {begin, begin + static_cast<int>(label.size())},
                     index,
                     KindOf(symbol.kind),
                     true});
}

int C_Compiler::LineIndexOf(int physical_line) const {
  auto it =
      std::lower_bound(lines_.begin(), lines_.end(), physical_line,
                       [](const SourceLine& l, int wanted) { return l.physical_line < wanted; });
  return static_cast<int>(it - lines_.begin());
}

void C_Compiler::RecordDeclarationLine(const SourceLine& line) {
  display_line_ = &line;
  std::string_view rest = line.text;
  std::string_view keyword = TakeWord(rest);
  RecordToken(TokenKind::kKeyword, keyword);
  bool define = EqualsIgnoreCase(keyword, "DEFINE");
  bool device = EqualsIgnoreCase(keyword, "DEVICE");
  if (define) {
    std::string_view kind = TakeWord(rest);
    if (IsDefinedKindWord(kind)) RecordToken(TokenKind::kKeyword, kind);
    if (EqualsIgnoreCase(kind, "MARK")) {
      size_t equals = rest.find('=');
      if (equals != std::string_view::npos) {
        RecordToken(TokenKind::kText, TrimBlanks(rest.substr(equals + 1)));
      }
      return;
    }
  }
  size_t equals = rest.find('=');
  if (equals == std::string_view::npos) return;
  std::string_view fields = rest.substr(equals + 1);
  bool first = true;
  for (std::string_view field : Split(fields, ',')) {
    std::string_view word = TrimBlanks(field);
    if (device && first && Contains(word, ".")) {
      int symbol = DeclaredNameOf(ModulePart(word), /*modules_only=*/true);
      if (symbol >= 0) {
        RecordToken(KindOf(declared_[static_cast<size_t>(symbol)].kind), ModulePart(word), symbol);
      }
    } else if (IsNumberWord(word)) {
      RecordToken(TokenKind::kNumber, word);
    }
    first = false;
  }
}

void C_Compiler::OpenBlock(Block::Kind kind) {
  int parent = open_block_stack_.empty() ? -1 : open_block_stack_.back();
  open_block_stack_.push_back(static_cast<int>(blocks_.size()));
  blocks_.push_back({kind, display_line_->physical_line, 0, 0, parent});
}

void C_Compiler::MarkElse() {
  if (open_block_stack_.empty()) return;
  Block& block = blocks_[static_cast<size_t>(open_block_stack_.back())];
  if (block.kind == Block::Kind::kIf) block.else_line = display_line_->physical_line;
}

void C_Compiler::CloseBlock(Block::Kind kind) {
  // An EVENTEND also ends the IFs its event left open, which stay unclosed.
  while (!open_block_stack_.empty()) {
    Block& block = blocks_[static_cast<size_t>(open_block_stack_.back())];
    if (block.kind != kind && kind == Block::Kind::kIf) return;
    open_block_stack_.pop_back();
    if (block.kind == kind) {
      block.last_line = display_line_->physical_line;
      return;
    }
  }
}

}  // namespace vigil
