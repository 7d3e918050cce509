// The outline (textDocument/documentSymbol: the declarations, then each EVENT
// block) and the folding ranges of EVENT and IF blocks.
#ifndef VIGIL_LSP_SYMBOLS_H_
#define VIGIL_LSP_SYMBOLS_H_

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

Json DocumentSymbols(const Document& document);
Json FoldingRanges(const Document& document);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SYMBOLS_H_
