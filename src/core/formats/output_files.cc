#include "core/formats/output_files.h"

#include <algorithm>

#include "core/formats/download_file.h"
#include "core/formats/listing.h"

namespace vigil {

std::string DownloadFileText(const Compilation& compilation) {
  const ControllerRecords& records = compilation.records;
  return FormatDownloadFile({records.parameter_records, records.module_records,
                             records.partition_tree, compilation.code});
}

std::string ListingText(const Compilation& compilation, const ListingHeader& header) {
  return FormatListing({header.program, header.major, header.minor, compilation.counted_lines,
                        /*warnings=*/0, compilation.error_count,
                        static_cast<int>(compilation.code.size()), header.date});
}

std::string ErrorFileText(const Compilation& compilation) {
  return ErrorFileText(compilation, 0, compilation.errors.size());
}

std::string ErrorFileText(const Compilation& compilation, size_t first, size_t count) {
  std::string file;
  size_t total = compilation.errors.size();
  size_t end = first >= total ? first : first + std::min(count, total - first);
  for (size_t i = first; i < end; ++i) {
    file += ErrorFileLine(compilation.ErrorAt(i));
    file += "\r\n";
  }
  return file;
}

std::string SettingsFileText(const Compilation& compilation) {
  return JoinLines(compilation.settings_table);
}

}  // namespace vigil
