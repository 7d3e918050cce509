#include "core/check/fix.h"

#include <algorithm>

#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kTabAsBlanks = "  ";
// Lines listed in a change before "and N more".
constexpr size_t kListedLines = 8;

// "line 3" / "lines 3, 7 and 9" / "lines 3, 7, ... and 12 more".
std::string LineList(const std::vector<int>& lines) {
  std::string text = lines.size() == 1 ? "line " : "lines ";
  size_t shown = std::min(lines.size(), kListedLines);
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) text += i + 1 == lines.size() ? " and " : ", ";
    text += std::to_string(lines[i]);
  }
  if (lines.size() > shown) text += " and " + std::to_string(lines.size() - shown) + " more";
  return text;
}

// Tabs before an EVENT or EVENTEND line stay: the module declarations are
// read up to the first line that starts with EVENT after its blanks, and a
// tab would move that line.
bool KeepsTabs(std::string_view line) {
  size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  std::string_view word = line.substr(first, 5);
  return word.size() == 5 && ToUpper(word) == "EVENT";
}

}  // namespace

FixResult FixScript(std::string_view script) {
  FixResult result;
  if (script.starts_with(kByteOrderMark)) {
    script.remove_prefix(kByteOrderMark.size());
    result.changes.push_back("removed the byte-order mark before line 1");
  }
  std::vector<int> lone_lf;
  std::vector<int> lone_cr;
  std::vector<int> tabbed;
  int line = 1;
  bool line_start = true;
  bool keep_tabs = false;
  for (size_t i = 0; i < script.size(); ++i) {
    char c = script[i];
    if (line_start && (c == ' ' || c == '\t')) {
      if (i == 0 || script[i - 1] == '\r' || script[i - 1] == '\n')
        keep_tabs = KeepsTabs(script.substr(i));
      if (c == '\t' && !keep_tabs && (tabbed.empty() || tabbed.back() != line)) {
        tabbed.push_back(line);
      }
      result.text += c == '\t' && !keep_tabs ? kTabAsBlanks : std::string_view(&c, 1);
      continue;
    }
    line_start = false;
    if (c == '\r' && i + 1 < script.size() && script[i + 1] == '\n') {
      result.text += "\r\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      (c == '\r' ? lone_cr : lone_lf).push_back(line);
      result.text += "\r\n";
    } else {
      result.text += c;
      continue;
    }
    ++line;
    line_start = true;
  }
  if (!lone_lf.empty()) {
    result.changes.push_back("ended " + LineList(lone_lf) + " in CR LF instead of LF alone");
  }
  if (!lone_cr.empty()) {
    result.changes.push_back("ended " + LineList(lone_cr) + " in CR LF instead of CR alone");
  }
  if (!tabbed.empty()) {
    result.changes.push_back("indented " + LineList(tabbed) + " with blanks instead of tabs");
  }
  return result;
}

}  // namespace vigil
