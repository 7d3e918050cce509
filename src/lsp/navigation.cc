#include "lsp/navigation.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/lang/known_words.h"
#include "core/scan/tokenizer.h"
#include "lsp/words.h"

namespace vigil::lsp {

std::optional<WordRange> RepeatedName(const Document& document, const Symbol& symbol) {
  if (symbol.kind != SymbolKind::kModule && symbol.kind != SymbolKind::kPartition) {
    return std::nullopt;
  }
  std::string_view text = document.LineText(symbol.declaration.line - 1);
  std::vector<WordRange> words = WordsOf(text.substr(0, text.find('=')));
  if (words.size() != 2 || !EqualsIgnoreCase(TextOf(text, words[1]), symbol.name)) {
    return std::nullopt;
  }
  return words[1];
}

const Symbol* DeclaredNameAt(const Document& document, Position position) {
  if (position.line < 0 || position.line >= document.line_count()) return nullptr;
  int column = document.ByteColumnOf(position);
  const Compilation& compilation = document.compilation();
  if (const Symbol* symbol = compilation.SymbolAt(position.line + 1, column)) return symbol;
  for (const Symbol& symbol : compilation.declarations) {
    if (symbol.declaration.line != position.line + 1) continue;
    std::optional<WordRange> name = RepeatedName(document, symbol);
    if (name && column >= name->begin && column <= name->end) return &symbol;
  }
  return nullptr;
}

namespace {

Json SiteRange(const Document& document, const SourceSite& site) {
  return SpanRange(document, site.line - 1, site.span);
}

Json Location(const Document& document, const SourceSite& site) {
  return {{"uri", document.uri()}, {"range", SiteRange(document, site)}};
}

}  // namespace

Json DefinitionAt(const Document& document, Position position) {
  const Symbol* symbol = DeclaredNameAt(document, position);
  if (symbol == nullptr) return nullptr;
  return Location(document, symbol->declaration);
}

Json ReferencesAt(const Document& document, Position position, bool include_declaration) {
  const Symbol* symbol = DeclaredNameAt(document, position);
  Json locations = Json::array();
  if (symbol == nullptr) return locations;
  if (include_declaration) locations.push_back(Location(document, symbol->declaration));
  for (const SourceSite& use : symbol->uses) locations.push_back(Location(document, use));
  return locations;
}

Json HighlightsAt(const Document& document, Position position) {
  constexpr int kRead = 2;
  constexpr int kWrite = 3;
  const Symbol* symbol = DeclaredNameAt(document, position);
  Json highlights = Json::array();
  if (symbol == nullptr) return highlights;
  highlights.push_back({{"range", SiteRange(document, symbol->declaration)}, {"kind", kWrite}});
  for (const SourceSite& use : symbol->uses) {
    highlights.push_back({{"range", SiteRange(document, use)}, {"kind", kRead}});
  }
  return highlights;
}

namespace {

// The site of `symbol` (its declaration, the repeated name or a use) that
// covers byte `column` of editor line `line`: the word under the cursor.
SourceSite SiteAt(const Document& document, const Symbol& symbol, int line, int column) {
  std::vector<SourceSite> sites = symbol.uses;
  sites.push_back(symbol.declaration);
  if (std::optional<WordRange> name = RepeatedName(document, symbol)) {
    sites.push_back({symbol.declaration.line, Span{name->begin, name->end}});
  }
  for (const SourceSite& site : sites) {
    if (site.line == line + 1 && site.span.known() && column >= site.span.begin &&
        column <= site.span.end) {
      return site;
    }
  }
  return symbol.declaration;
}

}  // namespace

Json PrepareRenameAt(const Document& document, Position position) {
  const Symbol* symbol = DeclaredNameAt(document, position);
  if (symbol == nullptr) return nullptr;
  SourceSite site = SiteAt(document, *symbol, position.line, document.ByteColumnOf(position));
  return {{"range", SiteRange(document, site)}, {"placeholder", symbol->name}};
}

Json RenameAt(const Document& document, Position position, std::string_view new_name) {
  const Symbol* symbol = DeclaredNameAt(document, position);
  if (symbol == nullptr) throw ResponseError(kRequestFailed, "no declared name here to rename");
  if (new_name.empty() || !std::all_of(new_name.begin(), new_name.end(), IsNameChar)) {
    throw ResponseError(kRequestFailed, "'" + std::string(new_name) +
                                            "' is no name: names have letters, digits and _ only");
  }
  if (IsKeyword(ToUpper(new_name))) {
    throw ResponseError(kRequestFailed,
                        "'" + std::string(new_name) + "' is a keyword of the language");
  }
  const Symbol* taken = document.compilation().FindSymbol(new_name);
  if (taken != nullptr && taken != symbol) {
    throw ResponseError(kRequestFailed, "'" + std::string(new_name) + "' is already declared as " +
                                            std::string(SymbolKindName(taken->kind)) + " " +
                                            taken->name);
  }
  Json edits = Json::array();
  auto add = [&](const SourceSite& site) {
    if (site.span.known())
      edits.push_back({{"range", SiteRange(document, site)}, {"newText", new_name}});
  };
  add(symbol->declaration);
  if (std::optional<WordRange> name = RepeatedName(document, *symbol)) {
    add({symbol->declaration.line, Span{name->begin, name->end}});
  }
  for (const SourceSite& use : symbol->uses) add(use);
  return {{"changes", {{document.uri(), edits}}}};
}

}  // namespace vigil::lsp
