#include "lsp/diagnostics.h"

#include <vector>

#include "core/check/diagnostic_policy.h"
#include "core/check/diagnostic_printers.h"

namespace vigil::lsp {
namespace {

constexpr int kSeverityError = 1;
constexpr int kSeverityWarning = 2;
constexpr std::string_view kLineEndMessage =
    "this line ends in a lone LF while other lines end in CR LF: vigilc reads a lone LF as a "
    "blank inside the line and joins this line with the next one";

// The message with its notes below it, as clangd shows them: editors that
// show no related information still show the notes.
std::string MessageWithNotes(const Diagnostic& diagnostic) {
  std::string message = DiagnosticMessage(diagnostic);
  for (size_t i = 0; i < diagnostic.notes.size(); ++i) {
    message += (i == 0 ? "\n\n" : "\n") + diagnostic.notes[i];
  }
  return message;
}

Json DiagnosticJson(const Document& document, const Diagnostic& diagnostic) {
  int line = diagnostic.physical_line > 0 ? diagnostic.physical_line - 1 : 0;
  std::string code = DiagnosticCode(diagnostic);
  Json result = {
      {"range", SpanRange(document, line, diagnostic.span)},
      {"severity", diagnostic.severity == Severity::kError ? kSeverityError : kSeverityWarning},
      {"code", code},
      {"codeDescription", {{"href", ExplainUri(code)}}},
      {"source", "vigil"},
      {"message", MessageWithNotes(diagnostic)},
  };
  if (!diagnostic.notes.empty()) {
    Json related = Json::array();
    for (const std::string& note : diagnostic.notes) {
      related.push_back(
          {{"location", {{"uri", document.uri()}, {"range", result["range"]}}}, {"message", note}});
    }
    result["relatedInformation"] = std::move(related);
  }
  return result;
}

// The lines that end in a lone LF in a text that also holds CR LF or CR line
// ends: only then did the editor send the file's own line ends.
void AddLineEndWarnings(const Document& document, Json& diagnostics) {
  bool other_ends = false;
  for (const EditorLine& line : document.lines()) {
    other_ends = other_ends || line.end == LineEnd::kCrLf || line.end == LineEnd::kCr;
  }
  if (!other_ends) return;
  for (int i = 0; i < document.line_count(); ++i) {
    if (document.lines()[static_cast<size_t>(i)].end != LineEnd::kLf) continue;
    Position end = document.PositionOf(i, static_cast<int>(document.LineText(i).size()));
    diagnostics.push_back({{"range", RangeJson(end, {i + 1, 0})},
                           {"severity", kSeverityWarning},
                           {"code", kLineEndCode},
                           {"source", "vigil"},
                           {"message", kLineEndMessage}});
  }
}

}  // namespace

std::string ExplainUri(std::string_view code) { return "vigil-explain:" + std::string(code); }

Json PublishDiagnosticsParams(const Document& document, bool all) {
  ShownDiagnostics shown(document.compilation(), DiagnosticPolicy{.all = all});
  Json diagnostics = Json::array();
  for (size_t i = 0; i < shown.size(); ++i)
    diagnostics.push_back(DiagnosticJson(document, shown[i]));
  AddLineEndWarnings(document, diagnostics);
  return {{"uri", document.uri()}, {"version", document.version()}, {"diagnostics", diagnostics}};
}

}  // namespace vigil::lsp
