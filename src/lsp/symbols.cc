#include "lsp/symbols.h"

#include <string>
#include <utility>

#include "core/compile/symbol_table.h"
#include "core/compile/tokens.h"
#include "core/scan/tokenizer.h"

namespace vigil::lsp {
namespace {

// SymbolKind values of the protocol.
enum ProtocolSymbolKind {
  kModuleSymbol = 2,
  kNamespaceSymbol = 3,
  kFunctionSymbol = 12,
  kVariableSymbol = 13,
  kConstantSymbol = 14,
  kStringSymbol = 15,
  kEventSymbol = 24,
};

int ProtocolKind(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::kModule:
      return kModuleSymbol;
    case SymbolKind::kPartition:
      return kNamespaceSymbol;
    case SymbolKind::kParameter:
      return kConstantSymbol;
    case SymbolKind::kMark:
      return kStringSymbol;
    case SymbolKind::kRegister:
    case SymbolKind::kTimer:
      return kVariableSymbol;
  }
  return kVariableSymbol;
}

Json LineRange(const Document& document, int first, int last) {
  return RangeJson({first, 0},
                   document.PositionOf(last, static_cast<int>(document.LineText(last).size())));
}

// The editor lines of a block the compiler read: one left open runs to the
// last line.
std::pair<int, int> EditorLines(const Document& document, const Block& block) {
  int last = block.last_line > 0 ? block.last_line - 1 : document.line_count() - 1;
  return {block.first_line - 1, last};
}

}  // namespace

Json DocumentSymbols(const Document& document) {
  Json symbols = Json::array();
  for (const Symbol& symbol : document.compilation().declarations) {
    Json selection = SpanRange(document, symbol.declaration.line - 1, symbol.declaration.span);
    int line = symbol.declaration.line - 1;
    symbols.push_back({{"name", symbol.name},
                       {"detail", SymbolKindName(symbol.kind)},
                       {"kind", ProtocolKind(symbol.kind)},
                       {"range", LineRange(document, line, line)},
                       {"selectionRange", selection}});
  }
  for (const Block& block : document.compilation().blocks) {
    if (block.kind != Block::Kind::kEvent) continue;
    auto [first, last] = EditorLines(document, block);
    std::string_view header = TrimBlanks(document.LineText(first));
    symbols.push_back({{"name", std::string(header)},
                       {"kind", kEventSymbol},
                       {"range", LineRange(document, first, last)},
                       {"selectionRange", LineRange(document, first, first)}});
  }
  return symbols;
}

void AddWorkspaceSymbols(const Document& document, std::string_view query, Json& found) {
  std::string wanted = ToUpper(query);
  for (const Json& symbol : DocumentSymbols(document)) {
    std::string name = symbol["name"].get<std::string>();
    if (ToUpper(name).find(wanted) == std::string::npos) continue;
    Json information = {
        {"name", name},
        {"kind", symbol["kind"]},
        {"location", {{"uri", document.uri()}, {"range", symbol["selectionRange"]}}}};
    if (symbol.contains("detail")) information["containerName"] = symbol["detail"];
    found.push_back(std::move(information));
  }
}

Json FoldingRanges(const Document& document) {
  Json ranges = Json::array();
  for (const Block& block : document.compilation().blocks) {
    auto [first, last] = EditorLines(document, block);
    if (last > first) ranges.push_back({{"startLine", first}, {"endLine", last}});
  }
  return ranges;
}

}  // namespace vigil::lsp
