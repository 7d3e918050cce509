#include "sim/shown_text.h"

#include <algorithm>

namespace vigil::sim {
namespace {

// The length of the UTF-8 sequence at `at`, or 0 when it is none.
size_t Utf8Length(std::string_view text, size_t at) {
  unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xC2 && lead <= 0xDF ? 2
                                                 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool Unsafe(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7F; }

// The bytes at `at` as shown, and how many of `text` they take.
std::string_view::size_type Piece(std::string_view text, size_t at, std::string* out) {
  unsigned char byte = static_cast<unsigned char>(text[at]);
  if (byte >= 0x80) {
    size_t length = Utf8Length(text, at);
    if (length > 0) {
      out->append(text.substr(at, length));
      return length;
    }
  } else if (!Unsafe(byte)) {
    out->push_back(static_cast<char>(byte));
    return 1;
  }
  constexpr char kHex[] = "0123456789abcdef";  // as EscapeControls writes them
  *out += "\\x";
  out->push_back(kHex[byte >> 4]);
  out->push_back(kHex[byte & 0xF]);
  return 1;
}

}  // namespace

std::string ShownText(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size();) at += Piece(text, at, &out);
  return out;
}

int ShownColumn(std::string_view text, int column) {
  size_t limit = std::min(text.size(), static_cast<size_t>(std::max(column - 1, 0)));
  std::string shown;
  size_t at = 0;
  while (at < limit) at += Piece(text, at, &shown);
  return static_cast<int>(shown.size()) + 1 + std::max(column - 1 - static_cast<int>(at), 0);
}

}  // namespace vigil::sim
