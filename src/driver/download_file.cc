#include "driver/download_file.h"

namespace vigil {
namespace {

void AddLine(std::string& file, std::string_view line) {
  file += line;
  file += "\r\n";
}

}  // namespace

std::string FormatChunk(std::span<const uint8_t> chunk) {
  std::string text;
  text.reserve(chunk.size() * 4);
  for (uint8_t byte : chunk) {
    // At most three digits, without leading zeros.
    if (byte >= 100) text += static_cast<char>('0' + byte / 100);
    if (byte >= 10) text += static_cast<char>('0' + byte / 10 % 10);
    text += static_cast<char>('0' + byte % 10);
    text += ';';
  }
  return text;
}

std::vector<std::string> CodeRecords(std::span<const uint8_t> code) {
  std::vector<std::string> records;
  for (size_t offset = 0; offset < code.size(); offset += kChunkSize) {
    std::span<const uint8_t> chunk = code.subspan(offset, std::min(kChunkSize, code.size() - offset));
    records.push_back("9;" + std::to_string(offset % 256) + ";" + std::to_string(offset / 256) +
                      ";" + FormatChunk(chunk));
  }
  return records;
}

std::string FormatDownloadFile(const DownloadContents& contents) {
  std::string file;
  AddLine(file, "18;7;0");
  for (const std::string& record : contents.parameter_records) {
    if (!record.empty()) AddLine(file, record);
  }
  for (const std::string& record : contents.module_records) {
    if (!record.empty()) AddLine(file, record);
  }
  if (!contents.partition_tree.empty()) AddLine(file, contents.partition_tree);
  for (const std::string& record : CodeRecords(contents.code)) AddLine(file, record);
  AddLine(file, "18;8;0");
  return file;
}

}  // namespace vigil
