// textDocument/semanticTokens: every word the compiler took, coloured by
// what it was to the compiler (the token record): declared names by kind,
// keywords, commands and conditions, elements and events (bare ones too),
// numbers, mark texts and comments.
#ifndef VIGIL_LSP_SEMANTIC_TOKENS_H_
#define VIGIL_LSP_SEMANTIC_TOKENS_H_

#include <vector>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// The legend the server announces in its capabilities.
Json SemanticTokensLegend();
// The encoded tokens of editor lines `first` to `last`: five integers per
// token, relative as the protocol says.
std::vector<int> SemanticTokenData(const Document& document, int first, int last);
// {"data": [...]} for the whole document.
Json SemanticTokens(const Document& document);
// The edits that turn `previous` into `current`: one replacement of what
// lies between their common start and common end, none when they are equal.
Json SemanticTokenEdits(const std::vector<int>& previous, const std::vector<int>& current);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SEMANTIC_TOKENS_H_
