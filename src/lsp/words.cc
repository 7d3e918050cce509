#include "lsp/words.h"

namespace vigil::lsp {

bool IsWordSeparator(char c) {
  switch (c) {
    case ' ':
    case '\t':
    case '=':
    case '(':
    case ')':
    case '>':
    case '<':
    case '+':
    case ',':
      return true;
    default:
      return false;
  }
}

std::vector<WordRange> WordsOf(std::string_view line) {
  std::vector<WordRange> words;
  int size = static_cast<int>(line.size());
  int at = 0;
  while (at < size) {
    while (at < size && IsWordSeparator(line[static_cast<size_t>(at)])) ++at;
    int begin = at;
    while (at < size && !IsWordSeparator(line[static_cast<size_t>(at)])) ++at;
    if (at > begin) words.push_back({begin, at});
  }
  return words;
}

std::optional<WordRange> WordAtColumn(std::string_view line, int column) {
  for (WordRange word : WordsOf(line)) {
    if (column >= word.begin && column <= word.end) return word;
  }
  return std::nullopt;
}

}  // namespace vigil::lsp
