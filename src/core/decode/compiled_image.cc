#include "core/decode/compiled_image.h"

#include <algorithm>

#include "core/compile/controller_records.h"
#include "core/formats/download_file.h"

namespace vigil {

DownloadImage DownloadImageOf(const Compilation& compilation) {
  DownloadImage image;
  int record = 1;  // the opening record
  SymbolTable symbols = compilation.symbols;
  for (const SettingRecord& setting : ParameterSettings(symbols)) {
    image.parameters.push_back({++record, setting.item, setting.low});
  }
  for (const SettingRecord& setting : ModuleSettings(symbols)) {
    image.module_settings.push_back(
        {++record, setting.module, setting.item, setting.low, setting.high});
  }
  image.partition_tree = PartitionTreeChars(symbols);
  image.partition_tree_record = ++record;
  image.code = compilation.code;
  for (size_t offset = 0; offset < image.code.size(); offset += kChunkSize) {
    int count = static_cast<int>(std::min(kChunkSize, image.code.size() - offset));
    image.code_records.push_back({++record, static_cast<int>(offset), count});
  }
  image.record_count = record + 1;  // the closing record
  return image;
}

}  // namespace vigil
