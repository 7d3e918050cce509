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
      "Date = " + FormatDate(summary.date),
  });
}

std::string FormatDate(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length);
}

std::string FormatErrorFile(const std::vector<Diagnostic>& diagnostics) {
  std::string file;
  for (const Diagnostic& diagnostic : diagnostics) {
    if (diagnostic.severity != Severity::kError) continue;
    file += LegacyErrorLine(diagnostic);
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
