#include "core/check/diagnostic_printers.h"

#include <algorithm>
#include <vector>

#include "core/check/explain_table.h"
#include "core/lang/errors.h"

namespace vigil {
namespace {

constexpr int kMinGutter = 5;

std::string_view SeverityName(const Diagnostic& diagnostic) {
  return diagnostic.severity == Severity::kError ? "error" : "warning";
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Characters that may stand in a relative URI reference as they are.
bool IsUriChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

std::string UriOf(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (char c : path) {
    unsigned char byte = static_cast<unsigned char>(c == '\\' ? '/' : c);
    if (IsUriChar(byte)) {
      uri += static_cast<char>(byte);
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 15];
    }
  }
  return uri;
}

// The notes as a JSON array.
std::string JsonNotes(const std::vector<std::string>& notes) {
  std::string text = "[";
  for (size_t i = 0; i < notes.size(); ++i) {
    if (i > 0) text += ", ";
    text += JsonString(notes[i]);
  }
  return text + "]";
}

// The codes that occur, in order of first occurrence.
// The first diagnostic of each code, in the order the codes first occur.
std::vector<Diagnostic> DistinctCodes(size_t count, const DiagnosticAt& at) {
  std::vector<Diagnostic> firsts;
  std::vector<std::string> codes;
  for (size_t i = 0; i < count; ++i) {
    Diagnostic diagnostic = at(i);
    std::string code = DiagnosticCode(diagnostic);
    if (std::find(codes.begin(), codes.end(), code) != codes.end()) continue;
    codes.push_back(std::move(code));
    diagnostic.notes.clear();
    firsts.push_back(std::move(diagnostic));
  }
  return firsts;
}

std::string RuleTitle(const Diagnostic& diagnostic) {
  if (diagnostic.severity == Severity::kWarning) {
    return std::string(WarningTitle(diagnostic.number));
  }
  return std::string(ErrorMessage(diagnostic.number));
}

}  // namespace

std::string DiagnosticCode(const Diagnostic& diagnostic) {
  return ProblemCode(diagnostic.severity, diagnostic.number);
}

std::string DiagnosticMessage(const Diagnostic& diagnostic) {
  if (!diagnostic.message.empty()) return diagnostic.message;
  return std::string(ErrorMessage(diagnostic.number));
}

std::optional<DisplayLocation> LocateDiagnostic(const Diagnostic& diagnostic) {
  if (diagnostic.physical_line <= 0) return std::nullopt;
  std::string_view text = diagnostic.source_text;
  size_t begin = 0;
  size_t end = 0;
  if (diagnostic.span.known()) {
    begin = std::min(static_cast<size_t>(std::max(diagnostic.span.begin, 0)), text.size());
    end = std::min(static_cast<size_t>(std::max(diagnostic.span.end, 0)), text.size());
    // Blanks at the edges of a span (a parameter list read with its blank)
    // are not marked.
    while (end > begin + 1 && text[begin] == ' ') ++begin;
    while (end > begin + 1 && text[end - 1] == ' ') --end;
  } else {
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    if (first != std::string_view::npos) {
      begin = first;
      end = last + 1;
    }
  }
  size_t lf = begin == 0 ? std::string_view::npos : text.rfind('\n', begin - 1);
  size_t piece_begin = lf == std::string_view::npos ? 0 : lf + 1;
  size_t piece_end = std::min(text.find('\n', begin), text.size());
  end = std::min(end, piece_end);
  DisplayLocation location;
  location.line = diagnostic.physical_line +
                  static_cast<int>(std::count(text.begin(),
                                              text.begin() + static_cast<long>(piece_begin), '\n'));
  location.text = text.substr(piece_begin, piece_end - piece_begin);
  location.column = static_cast<int>(begin - piece_begin) + 1;
  location.end_column = std::max(static_cast<int>(end - piece_begin) + 1, location.column + 1);
  return location;
}

std::string FormatTextDiagnostic(const Diagnostic& diagnostic, std::string_view file) {
  std::optional<DisplayLocation> location = LocateDiagnostic(diagnostic);
  std::string text(file);
  if (location) {
    text += ":" + std::to_string(location->line) + ":" + std::to_string(location->column);
  }
  text += ": ";
  text += SeverityName(diagnostic);
  text += ": " + DiagnosticMessage(diagnostic) + " [" + DiagnosticCode(diagnostic) + "]\n";

  std::string number = location ? std::to_string(location->line) : std::string();
  size_t gutter = std::max(static_cast<size_t>(kMinGutter), number.size());
  std::string blank_gutter(gutter, ' ');
  if (location && !IsBlank(location->text)) {
    text += std::string(gutter - number.size(), ' ') + number + " | ";
    text += EscapeControls(location->text);
    text += "\n" + blank_gutter + " | ";
    size_t column = static_cast<size_t>(location->column - 1);
    size_t end_column = static_cast<size_t>(location->end_column - 1);
    // Tabs are copied and escaped bytes take their escape's width, so that
    // the carets line up under the same columns.
    for (size_t i = 0; i < end_column; ++i) {
      char c = i < location->text.size() ? location->text[i] : ' ';
      char mark = i < column ? ' ' : '^';
      text += c == '\t' ? std::string(1, '\t') : std::string(EscapeControls({&c, 1}).size(), mark);
    }
    text += "\n";
  }
  for (const std::string& note : diagnostic.notes) {
    text += blank_gutter + " = note: " + note + "\n";
  }
  return text;
}

std::string FormatSummary(std::string_view file, int errors, int warnings, int code_bytes) {
  return std::string(file) + ": " + Plural(static_cast<size_t>(errors), "error") + ", " +
         Plural(static_cast<size_t>(warnings), "warning") + ", " + std::to_string(code_bytes) +
         " bytes of code\n";
}

std::string JsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string json = "\"";
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (byte < 0x20 || byte >= 0x7f) {
          json += "\\u00";
          json += kHex[byte >> 4];
          json += kHex[byte & 15];
        } else {
          json += c;
        }
    }
  }
  return json + "\"";
}

