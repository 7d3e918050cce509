#include "lsp/blocks.h"

#include "core/lang/name_codes.h"
#include "core/lang/word_lists.h"
#include "core/scan/tokenizer.h"
#include "lsp/words.h"

namespace vigil::lsp {
namespace {

struct FirstWordKind {
  std::string_view word;
  LineKind kind;
};

constexpr FirstWordKind kFirstWords[] = {
    {kEventWord, LineKind::kEvent}, {kEventEndWord, LineKind::kEventEnd}, {kIfWord, LineKind::kIf},
    {kElseWord, LineKind::kElse},   {kEndIfWord, LineKind::kEndIf},
};

// The declaration words whose place in the line matters: DEFINE is read anywhere.
constexpr std::string_view kColumnOneWords[] = {kModuleWord, kPartitionWord, kDeviceWord};

}  // namespace

LineKind KindOfLine(std::string_view text) {
  std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) return LineKind::kBlank;
  if (trimmed.front() == ';') return LineKind::kComment;
  for (std::string_view word : kColumnOneWords) {
    if (StartsWithIgnoreCase(trimmed, word)) return LineKind::kColumnOne;
  }
  std::string_view first = PeekWord(trimmed).word;
  for (const FirstWordKind& entry : kFirstWords) {
    if (EqualsIgnoreCase(first, entry.word)) return entry.kind;
  }
  return LineKind::kOther;
}

Structure StructureOf(const Document& document) {
  Structure structure;
  structure.lines.resize(static_cast<size_t>(document.line_count()));
  std::vector<size_t> open;  // indexes into blocks
  auto close = [&](LineKind kind, int line) {
    while (!open.empty()) {
      Block& block = structure.blocks[open.back()];
      open.pop_back();
      block.last_line = line;
      if (block.kind == kind) return;
    }
  };
  int event_line = -1;
  for (int line = 0; line < document.line_count(); ++line) {
    LineShape& shape = structure.lines[static_cast<size_t>(line)];
    shape.kind = KindOfLine(document.LineText(line));
    switch (shape.kind) {
      case LineKind::kEvent:
        close(LineKind::kEvent, line - 1);  // an EVENT closes what was open
        event_line = line;
        shape.depth = 0;
        shape.event_line = line;
        open.push_back(structure.blocks.size());
        structure.blocks.push_back({LineKind::kEvent, line, line});
        continue;
      case LineKind::kEventEnd:
        close(LineKind::kEvent, line);
        shape.depth = static_cast<int>(open.size());
        shape.event_line = event_line;
        event_line = -1;
        continue;
      case LineKind::kIf:
        shape.depth = static_cast<int>(open.size());
        open.push_back(structure.blocks.size());
        structure.blocks.push_back({LineKind::kIf, line, line});
        break;
      case LineKind::kElse:
        shape.depth = static_cast<int>(open.size()) - 1;
        break;
      case LineKind::kEndIf:
        if (!open.empty() && structure.blocks[open.back()].kind == LineKind::kIf) {
          close(LineKind::kIf, line);
        }
        shape.depth = static_cast<int>(open.size());
        break;
      default:
        shape.depth = static_cast<int>(open.size());
        break;
    }
    if (shape.depth < 0) shape.depth = 0;
    shape.event_line = event_line;
  }
  int last = document.line_count() - 1;
  while (!open.empty()) {
    structure.blocks[open.back()].last_line = last;
    open.pop_back();
  }
  return structure;
}

}  // namespace vigil::lsp
