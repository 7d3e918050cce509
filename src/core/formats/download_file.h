// The download file: text records of decimal numbers that the download tool
// sends to the controller.
#ifndef VIGIL_CORE_FORMATS_DOWNLOAD_FILE_H_
#define VIGIL_CORE_FORMATS_DOWNLOAD_FILE_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vigil {

inline constexpr size_t kChunkSize = 245;  // code bytes per code record

// Each byte in decimal followed by ";".
std::string FormatChunk(std::span<const uint8_t> chunk);

// The records of the code buffer: "9;" offset-low ";" offset-high ";" bytes.
std::vector<std::string> CodeRecords(std::span<const uint8_t> code);

struct DownloadContents {
  std::span<const std::string> parameter_records;
  std::span<const std::string> module_records;
  std::string_view partition_tree;
  std::span<const uint8_t> code;
};

// The whole file: "18;7;0", the non-empty settings records, the partition
// tree, the code records and "18;8;0", each line ending in CR LF.
std::string FormatDownloadFile(const DownloadContents& contents);

}  // namespace vigil

#endif  // VIGIL_CORE_FORMATS_DOWNLOAD_FILE_H_
