#include "lsp/formatting.h"

#include <string>

#include "lsp/blocks.h"

namespace vigil::lsp {

Json FormattingEdits(const Document& document, int indent_width) {
  Structure structure = StructureOf(document);
  Json edits = Json::array();
  for (int line = 0; line < document.line_count(); ++line) {
    const LineShape& shape = structure.lines[static_cast<size_t>(line)];
    if (shape.kind == LineKind::kColumnOne) continue;
    std::string_view text = document.LineText(line);
    size_t blanks = text.find_first_not_of(' ');
    if (blanks == std::string_view::npos) blanks = text.size();
    size_t wanted = shape.kind == LineKind::kBlank
                        ? 0
                        : static_cast<size_t>(shape.depth) * static_cast<size_t>(indent_width);
    if (blanks == wanted) continue;
    // Blanks are one UTF-16 unit each: the columns are the byte counts.
    edits.push_back({{"range", RangeJson({line, 0}, {line, static_cast<int>(blanks)})},
                     {"newText", std::string(wanted, ' ')}});
  }
  return edits;
}

}  // namespace vigil::lsp
