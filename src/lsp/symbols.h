// The outline (textDocument/documentSymbol: the declarations, then each EVENT
// block) and the folding ranges of EVENT and IF blocks, as the compiler read
// them.
#ifndef VIGIL_LSP_SYMBOLS_H_
#define VIGIL_LSP_SYMBOLS_H_

#include <string_view>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

Json DocumentSymbols(const Document& document);
// workspace/symbol: the outline entries of `document` whose name holds
// `query` (any case), as SymbolInformation, added to `found`.
void AddWorkspaceSymbols(const Document& document, std::string_view query, Json& found);
Json FoldingRanges(const Document& document);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SYMBOLS_H_
