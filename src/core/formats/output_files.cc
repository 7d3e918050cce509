#include "core/formats/output_files.h"

#include <algorithm>
#include <span>

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
  return FormatErrorFile(compilation.diagnostics);
}

std::string ErrorFileText(const Compilation& compilation, size_t first, size_t count) {
  std::span<const Diagnostic> all(compilation.diagnostics);
  if (first >= all.size()) return std::string();
  return FormatErrorFile(all.subspan(first, std::min(count, all.size() - first)));
}

std::string SettingsFileText(const Compilation& compilation) {
  return JoinLines(compilation.settings_table);
}

}  // namespace vigil
