#include "lsp/navigation.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/check/rename.h"
#include "core/lang/known_words.h"
#include "core/scan/tokenizer.h"
#include "lsp/words.h"

namespace vigil::lsp {

const Symbol* DeclaredNameAt(const Document& document, Position position) {
  if (position.line < 0 || position.line >= document.line_count()) return nullptr;
  int column = document.ByteColumnOf(position);
  const Compilation& compilation = document.compilation();
  return compilation.SymbolAt(position.line + 1, column);
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

// The core's plan gives the word under the cursor and the edits, or why not.
Json PrepareRenameAt(const Document& document, Position position) {
  if (position.line < 0 || position.line >= document.line_count()) return nullptr;
  RenamePlan plan =
      PrepareRename(document.compilation(), position.line + 1, document.ByteColumnOf(position));
  if (!plan.refusal.empty() || plan.symbol == nullptr) return nullptr;
  return {{"range", SiteRange(document, plan.word)}, {"placeholder", plan.symbol->name}};
}

Json RenameAt(const Document& document, Position position, std::string_view new_name) {
  if (position.line < 0 || position.line >= document.line_count()) {
    throw ResponseError(kRequestFailed, "no declared name here to rename");
  }
  RenamePlan plan = PlanRename(document.compilation(), position.line + 1,
                               document.ByteColumnOf(position), new_name);
  if (!plan.refusal.empty()) throw ResponseError(kRequestFailed, plan.refusal);
  Json edits = Json::array();
  for (const SourceSite& site : plan.edits) {
    if (site.span.known()) {
      edits.push_back({{"range", SiteRange(document, site)}, {"newText", new_name}});
    }
  }
  return {{"changes", {{document.uri(), edits}}}};
}

}  // namespace vigil::lsp
