// The words of an editor line as the compiler separates them, for the
// features that point at one: hover, completion, semantic tokens.
#ifndef VIGIL_LSP_WORDS_H_
#define VIGIL_LSP_WORDS_H_

#include <optional>
#include <string_view>
#include <vector>

namespace vigil::lsp {

// Byte columns [begin, end) of a word on its line.
struct WordRange {
  int begin = 0;
  int end = 0;
};

// Blank, tab, "=", "(", ")", ">", "<", "+" and ",".
bool IsWordSeparator(char c);
std::vector<WordRange> WordsOf(std::string_view line);
// The word that holds byte column `column` or ends there.
std::optional<WordRange> WordAtColumn(std::string_view line, int column);
inline std::string_view TextOf(std::string_view line, WordRange word) {
  return line.substr(static_cast<size_t>(word.begin), static_cast<size_t>(word.end - word.begin));
}

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_WORDS_H_
