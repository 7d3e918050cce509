#include "core/formats/download_file.h"

#include <array>
#include <cstring>

#include "core/scan/numbers.h"

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
    std::string record = "9;";
    AppendDecimal(record, static_cast<int>(offset % 256));
    record += ';';
    AppendDecimal(record, static_cast<int>(offset / 256));
    record += ';';
    record += FormatChunk(chunk);
    records.push_back(std::move(record));
  }
  return records;
}

std::string FormatDownloadFile(const DownloadContents& contents) {
  std::vector<std::string> code_records = CodeRecords(contents.code);
  // The file's size, so that it is written into one allocation.
  size_t size = 2 * (sizeof "18;7;0" + 1) + contents.partition_tree.size() + 2;
  for (std::span<const std::string> records : {contents.parameter_records, contents.module_records,
                                               std::span<const std::string>(code_records)}) {
    for (const std::string& record : records) size += record.size() + 2;
  }
  std::string file;
  file.reserve(size);
  AddLine(file, "18;7;0");
  for (const std::string& record : contents.parameter_records) {
    if (!record.empty()) AddLine(file, record);
  }
  for (const std::string& record : contents.module_records) {
    if (!record.empty()) AddLine(file, record);
  }
  if (!contents.partition_tree.empty()) AddLine(file, contents.partition_tree);
  for (const std::string& record : code_records) AddLine(file, record);
  AddLine(file, "18;8;0");
  return file;
}

}  // namespace vigil
