#include "lsp/document.h"

#include <algorithm>
#include <utility>

namespace vigil::lsp {
namespace {

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there
// starts none.
size_t SequenceLength(std::string_view bytes, size_t at) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;   // bounds of the second byte: no overlong forms,
  unsigned char high = 0xBF;  // no surrogates, nothing past U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// Walks `bytes` one character (or invalid byte) at a time; `visit(offset,
// units)` sees each start offset with the UTF-16 units before it and returns
// false to stop. Returns the offset where it stopped and the units before it.
template <typename Visit>
std::pair<size_t, int> Walk(std::string_view bytes, Visit visit) {
  size_t at = 0;
  int units = 0;
  while (at < bytes.size() && visit(at, units)) {
    size_t length = SequenceLength(bytes, at);
    units += length == 4 ? 2 : 1;
    at += length == 0 ? 1 : length;
  }
  return {at, units};
}

}  // namespace

int Utf16Length(std::string_view bytes) {
  return Walk(bytes, [](size_t, int) { return true; }).second;
}

size_t ByteColumn(std::string_view line, int units) {
  auto [at, before] = Walk(line, [&](size_t, int counted) { return counted < units; });
  // A column inside a surrogate pair lands after it; step back to its start.
  if (before > units && at > 0) {
    size_t start = at - 1;
    while (start > 0 && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80) --start;
    return start;
  }
  return at;
}

std::vector<EditorLine> SplitLines(std::string_view text) {
  std::vector<EditorLine> lines;
  size_t begin = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    LineEnd end = text[i] == '\n'                                ? LineEnd::kLf
                  : (i + 1 < text.size() && text[i + 1] == '\n') ? LineEnd::kCrLf
                                                                 : LineEnd::kCr;
    lines.push_back({begin, i - begin, end});
    if (end == LineEnd::kCrLf) ++i;
    begin = i + 1;
  }
  lines.push_back({begin, text.size() - begin, LineEnd::kNone});
  return lines;
}

Document::Document(std::string uri, int version, std::string text)
    : uri_(std::move(uri)), version_(version), text_(std::move(text)) {
  Index();
}

void Document::SetText(std::string text, int version) {
  text_ = std::move(text);
  version_ = version;
  Index();
}

void Document::Edit(Position from, Position to, std::string_view replacement) {
  size_t begin = OffsetOf(from);
  size_t end = std::max(begin, OffsetOf(to));
  text_.replace(begin, end - begin, replacement);
  Index();
}

void Document::Index() {
  analysed_ = false;
  lines_ = SplitLines(text_);
  script_.clear();
  script_.reserve(text_.size() + lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) script_ += "\r\n";
    script_.append(text_, lines_[i].begin, lines_[i].length);
  }
}

const Compilation& Document::compilation() const {
  if (!analysed_) {
    compilation_ = Compile(script_);
    analysed_ = true;
  }
  return compilation_;
}

std::string_view Document::LineText(int line) const {
  if (line < 0 || line >= line_count()) return {};
  const EditorLine& at = lines_[static_cast<size_t>(line)];
  return std::string_view(text_).substr(at.begin, at.length);
}

size_t Document::OffsetOf(Position position) const {
  if (position.line < 0) return 0;
  if (position.line >= line_count()) return text_.size();
  const EditorLine& at = lines_[static_cast<size_t>(position.line)];
  return at.begin + static_cast<size_t>(ByteColumnOf(position));
}

int Document::ByteColumnOf(Position position) const {
  return static_cast<int>(ByteColumn(LineText(position.line), position.character));
}

Position Document::PositionOf(int line, int column) const {
  std::string_view text = LineText(line);
  size_t bytes = std::min(text.size(), static_cast<size_t>(std::max(column, 0)));
  return {line, Utf16Length(text.substr(0, bytes))};
}

}  // namespace vigil::lsp
