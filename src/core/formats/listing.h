// The listing file: the program's name and version and the summary of a run.
#ifndef VIGIL_CORE_FORMATS_LISTING_H_
#define VIGIL_CORE_FORMATS_LISTING_H_

#include <ctime>
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
  std::time_t date = 0;  // the download file's modification time
};

// The seven lines, each ending in CR LF.
std::string FormatListing(const ListingSummary& summary);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string FormatDate(std::time_t time);

// The error file: one legacy error line per error, each ending in CR LF.
std::string FormatErrorFile(const std::vector<Diagnostic>& diagnostics);

// Lines joined, each ending in CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace vigil

#endif  // VIGIL_CORE_FORMATS_LISTING_H_
