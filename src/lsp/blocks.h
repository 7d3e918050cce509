// The block structure of a document as the editor shows it: what each line
// is (EVENT, EVENTEND, IF, ELSE, ENDIF, a column-one declaration, a comment,
// another statement), how deep it stands in EVENT and IF blocks, and the
// EVENT and IF blocks themselves, read from the lines as they stand (also
// around lines the compiler refused), for the formatter.
#ifndef VIGIL_LSP_BLOCKS_H_
#define VIGIL_LSP_BLOCKS_H_

#include <string_view>
#include <vector>

#include "lsp/document.h"

namespace vigil::lsp {

enum class LineKind {
  kBlank,
  kComment,
  kEvent,
  kEventEnd,
  kIf,
  kElse,
  kEndIf,
  kColumnOne,  // MODULE, PARTITION, DEVICE: their place in the line matters
  kOther,
};

struct LineShape {
  LineKind kind = LineKind::kBlank;
  int depth = 0;        // blocks open around the line's content
  int event_line = -1;  // the line of the EVENT block the line stands in, -1 outside
};

struct Block {
  LineKind kind = LineKind::kEvent;  // kEvent or kIf
  int first_line = 0;
  int last_line = 0;  // the EVENTEND or ENDIF, or the last line when left open
};

struct Structure {
  std::vector<LineShape> lines;  // one per editor line
  std::vector<Block> blocks;     // in the order they open
};

LineKind KindOfLine(std::string_view text);
Structure StructureOf(const Document& document);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_BLOCKS_H_
