#include "core/compile/compilation.h"

#include <algorithm>

#include "core/compile/compiler.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

// Lines whose words name no declared name in use: declarations and comments.
bool DeclaresOrComments(std::string_view text) {
  std::string_view rest = TrimBlanks(text);
  if (rest.empty() || rest.front() == ';') return true;
  std::string_view probe = rest;
  return TakeWord(probe, "MODULE") || TakeWord(probe, "PARTITION") || TakeWord(probe, "DEFINE");
}

// Adds the uses of the declared names: every run of name characters on a
// statement or DEVICE line that spells one. The element after a "." is the
// module's, never a name of the script's own.
void IndexUses(Compilation& result) {
  NameIndex index;
  for (size_t i = 0; i < result.declarations.size(); ++i) {
    index.Add(result.declarations[i].name, i);
  }
  for (const SourceLine& line : result.lines) {
    if (DeclaresOrComments(line.text)) continue;
    std::string_view text = line.text;
    size_t i = 0;
    while (i < text.size()) {
      if (!IsNameChar(text[i])) {
        ++i;
        continue;
      }
      size_t begin = i;
      while (i < text.size() && IsNameChar(text[i])) ++i;
      if (begin > 0 && text[begin - 1] == '.') continue;
      size_t at = index.Find(text.substr(begin, i - begin));
      if (at == NameIndex::npos) continue;
      Symbol& symbol = result.declarations[at];
      bool module = symbol.kind == SymbolKind::kModule || symbol.kind == SymbolKind::kPartition;
      if (i < text.size() && text[i] == '.' && !module) continue;
      symbol.uses.push_back({line.physical_line, {static_cast<int>(begin), static_cast<int>(i)}});
    }
  }
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
  if (options.index_uses) IndexUses(result);
  result.uses_indexed = options.index_uses;
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
  auto covers = [&](const SourceSite& site) {
    return site.line == line && site.span.known() && column >= site.span.begin &&
           column <= site.span.end;
  };
  for (const Symbol& symbol : declarations) {
    if (covers(symbol.declaration)) return &symbol;
    if (std::any_of(symbol.uses.begin(), symbol.uses.end(), covers)) return &symbol;
  }
  return nullptr;
}

}  // namespace vigil
