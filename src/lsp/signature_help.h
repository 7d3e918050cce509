// textDocument/signatureHelp: inside the brackets of a command, its forms
// from the installer's reference and the parameter the cursor is on.
#ifndef VIGIL_LSP_SIGNATURE_HELP_H_
#define VIGIL_LSP_SIGNATURE_HELP_H_

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// The SignatureHelp result at `position`, or null outside a command's brackets.
Json SignatureHelpAt(const Document& document, Position position);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SIGNATURE_HELP_H_
