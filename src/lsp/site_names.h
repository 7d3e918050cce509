// The names of a script's declarations by number, for the disassembler.
#ifndef VIGIL_LSP_SITE_NAMES_H_
#define VIGIL_LSP_SITE_NAMES_H_

#include "core/compile/symbol_table.h"
#include "core/formats/download_reader.h"

namespace vigil::lsp {

SiteNames NamesOfSymbols(const SymbolTable& symbols);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SITE_NAMES_H_
