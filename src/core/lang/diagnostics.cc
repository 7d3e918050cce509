#include "core/lang/diagnostics.h"

#include <array>
#include <string>

namespace vigil {
namespace {

constexpr std::string_view kInternal2 = "Internal error (2)";

// Indexed by error number; an empty entry falls back to kInternal2.
constexpr std::array<std::string_view, 32> kMessages = {
    "",
    "Unknown module name",
    "Unknown device name",
    "Missing left bracket",
    "Missing right bracket",
    "Missing commnad parameters",
    "Unknown command",
    "Unknown user-defined archive mark",
    "Too many user-defined archive marks",
    "Too many user-defined parameters",
    "Unknown user-defined parameter",
    "Value out of range",
    "",
    "",
    "",
    "Internal error (1)",
    "Cannot use EXECUTE command here",
    "Unknown output",
    "Missing ENDIF",
    "Invalid character in name",
    "Missing IF",
    "Number expected",
    "Register name expected",
    "This operation is available only for single register",
    "Duplicate name",
    "Unreachable code detected",
    "Invalid Event-EndEvent construction",
    "Invalid expression term ELSE",
    "Invalid expression term ELSE",
    "Missing EventEnd",
    "Value of the read only property can not be set",
    "Maximum script size exceeded (12kB).",
};

}  // namespace

std::string_view ErrorMessage(int number) {
  if (number < 0 || number >= static_cast<int>(kMessages.size())) return kInternal2;
  std::string_view message = kMessages[static_cast<size_t>(number)];
  return message.empty() ? kInternal2 : message;
}

std::string LegacyErrorLine(const Diagnostic& diagnostic) {
  std::string count = std::to_string(diagnostic.counted_line);
  if (count.size() < 5) count.insert(0, 5 - count.size(), '0');
  std::string line = "00001";
  line += count;
  line += diagnostic.legacy_text;
  line += '%';
  line += ErrorMessage(diagnostic.number);
  return line;
}

}  // namespace vigil
