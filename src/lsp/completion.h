// textDocument/completion that knows the place: declaration words outside an
// EVENT block, block words and commands (documented from the reference)
// inside one, the declared modules and partitions, after "MODULE." the events
// of its kind on an EVENT line and its elements in a statement, inside a command's brackets what
// the command takes, flag names inside FLAGS by the event's module, and the
// SYSTEMKEY key words.
#ifndef VIGIL_LSP_COMPLETION_H_
#define VIGIL_LSP_COMPLETION_H_

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// A CompletionList for `position`; commands with parameters come as
// snippets when the client expands them.
Json CompletionAt(const Document& document, Position position, bool snippets);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_COMPLETION_H_
