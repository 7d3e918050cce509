// The listing file: the program's name and version and the summary of a run.
#ifndef VIGIL_CORE_FORMATS_LISTING_H_
#define VIGIL_CORE_FORMATS_LISTING_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/lang/diagnostics.h"

namespace vigil {

struct ListingSummary {
  std::string program;  // e.g. "vigilc"
  int major = 0;
  int minor = 0;
  int lines = 0;
  int warnings = 0;
  int errors = 0;
  int bytes = 0;
  std::string date;  // "YYYY-MM-DD HH:MM:SS": the download file's modification time
};

// The seven lines, each ending in CR LF.
std::string FormatListing(const ListingSummary& summary);

// The error file: one line per error (ErrorFileLine), each ending in CR LF.
std::string FormatErrorFile(std::span<const Diagnostic> diagnostics);

// Lines joined, each ending in CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace vigil

#endif  // VIGIL_CORE_FORMATS_LISTING_H_
