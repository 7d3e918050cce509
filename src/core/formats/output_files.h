// The four files a compilation gives, as bytes: the download file, the
// listing, the error file and the settings table. Every line ends in CR LF.
#ifndef VIGIL_CORE_FORMATS_OUTPUT_FILES_H_
#define VIGIL_CORE_FORMATS_OUTPUT_FILES_H_

#include <cstddef>
#include <string>

#include "core/compile/compilation.h"

namespace vigil {

// What the listing says of the program that wrote it and when.
struct ListingHeader {
  std::string program = "vigilc";
  int major = 0;
  int minor = 0;
  std::string date;  // "YYYY-MM-DD HH:MM:SS"
};

std::string DownloadFileText(const Compilation& compilation);
std::string ListingText(const Compilation& compilation, const ListingHeader& header);
std::string ErrorFileText(const Compilation& compilation);
// The error file's lines for the diagnostics [first, first + count) of
// `compilation`, so that a large error file can be written piece by piece:
// the pieces of consecutive ranges joined are ErrorFileText.
std::string ErrorFileText(const Compilation& compilation, size_t first, size_t count);
std::string SettingsFileText(const Compilation& compilation);

}  // namespace vigil

#endif  // VIGIL_CORE_FORMATS_OUTPUT_FILES_H_
