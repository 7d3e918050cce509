#include "core/lang/diagnostics.h"

#include <string>

namespace vigil {

std::string ErrorFileLine(const Diagnostic& diagnostic) {
  std::string count = std::to_string(diagnostic.counted_line);
  if (count.size() < 5) count.insert(0, 5 - count.size(), '0');
  std::string line = "00001";
  line += count;
  line += diagnostic.error_file_text;
  line += '%';
  line += ErrorMessage(diagnostic.number);
  return line;
}

}  // namespace vigil
