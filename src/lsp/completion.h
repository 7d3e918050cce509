// textDocument/completion that knows the place: statement words at the start
// of a statement, the declared modules and partitions, after "MODULE." the
// elements and events of that module's kind, inside a command's brackets what
// the command takes, flag names inside FLAGS by the event's module, and the
// SYSTEMKEY key words.
#ifndef VIGIL_LSP_COMPLETION_H_
#define VIGIL_LSP_COMPLETION_H_

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// A CompletionList for `position`.
Json CompletionAt(const Document& document, Position position);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_COMPLETION_H_