std::string EscapeControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 15];
    } else {
      shown += c;
    }
  }
  return shown;
}

std::string Plural(size_t count, std::string_view word) {
  return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

int CodePointColumn(std::string_view line, int byte_column) {
  int column = 1;
  size_t end = std::min(line.size(), static_cast<size_t>(std::max(byte_column - 1, 0)));
  for (size_t i = 0; i < end; ++i) {
    // Continuation bytes of a UTF-8 sequence belong to the character before.
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  }
  return column;
}

void WriteJson(size_t count, const DiagnosticAt& at, std::string_view file, const TextSink& sink) {
  sink("[");
  std::string file_json = JsonString(file);
  std::string json;
  for (size_t i = 0; i < count; ++i) {
    Diagnostic diagnostic = at(i);
    std::optional<DisplayLocation> location = LocateDiagnostic(diagnostic);
    auto number = [&](int value) { return location ? std::to_string(value) : "null"; };
    json = i == 0 ? "\n  {" : ",\n  {";
    json += "\"file\": " + file_json;
    json += ", \"line\": " + number(location ? location->line : 0);
    json += ", \"column\": " + number(location ? location->column : 0);
    json += ", \"end_column\": " + number(location ? location->end_column : 0);
    json += ", \"column_unit\": \"byte\"";
    json += ", \"severity\": \"" + std::string(SeverityName(diagnostic)) + "\"";
    json += ", \"code\": \"" + DiagnosticCode(diagnostic) + "\"";
    json += ", \"message\": " + JsonString(DiagnosticMessage(diagnostic));
    json += ", \"notes\": " + JsonNotes(diagnostic.notes) + "}";
    sink(json);
  }
  sink(count == 0 ? "]\n" : "\n]\n");
}

void WriteSarif(size_t count, const DiagnosticAt& at, std::string_view file,
                std::string_view tool_version, const TextSink& sink) {
  std::vector<Diagnostic> rules = DistinctCodes(count, at);
  std::string sarif =
      "{\n"
      "  \"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n"
      "  \"version\": \"2.1.0\",\n"
      "  \"runs\": [\n"
      "    {\n"
      "      \"tool\": {\n"
      "        \"driver\": {\n"
      "          \"name\": \"vigil\",\n"
      "          \"version\": " +
      JsonString(tool_version) +
      ",\n"
      "          \"rules\": [";
  std::vector<std::string> rule_codes;
  for (size_t i = 0; i < rules.size(); ++i) {
    const Diagnostic& rule = rules[i];
    rule_codes.push_back(DiagnosticCode(rule));
    const Explanation* explanation = FindExplanation(rule_codes.back());
    sarif += i == 0 ? "\n" : ",\n";
    sarif += "            {\"id\": \"" + rule_codes.back() + "\"";
    sarif += ", \"shortDescription\": {\"text\": " + JsonString(RuleTitle(rule)) + "}";
    if (explanation != nullptr) {
      sarif += ", \"fullDescription\": {\"text\": " + JsonString(explanation->meaning) + "}";
      sarif += ", \"help\": {\"text\": " + JsonString(explanation->fix) + "}";
    }
    sarif +=
        ", \"defaultConfiguration\": {\"level\": \"" + std::string(SeverityName(rule)) + "\"}}";
  }
  sarif += rules.empty() ? "]\n" : "\n          ]\n";
  sarif +=
      "        }\n"
      "      },\n"
      "      \"columnKind\": \"unicodeCodePoints\",\n"
      "      \"results\": [";
  sink(sarif);
  std::string uri = JsonString(UriOf(file));
  for (size_t i = 0; i < count; ++i) {
    Diagnostic diagnostic = at(i);
    std::string code = DiagnosticCode(diagnostic);
    size_t rule_index = static_cast<size_t>(std::find(rule_codes.begin(), rule_codes.end(), code) -
                                            rule_codes.begin());
    std::string message = DiagnosticMessage(diagnostic);
    for (const std::string& note : diagnostic.notes) message += "\nnote: " + note;

    sarif = i == 0 ? "\n" : ",\n";
    sarif += "        {\"ruleId\": \"" + code + "\", \"ruleIndex\": " + std::to_string(rule_index) +
             ", \"level\": \"" + std::string(SeverityName(diagnostic)) +
             "\", \"message\": {\"text\": " + JsonString(message) +
             "}, \"locations\": [{\"physicalLocation\": {" +
             "\"artifactLocation\": {\"uri\": " + uri + "}";
    if (std::optional<DisplayLocation> location = LocateDiagnostic(diagnostic)) {
      sarif += ", \"region\": {\"startLine\": " + std::to_string(location->line) +
               ", \"startColumn\": " +
               std::to_string(CodePointColumn(location->text, location->column)) +
               ", \"endColumn\": " +
               std::to_string(CodePointColumn(location->text, location->end_column)) + "}";
    }
    sarif += "}}]}";
    sink(sarif);
  }
  sink(std::string(count == 0 ? "]\n" : "\n      ]\n") +
       "    }\n"
       "  ]\n"
       "}\n");
}

namespace {

// A sink that appends to a string, and the diagnostics of a span one by one.
struct Collected {
  std::string text;
  TextSink Sink() {
    return [this](std::string_view piece) { text.append(piece); };
  }
};

DiagnosticAt AtOf(std::span<const Diagnostic> diagnostics) {
  return [diagnostics](size_t i) { return diagnostics[i]; };
}

}  // namespace

std::string FormatJson(std::span<const Diagnostic> diagnostics, std::string_view file) {
  Collected out;
  WriteJson(diagnostics.size(), AtOf(diagnostics), file, out.Sink());
  return std::move(out.text);
}

std::string FormatSarif(std::span<const Diagnostic> diagnostics, std::string_view file,
                        std::string_view tool_version) {
  Collected out;
  WriteSarif(diagnostics.size(), AtOf(diagnostics), file, tool_version, out.Sink());
  return std::move(out.text);
}

}  // namespace vigil
