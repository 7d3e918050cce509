// textDocument/hover: what the word or statement under the cursor means.
//   - a diagnostic there: its explanation, as `vigil explain` prints it;
//   - a declared name: its declaration and number;
//   - an element or event name: its code;
//   - a statement: the bytes it compiles to and their reading.
#ifndef VIGIL_LSP_HOVER_H_
#define VIGIL_LSP_HOVER_H_

#include <optional>
#include <string>
#include <string_view>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// The Hover result for `position`, or null when there is nothing to show.
Json HoverAt(const Document& document, Position position);

// The hover text of a name as another file (a scenario file) uses it: a
// declared name of `compilation`, MODULE.ELEMENT, or a command or condition
// word; nullopt for anything else.
std::optional<std::string> NameMeaning(const Compilation& compilation, std::string_view word);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_HOVER_H_
