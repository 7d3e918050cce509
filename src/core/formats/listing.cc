#include "core/formats/listing.h"

namespace vigil {

std::string FormatListing(const ListingSummary& summary) {
  return JoinLines({
      summary.program + " = " + std::to_string(summary.major) + "." + std::to_string(summary.minor),
      "Lines = " + std::to_string(summary.lines),
      "Warnings = " + std::to_string(summary.warnings),
      "Errors = " + std::to_string(summary.errors),
      "",
      "Bytes = " + std::to_string(summary.bytes),
      "Date = " + summary.date,
  });
}

std::string FormatErrorFile(std::span<const Diagnostic> diagnostics) {
  std::string file;
  for (const Diagnostic& diagnostic : diagnostics) {
    if (diagnostic.severity != Severity::kError) continue;
    file += ErrorFileLine(diagnostic);
    file += "\r\n";
  }
  return file;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace vigil
