// One open document of the editor: its text and version, its lines, the
// conversion between byte columns and the UTF-16 columns of the protocol,
// and the compilation of the text as vigilc would compile the saved file.
//
// Scripts are bytes. A column in the protocol counts UTF-16 code units: a
// valid UTF-8 sequence counts one unit (two for characters beyond U+FFFF),
// and every byte that is not part of a valid sequence counts one unit.
//
// The editor's lines end at CR LF, LF or CR. Each becomes one script line:
// the lines are joined with CR LF before compiling, so editor line n is the
// script's physical line n + 1 whatever line ends the editor sent.
#ifndef VIGIL_LSP_DOCUMENT_H_
#define VIGIL_LSP_DOCUMENT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"

namespace vigil::lsp {

// A place in the protocol's terms: 0-based line, UTF-16 column.
struct Position {
  int line = 0;
  int character = 0;
};

enum class LineEnd { kNone, kCrLf, kLf, kCr };

struct EditorLine {
  size_t begin = 0;   // byte offset of the line in the text
  size_t length = 0;  // without the line end
  LineEnd end = LineEnd::kNone;
};

// The UTF-16 code units of `bytes`.
int Utf16Length(std::string_view bytes);
// The byte offset in `line` where UTF-16 column `units` falls; a column past
// the end gives the line's length, one inside a character its start.
size_t ByteColumn(std::string_view line, int units);

// The lines of `text`, split at CR LF, LF and CR; always at least one.
std::vector<EditorLine> SplitLines(std::string_view text);

class Document {
 public:
  // The document, compiled.
  Document(std::string uri, int version, std::string text);

  // A full replacement of the text, compiled.
  void SetText(std::string text, int version);
  // Replaces the text between two positions (clamped to the text); the
  // text is compiled again when its compilation is next asked for.
  void Edit(Position from, Position to, std::string_view replacement);
  void set_version(int version) { version_ = version; }
  // Whether the compilation is that of the current text.
  bool analysed() const { return analysed_; }

  const std::string& uri() const { return uri_; }
  int version() const { return version_; }
  const std::string& text() const { return text_; }
  const std::vector<EditorLine>& lines() const { return lines_; }
  int line_count() const { return static_cast<int>(lines_.size()); }
  // The text of editor line `line` without its line end; empty past the end.
  std::string_view LineText(int line) const;
  // The script that is compiled: the lines joined with CR LF.
  const std::string& script() const { return script_; }
  // The compilation of the current text: compiled once per change of the
  // text, however many requests ask, and never that of an older text.
  const Compilation& compilation() const;

  // Byte offset in the text of a position, clamped to the text.
  size_t OffsetOf(Position position) const;
  // The byte column on `line` of a position's UTF-16 column.
  int ByteColumnOf(Position position) const;
  // The protocol position of byte column `column` on editor line `line`.
  Position PositionOf(int line, int column) const;

 private:
  void Index();

  std::string uri_;
  int version_ = 0;
  std::string text_;
  std::vector<EditorLine> lines_;
  std::string script_;
  mutable Compilation compilation_;
  mutable bool analysed_ = false;
};

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_DOCUMENT_H_
