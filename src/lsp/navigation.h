// Go to definition, find references and rename for the declared names:
// modules, partitions, parameters, marks, registers and timers, from the
// declaration site and uses the compiler recorded.
#ifndef VIGIL_LSP_NAVIGATION_H_
#define VIGIL_LSP_NAVIGATION_H_

#include <optional>
#include <string_view>

#include "lsp/document.h"
#include "lsp/protocol.h"
#include "lsp/words.h"

namespace vigil::lsp {

// The declared name at `position` (the compiler's token record holds the
// name before "=" in a MODULE or PARTITION line too); nullptr when none.
const Symbol* DeclaredNameAt(const Document& document, Position position);

// A Location, or null when no declared name is at `position`.
Json DefinitionAt(const Document& document, Position position);
// Locations of the declaration (when asked for) and every use.
Json ReferencesAt(const Document& document, Position position, bool include_declaration);
// DocumentHighlight: the declaration (a write) and every use (a read) of the
// name at `position`; empty when there is none.
Json HighlightsAt(const Document& document, Position position);
// The range of the name at `position` and its text, or null.
Json PrepareRenameAt(const Document& document, Position position);
// A WorkspaceEdit renaming the name at `position` to `new_name`. Throws
// ResponseError when there is no name there, or the new name is empty, has a
// character a name cannot have, or is taken by another declaration.
Json RenameAt(const Document& document, Position position, std::string_view new_name);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_NAVIGATION_H_
