// textDocument/codeAction: quick fixes from the notes and for the file.
//   - an error whose note says "did you mean X?": replace the word with X;
//   - lines ending in a lone LF among CR LF lines: convert them to CR LF;
//   - a UTF-8 byte-order mark at the start: remove it.
#ifndef VIGIL_LSP_CODE_ACTIONS_H_
#define VIGIL_LSP_CODE_ACTIONS_H_

#include <optional>
#include <string>
#include <string_view>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// "X" from a note "did you mean X?"; nullopt for other notes.
std::optional<std::string> SuggestedWord(std::string_view note);

// The CodeActions for the lines from `first_line` to `last_line`.
Json CodeActions(const Document& document, int first_line, int last_line);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_CODE_ACTIONS_H_
