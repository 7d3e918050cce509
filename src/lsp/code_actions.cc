#include "lsp/code_actions.h"

#include <vector>

#include "core/check/diagnostic_printers.h"
#include "core/check/notes.h"
#include "lsp/diagnostics.h"

namespace vigil::lsp {
namespace {

constexpr std::string_view kSuggestionStart = "did you mean ";
constexpr std::string_view kSuggestionEnd = "?";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

Json Action(const Document& document, std::string title, Json edits, bool preferred) {
  return {{"title", std::move(title)},
          {"kind", "quickfix"},
          {"isPreferred", preferred},
          {"edit", {{"changes", {{document.uri(), std::move(edits)}}}}}};
}

void AddSuggestions(const Document& document, int first_line, int last_line, Json& actions) {
  const Compilation& compilation = document.compilation();
  for (const Diagnostic& diagnostic : compilation.Diagnostics()) {
    int line = diagnostic.physical_line - 1;
    if (line < first_line || line > last_line || !diagnostic.span.known()) continue;
    for (const std::string& note : NotesOf(compilation, diagnostic)) {
      std::optional<std::string> word = SuggestedWord(note);
      if (!word) continue;
      Json edit = {{"range", SpanRange(document, line, diagnostic.span)}, {"newText", *word}};
      Json action = Action(document, "Replace with " + *word, Json::array({edit}), true);
      action["diagnostics"] = Json::array({{{"range", edit["range"]},
                                            {"code", DiagnosticCode(diagnostic)},
                                            {"message", DiagnosticMessage(diagnostic)}}});
      actions.push_back(std::move(action));
    }
  }
}

void AddLineEnds(const Document& document, Json& actions) {
  bool crlf = false;
  std::vector<int> lone_lf;
  for (int i = 0; i < document.line_count(); ++i) {
    LineEnd end = document.lines()[static_cast<size_t>(i)].end;
    crlf = crlf || end == LineEnd::kCrLf || end == LineEnd::kCr;
    if (end == LineEnd::kLf) lone_lf.push_back(i);
  }
  if (!crlf || lone_lf.empty()) return;
  Json edits = Json::array();
  for (int line : lone_lf) {
    Position end = document.PositionOf(line, static_cast<int>(document.LineText(line).size()));
    edits.push_back({{"range", RangeJson(end, {line + 1, 0})}, {"newText", "\r\n"}});
  }
  actions.push_back(Action(document, "Convert line ends to CR LF", std::move(edits), false));
}

void AddByteOrderMark(const Document& document, int first_line, Json& actions) {
  if (first_line != 0 || !document.text().starts_with(kByteOrderMark)) return;
  Json edit = {{"range", RangeJson({0, 0}, {0, 1})}, {"newText", ""}};
  actions.push_back(
      Action(document, "Remove the UTF-8 byte-order mark", Json::array({edit}), true));
}

}  // namespace

std::optional<std::string> SuggestedWord(std::string_view note) {
  if (!note.starts_with(kSuggestionStart) || !note.ends_with(kSuggestionEnd)) return std::nullopt;
  note.remove_prefix(kSuggestionStart.size());
  note.remove_suffix(kSuggestionEnd.size());
  if (note.empty() || note.find(' ') != std::string_view::npos) return std::nullopt;
  return std::string(note);
}

Json CodeActions(const Document& document, int first_line, int last_line) {
  Json actions = Json::array();
  AddSuggestions(document, first_line, last_line, actions);
  AddLineEnds(document, actions);
  AddByteOrderMark(document, first_line, actions);
  return actions;
}

}  // namespace vigil::lsp
