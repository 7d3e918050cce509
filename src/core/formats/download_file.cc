#include "core/formats/download_file.h"

#include <array>
#include <cstring>

namespace vigil {
namespace {

void AddLine(std::string& file, std::string_view line) {
  file += line;
  file += "\r\n";
}

// "0;" to "255;": each byte's decimal digits, without leading zeros, and
// the ";" that follows them in a code record.
struct ValueText {
  std::array<char, 4> text{};
  size_t size = 0;
};

constexpr std::array<ValueText, 256> MakeValueTexts() {
  std::array<ValueText, 256> texts{};
  for (int value = 0; value < 256; ++value) {
    ValueText& entry = texts[static_cast<size_t>(value)];
    if (value >= 100) entry.text[entry.size++] = static_cast<char>('0' + value / 100);
    if (value >= 10) entry.text[entry.size++] = static_cast<char>('0' + value / 10 % 10);
    entry.text[entry.size++] = static_cast<char>('0' + value % 10);
    entry.text[entry.size++] = ';';
  }
  return texts;
}

constexpr std::array<ValueText, 256> kValueTexts = MakeValueTexts();

}  // namespace

std::string FormatChunk(std::span<const uint8_t> chunk) {
  // Four bytes of room for each value: at most three digits and the ";".
  std::string text(chunk.size() * 4, '\0');
  char* out = text.data();
  for (uint8_t byte : chunk) {
    const ValueText& value = kValueTexts[byte];
    std::memcpy(out, value.text.data(), 4);
    out += value.size;
  }
  text.resize(static_cast<size_t>(out - text.data()));
  return text;
}

std::vector<std::string> CodeRecords(std::span<const uint8_t> code) {
  std::vector<std::string> records;
  for (size_t offset = 0; offset < code.size(); offset += kChunkSize) {
    std::span<const uint8_t> chunk =
        code.subspan(offset, std::min(kChunkSize, code.size() - offset));
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
