#include "lsp/event_block.h"

namespace vigil::lsp {

const Block* EventBlockAt(const Compilation& compilation, int line) {
  int physical = line + 1;
  for (const Block& block : compilation.blocks) {
    if (block.kind != Block::Kind::kEvent || block.first_line > physical) continue;
    if (block.last_line == 0 || block.last_line >= physical) return &block;
  }
  return nullptr;
}

const C_Module* EventModuleAt(const Compilation& compilation, int line) {
  const Block* block = EventBlockAt(compilation, line);
  if (block == nullptr) return nullptr;
  for (const Token& token : compilation.TokensOnLines(block->first_line, block->first_line)) {
    if ((token.kind == TokenKind::kModule || token.kind == TokenKind::kPartition) &&
        token.symbol >= 0) {
      const Symbol& symbol = compilation.declarations[static_cast<size_t>(token.symbol)];
      return compilation.symbols.modules.Find(symbol.name);
    }
  }
  return nullptr;
}

}  // namespace vigil::lsp
