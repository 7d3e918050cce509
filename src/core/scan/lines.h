// The lines of a script or scenario file as the language cuts them: a line
// ends at CR LF or at a lone CR; a lone LF stays inside its line but counts
// as a line of the file for the physical numbers. The text after the last
// line end (often empty) is one more line.
#ifndef VIGIL_CORE_SCAN_LINES_H_
#define VIGIL_CORE_SCAN_LINES_H_

#include <string_view>

namespace vigil {

// Calls visit(line, physical_line) for each line, in order; `line` views
// `text` without its line end, `physical_line` is 1-based.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
  size_t start = 0;
  int physical = 1;
  while (true) {
    size_t cr = text.find('\r', start);
    std::string_view line = text.substr(start, cr == std::string_view::npos ? cr : cr - start);
    visit(line, physical);
    ++physical;
    for (size_t lf = line.find('\n'); lf != std::string_view::npos; lf = line.find('\n', lf + 1)) {
      ++physical;
    }
    if (cr == std::string_view::npos) return;
    start = cr + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
}

}  // namespace vigil

#endif  // VIGIL_CORE_SCAN_LINES_H_
