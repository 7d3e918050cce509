#include "core/check/rename.h"

#include <algorithm>

#include "core/compile/token_kinds.h"
#include "core/lang/known_words.h"
#include "core/lang/limits.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The tokens that declare the name: its declaration, and the label a MODULE
// or PARTITION line repeats before its "=".
std::vector<SourceSite> Declarations(const Compilation& compilation, int symbol) {
  std::vector<SourceSite> sites;
  int line = compilation.declarations[static_cast<size_t>(symbol)].declaration.line;
  for (const Token& token : compilation.TokensOnLines(line, line)) {
    if (token.symbol == symbol && token.declares) sites.push_back({token.line, token.span});
  }
  return sites;
}

bool IsElementName(std::string_view upper) {
  for (int id = 0; id <= kMaxDeclaredId; ++id) {
    if (IsElementOfKind(id, upper)) return true;
  }
  return false;
}

// Why `name` cannot name a `kind`, or empty.
std::string NameRefusal(const Compilation& compilation, const Symbol& symbol,
                        std::string_view name) {
  if (name.empty()) return "the new name is empty";
  bool hyphen_allowed = symbol.kind == SymbolKind::kModule;
  for (char c : name) {
    if (!IsNameChar(c) && !(hyphen_allowed && c == '-')) {
      return Quoted(name) + " is not a name: use letters, digits and _" +
             (hyphen_allowed ? std::string(" (and - in a module name)") : "");
    }
  }
  std::string upper = ToUpper(name);
  if (IsNumberWord(name)) return Quoted(name) + " is a number";
  if (KeywordTokenKind(upper) || IsKeyword(upper)) return Quoted(name) + " is a keyword";
  if (IsElementName(upper)) return Quoted(name) + " is the name of a module's element";
  for (const Symbol& other : compilation.declarations) {
    if (&other != &symbol && EqualsIgnoreCase(other.name, name)) {
      return Quoted(name) + " is already declared as " + std::string(SymbolKindName(other.kind)) +
             " on line " + std::to_string(other.declaration.line);
    }
  }
  return {};
}

size_t OffsetOf(const Compilation& compilation, const SourceSite& site) {
  const SourceLine* line = compilation.Line(site.line);
  return static_cast<size_t>(line->text.data() - compilation.source->data()) +
         static_cast<size_t>(site.span.begin);
}

}  // namespace

RenamePlan PrepareRename(const Compilation& compilation, int line, int column) {
  RenamePlan plan;
  const Token* token = compilation.TokenAt(line, column);
  if (token == nullptr) {
    plan.refusal = "there is no declared name here to rename";
    return plan;
  }
  if (token->symbol < 0) {
    plan.refusal = "only declared names can be renamed: this is " +
                   std::string(token->kind == TokenKind::kElement ? "an " : "a ") +
                   std::string(TokenKindName(token->kind));
    return plan;
  }
  plan.word = {token->line, token->span};
  plan.symbol = &compilation.declarations[static_cast<size_t>(token->symbol)];
  plan.edits = Declarations(compilation, token->symbol);
  plan.edits.insert(plan.edits.end(), plan.symbol->uses.begin(), plan.symbol->uses.end());
  std::sort(plan.edits.begin(), plan.edits.end(), [](const SourceSite& a, const SourceSite& b) {
    return a.line != b.line ? a.line < b.line : a.span.begin < b.span.begin;
  });
  return plan;
}

std::string ApplyRename(const Compilation& compilation, const RenamePlan& plan,
                        std::string_view new_name) {
  std::string script;
  const std::string& source = *compilation.source;
  size_t copied = 0;
  for (const SourceSite& edit : plan.edits) {
    size_t at = OffsetOf(compilation, edit);
    script.append(source, copied, at - copied);
    script.append(new_name);
    copied = at + static_cast<size_t>(edit.span.end - edit.span.begin);
  }
  script.append(source, copied);
  return script;
}

RenamePlan PlanRename(const Compilation& compilation, int line, int column,
                      std::string_view new_name) {
  RenamePlan plan = PrepareRename(compilation, line, column);
  if (!plan.refusal.empty()) return plan;
  plan.refusal = NameRefusal(compilation, *plan.symbol, new_name);
  if (!plan.refusal.empty()) return plan;
  Compilation renamed = Compile(ApplyRename(compilation, plan, new_name), {.record_tokens = false});
  if (renamed.code != compilation.code || renamed.error_count != compilation.error_count) {
    plan.refusal = "renaming " + Quoted(plan.symbol->name) + " to " + Quoted(new_name) +
                   " would change what the script compiles to";
  }
  return plan;
}

}  // namespace vigil
