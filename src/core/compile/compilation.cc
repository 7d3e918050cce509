#include "core/compile/compilation.h"

#include <algorithm>

#include "core/compile/compiler.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

// The uses of each declared name: the tokens that name it without declaring it.
void AddUses(Compilation& result) {
  for (const Token& token : result.tokens) {
    if (token.symbol < 0 || token.declares) continue;
    result.declarations[static_cast<size_t>(token.symbol)].uses.push_back({token.line, token.span});
  }
}

bool Before(const Token& a, const Token& b) {
  return a.line != b.line ? a.line < b.line : a.span.begin < b.span.begin;
}

}  // namespace

std::string_view SymbolKindName(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::kModule:
      return "module";
    case SymbolKind::kPartition:
      return "partition";
    case SymbolKind::kParameter:
      return "parameter";
    case SymbolKind::kMark:
      return "archive mark";
    case SymbolKind::kRegister:
      return "register";
    case SymbolKind::kTimer:
      return "timer";
  }
  return "name";
}

Compilation Compile(std::string script, CompileOptions options) {
  C_Compiler compiler;
  compiler.set_source(std::move(script));
  compiler.set_record_tokens(options.record_tokens);
  compiler.Compile();

  Compilation result;
  result.records.parameter_records = compiler.DefineParameters();
  result.records.module_records = compiler.ModuleParameters();
  result.records.partition_tree = compiler.PartitionTree();
  result.open_blocks = {compiler.UnclosedIfLines(), compiler.UnclosedEventLine(),
                        std::move(compiler.untested_ifs_)};
  // The lines are views into the compiler's copy of the script, which the
  // value shares.
  result.ignored_declarations = std::move(compiler.ignored_declarations_);
  result.source = std::move(compiler.source_);
  result.lines = std::move(compiler.lines_);
  result.symbols = std::move(compiler.symbols_);
  result.declarations = std::move(compiler.declared_);
  result.code = compiler.code_.bytes();
  result.line_code = std::move(compiler.line_code_);
  result.errors = std::move(compiler.errors_);
  result.settings_table = std::move(compiler.settings_table_);
  result.counted_lines = compiler.count_lines_;
  result.error_count = compiler.count_errors_;
  result.tokens = std::move(compiler.tokens_);
  result.blocks = std::move(compiler.blocks_);
  if (!std::is_sorted(result.tokens.begin(), result.tokens.end(), Before)) {
    std::stable_sort(result.tokens.begin(), result.tokens.end(), Before);
  }
  AddUses(result);
  result.uses_indexed = options.record_tokens;
  return result;
}

const SourceLine* Compilation::Line(int line) const {
  auto it = std::lower_bound(lines.begin(), lines.end(), line, [](const SourceLine& l, int wanted) {
    return l.physical_line < wanted;
  });
  return it != lines.end() && it->physical_line == line ? &*it : nullptr;
}

const Symbol* Compilation::FindSymbol(std::string_view name) const {
  for (const Symbol& symbol : declarations) {
    if (EqualsIgnoreCase(symbol.name, name)) return &symbol;
  }
  return nullptr;
}

const Symbol* Compilation::SymbolAt(int line, int column) const {
  const Token* token = TokenAt(line, column);
  if (token == nullptr || token->symbol < 0) return nullptr;
  return &declarations[static_cast<size_t>(token->symbol)];
}

const Token* Compilation::TokenAt(int line, int column) const {
  std::span<const Token> on_line = TokensOnLines(line, line);
  // A cursor between two words touching each other belongs to the second.
  for (auto it = on_line.rbegin(); it != on_line.rend(); ++it) {
    if (column >= it->span.begin && column <= it->span.end) return &*it;
  }
  return nullptr;
}

std::span<const Token> Compilation::TokensOnLines(int first, int last) const {
  auto begin = std::lower_bound(tokens.begin(), tokens.end(), first,
                                [](const Token& t, int wanted) { return t.line < wanted; });
  auto end = std::upper_bound(begin, tokens.end(), last,
                              [](int wanted, const Token& t) { return wanted < t.line; });
  return {begin, end};
}

}  // namespace vigil
