#include "capi/result.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "core/check/diagnostic_printers.h"
#include "core/decode/disassembler.h"
#include "core/decode/script_code.h"
#include "core/formats/output_files.h"

namespace vigil::capi {

DiagnosticView ViewOf(const Compilation& compilation, const Diagnostic& diagnostic) {
  DiagnosticView view;
  view.diagnostic = diagnostic;
  view.code = DiagnosticCode(diagnostic);
  view.message = DiagnosticMessage(diagnostic);
  std::optional<DisplayLocation> location = LocateDiagnostic(view.diagnostic);
  const SourceLine* line = compilation.Line(diagnostic.physical_line);
  if (!location || line == nullptr) return view;
  view.line = location->line;
  size_t line_start = static_cast<size_t>(line->text.data() - compilation.source->data());
  // The located text is a piece of the diagnostic's copy of the line.
  size_t piece = static_cast<size_t>(location->text.data() - view.diagnostic.source_text.data());
  size_t piece_end = line_start + piece + location->text.size();
  view.begin = std::min(line_start + piece + static_cast<size_t>(location->column - 1), piece_end);
  view.end =
      std::min(line_start + piece + static_cast<size_t>(location->end_column - 1), piece_end);
  return view;
}

std::string CodeJson(const Compilation& compilation) {
  Disassembly code = Disassemble(compilation.code, DeclaredNames(compilation.symbols));
  std::vector<int> lines = ItemLines(compilation, code);
  std::string json = "[";
  for (size_t i = 0; i < code.items.size(); ++i) {
    json += i == 0 ? "\n  {" : ",\n  {";
    json += "\"line\": " + std::to_string(lines[i]);
    json += ", \"offset\": " + std::to_string(code.items[i].offset);
    json += ", \"text\": " + JsonString(FormatItem(code.items[i], compilation.code)) + "}";
  }
  json += code.items.empty() ? "]\n" : "\n]\n";
  return json;
}

Result MakeResult(std::string_view script) {
  Result result;
  result.compilation = Compile(std::string(script));
  const Compilation& compilation = result.compilation;
  result.download_file = DownloadFileText(compilation);
  result.error_file = ErrorFileText(compilation);
  result.settings_table = SettingsFileText(compilation);
  result.code_json = CodeJson(compilation);
  return result;
}

const ShownDiagnostics& Shown(const Result& result) {
  std::unique_ptr<ShownDiagnostics>& shown = result.shown[result.all_diagnostics ? 1 : 0];
  if (!shown) {
    shown = std::make_unique<ShownDiagnostics>(result.compilation,
                                               DiagnosticPolicy{.all = result.all_diagnostics});
  }
  return *shown;
}

const DiagnosticView& ViewAt(const Result& result, size_t index) {
  size_t key = index * 2 + (result.all_diagnostics ? 1 : 0);
  auto it = result.views.find(key);
  if (it == result.views.end()) {
    it = result.views.emplace(key, ViewOf(result.compilation, Shown(result)[index])).first;
  }
  return it->second;
}

std::string DiagnosticsJson(const Result& result, size_t first, size_t count) {
  const ShownDiagnostics& shown = Shown(result);
  first = std::min(first, shown.size());
  count = std::min(count, shown.size() - first);
  std::string json;
  WriteJson(
      count, [&](size_t i) { return shown[first + i]; }, "script",
      [&json](std::string_view piece) { json.append(piece); });
  return json;
}

}  // namespace vigil::capi
