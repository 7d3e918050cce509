// textDocument/formatting: EVENT and IF blocks indented with blanks. Only
// leading blanks change; every other byte of a line stays as it is, and
// MODULE, PARTITION and DEVICE lines, whose column matters, are not touched.
// The code a script compiles to is therefore the same before and after.
#ifndef VIGIL_LSP_FORMATTING_H_
#define VIGIL_LSP_FORMATTING_H_

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// The TextEdits, `indent_width` blanks per open block.
Json FormattingEdits(const Document& document, int indent_width);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_FORMATTING_H_
