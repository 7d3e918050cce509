#include "core/formats/download_reader.h"

#include <algorithm>
#include <charconv>

#include "core/formats/download_file.h"
#include "core/lang/limits.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"

namespace vigil {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

enum RecordType {
  kCodeRecord = 9,
  kSettingsRecord = 11,
  kFramingRecord = 18,
  kPartitionTreeRecord = 122,
};

constexpr std::string_view kOpeningRecord = "18;7;0";
constexpr std::string_view kClosingRecord = "18;8;0";
constexpr size_t kSettingsValues = 5;
constexpr size_t kPartitionTreeValues = 9;  // 122 and eight characters

// More fields than a record of the whole code could hold are not split.
constexpr size_t kMostFields = kMaxCodeSize + 4;

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (fields.size() + 1 < kMostFields) {
    size_t end = line.find(';', start);
    if (end == std::string_view::npos) {
      fields.push_back(line.substr(start));
      return fields;
    }
    fields.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  fields.push_back(line.substr(start, line.find(';', start) - start));
  return fields;
}

// The setting items each module kind has: 0 the saved-event mask, 1 the
// user-event switch (controller) or the type (door), 4 to 7 the door times and
// partition.
bool IsSettingOf(int module, int item) {
  switch (ModuleKindOf(module)) {
    case ModuleKind::kController:
      return item == kEventMaskItem || item == kUserEventsItem;
    case ModuleKind::kDoor:
      return item == kEventMaskItem || item == kTypeItem ||
             (item >= kStrikeTimeItem && item <= kPartitionItem);
    case ModuleKind::kPanel:
      return item == kEventMaskItem;
    default:
      return false;
  }
}

// Items whose record carries a 16-bit mask as two bytes.
bool IsMaskItem(int module, int item) {
  return item == kEventMaskItem ||
         (ModuleKindOf(module) == ModuleKind::kController && item == kUserEventsItem);
}

constexpr int kInt16Lowest = -32768;
constexpr int kInt16Highest = 32767;

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

class Reader {
 public:
  DownloadImage Read(std::string_view text);

 private:
  void ReadRecord(std::string_view line);
  void Framing(std::string_view line);
  void Settings(const std::vector<std::string_view>& values, bool terminated);
  void PartitionTree(const std::vector<std::string_view>& values);
  void Code(const std::vector<std::string_view>& values, bool terminated);

  // The value of field `index` (0-based) within [lowest, highest], or
  // nullopt after a problem.
  std::optional<int> Number(const std::vector<std::string_view>& values, size_t index, int lowest,
                            int highest);
  std::optional<int> Byte(const std::vector<std::string_view>& values, size_t index) {
    return Number(values, index, 0, 255);
  }
  void Problem(int field, std::string message) {
    if (++image_.problem_count <= kKeptProblems) {
      image_.problems.push_back({record_, field, std::move(message)});
    }
  }

  DownloadImage image_;
  int record_ = 0;
  bool closed_ = false;
  bool over_limit_ = false;  // code past the controller's limit was found
};

DownloadImage Reader::Read(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    ++record_;
    size_t end = text.find(kLineEnd, start);
    if (end == std::string_view::npos) {
      Problem(0, "the file ends inside this record, without CR LF: it may be cut short");
      ReadRecord(text.substr(start));
      break;
    }
    ReadRecord(text.substr(start, end - start));
    start = end + kLineEnd.size();
  }
  image_.record_count = record_;
  record_ = 0;
  if (image_.record_count == 0) Problem(0, "the file is empty");
  if (!closed_) Problem(0, "the closing record 18;8;0 is missing: the file may be cut short");
  if (image_.code_records.empty()) Problem(0, "the file holds no code records");
  return std::move(image_);
}

void Reader::ReadRecord(std::string_view line) {
  if (closed_) Problem(0, "record after the closing record 18;8;0");
  if (line.empty()) return Problem(0, "empty record");
  std::vector<std::string_view> values = SplitFields(line);
  if (values.size() == kMostFields) {
    Problem(0, "the record holds more than " + std::to_string(kMostFields - 1) +
                   " fields; the rest are not read");
    values.back() = std::string_view();  // as if it ended there with ";"
  }
  // Settings and code records end with ";", which leaves an empty last field.
  bool terminated = values.size() > 1 && values.back().empty();
  if (terminated) values.pop_back();

  int type = 0;
  std::from_chars_result parsed =
      std::from_chars(values[0].data(), values[0].data() + values[0].size(), type);
  bool numeric = parsed.ec == std::errc() && parsed.ptr == values[0].data() + values[0].size();
  if (!numeric) return Problem(1, "record type " + Quoted(values[0]) + " is not a number");
  if (record_ == 1 && line != kOpeningRecord) {
    Problem(0, "the file does not start with the opening record 18;7;0");
  }
  switch (type) {
    case kFramingRecord:
      return Framing(line);
    case kSettingsRecord:
      return Settings(values, terminated);
    case kPartitionTreeRecord:
      return PartitionTree(values);
    case kCodeRecord:
      return Code(values, terminated);
    default:
      Problem(1, "unknown record type " + std::to_string(type));
  }
}

void Reader::Framing(std::string_view line) {
  if (line == kOpeningRecord) {
    if (record_ != 1) Problem(0, "the opening record 18;7;0 stands after other records");
  } else if (line == kClosingRecord) {
    closed_ = true;
  } else {
    Problem(0, "unknown framing record: only 18;7;0 and 18;8;0 are known");
  }
}

void Reader::Settings(const std::vector<std::string_view>& values, bool terminated) {
  if (!terminated) Problem(0, "the settings record does not end with ';': it may be cut short");
  if (values.size() != kSettingsValues) {
    return Problem(
        0, "the settings record holds " + std::to_string(values.size()) + " values, 5 expected");
  }
  std::optional<int> module = Byte(values, 1);
  std::optional<int> item = Byte(values, 2);
  if (!module || !item) return;
  // Parameters and door settings carry a 16-bit signed value; masks a byte
  // each.
  std::optional<int> low = *module == kParameterModule || !IsMaskItem(*module, *item)
                               ? Number(values, 3, kInt16Lowest, kInt16Highest)
                               : Byte(values, 3);
  std::optional<int> high = Byte(values, 4);
  if (!low || !high) return;
  if (*module == kParameterModule) {
    image_.parameters.push_back({record_, *item, *low});
    return;
  }
  if (!IsSettingOf(*module, *item)) {
    Problem(3, "module " + std::to_string(*module) + " (" +
                   std::string(ModuleKindName(ModuleKindOf(*module))) + ") has no setting item " +
                   std::to_string(*item));
  }
  image_.module_settings.push_back({record_, *module, *item, *low, *high});
}

void Reader::PartitionTree(const std::vector<std::string_view>& values) {
  if (image_.partition_tree) Problem(0, "a second partition tree record");
  if (values.size() != kPartitionTreeValues) {
    Problem(0, "the partition tree record holds " + std::to_string(values.size() - 1) +
                   " characters, 8 expected");
  }
  std::string tree;
  for (size_t i = 1; i < values.size() && tree.size() < 8; ++i) {
    std::optional<int> code = Byte(values, i);
    char c = code ? static_cast<char>(*code) : '?';
    if (code && c != '*' && c != 'R' && !(c >= '1' && c <= '8')) {
      Problem(static_cast<int>(i) + 1, "character code " + std::to_string(*code) +
                                           " is none of '*' (42), 'R' (82), '1' to '8' (49 to 56)");
      c = '?';
    }
    tree += c;
  }
  tree.resize(8, '*');
  image_.partition_tree = tree;
  image_.partition_tree_record = record_;
}

void Reader::Code(const std::vector<std::string_view>& values, bool terminated) {
  if (!terminated) Problem(0, "the code record does not end with ';': it may be cut short");
  if (values.size() < 3) return Problem(0, "the code record has no offset");
  std::optional<int> low = Byte(values, 1);
  std::optional<int> high = Byte(values, 2);
  int so_far = static_cast<int>(image_.code.size());
  if (low && high && *low + 256 * *high != so_far) {
    Problem(2, "the code record's offset " + std::to_string(*low + 256 * *high) +
                   " does not follow the " + std::to_string(so_far) +
                   " bytes before it; its bytes are read as following them");
  }
  size_t count = values.size() - 3;
  if (count == 0) Problem(0, "the code record holds no bytes");
  if (count > kChunkSize) {
    Problem(0, "the code record holds " + std::to_string(count) + " bytes, at most " +
                   std::to_string(kChunkSize) + " expected");
  }
  size_t room = static_cast<size_t>(kMaxCodeSize) -
                std::min(image_.code.size(), static_cast<size_t>(kMaxCodeSize));
  if (count > room && !over_limit_) {
    over_limit_ = true;
    Problem(0, "the code passes the controller's limit of " + std::to_string(kMaxCodeSize) +
                   " bytes; the bytes after it are not read");
  }
  if (room == 0) return;
  count = std::min(count, room);
  image_.code_records.push_back({record_, so_far, static_cast<int>(count)});
  for (size_t i = 3; i < 3 + count; ++i) {
    image_.code.push_back(static_cast<uint8_t>(Byte(values, i).value_or(0)));
  }
}

std::optional<int> Reader::Number(const std::vector<std::string_view>& values, size_t index,
                                  int lowest, int highest) {
  std::string_view text = values[index];
  int field = static_cast<int>(index) + 1;
  if (text.empty()) {
    Problem(field, "empty field");
    return std::nullopt;
  }
  bool negative = text.front() == '-';
  std::string_view digits = negative ? text.substr(1) : text;
  bool all_digits = !digits.empty() && std::all_of(digits.begin(), digits.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; });
  if (!all_digits) {
    Problem(field, Quoted(text) + " is not a number");
    return std::nullopt;
  }
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
  long value = 0;
  if (digits.size() > 6) {
    value = 1000000;
  } else {
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
  }
  if (negative) value = -value;
  if (value < lowest) {
    Problem(field, "value " + std::string(text) + " is below " + std::to_string(lowest));
    return std::nullopt;
  }
  if (value > highest) {
    Problem(field, "value " + std::string(text) + " is above " + std::to_string(highest));
    return std::nullopt;
  }
  return static_cast<int>(value);
}

// The number in `text` up to its first non-digit; nullopt when it has none.
std::optional<int> LeadingInt(std::string_view text) {
  int value = 0;
  std::from_chars_result parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  if (parsed.ec != std::errc()) return std::nullopt;
  return value;
}

// The number after the `n`th "," of `text` (n = 0: the start).
std::optional<int> NumberAfterComma(std::string_view text, int n) {
  size_t start = 0;
  for (int i = 0; i < n; ++i) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) return std::nullopt;
    start = comma + 1;
  }
  return LeadingInt(text.substr(start));
}

}  // namespace

DownloadImage ReadDownloadFile(std::string_view text) { return Reader().Read(text); }

FileSpot LocateCodeByte(const DownloadImage& image, int offset) {
  for (const CodeRecord& record : image.code_records) {
    if (offset >= record.offset && offset < record.offset + record.count) {
      return {record.record, offset - record.offset + 4};
    }
  }
  return {};
}

SiteNames ReadSettingsNames(std::string_view text) {
  SiteNames names;
  std::map<int, std::string>* section = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with('[')) {
      section = line == "[Parameters]"  ? &names.parameters
                : line == "[Marks]"     ? &names.marks
                : line == "[Registers]" ? &names.registers
                : line == "[Timers]"    ? &names.timers
                                        : nullptr;
      continue;
    }
    size_t equals = line.find('=');
    if (section == nullptr || equals == std::string_view::npos) continue;
    std::string_view name = line.substr(0, equals);
    std::string_view value = line.substr(equals + 1);
    std::optional<int> id;
    std::map<int, std::string>* target = section;
    if (section == &names.parameters) {
      constexpr std::string_view kScript = "Script.";
      constexpr std::string_view kStrike = ".StrikeTime";
      if (name.starts_with(kScript)) {
        name.remove_prefix(kScript.size());
        id = NumberAfterComma(value, 1);
      } else if (name.ends_with(kStrike)) {
        name.remove_suffix(kStrike.size());
        id = NumberAfterComma(value, 0);
        target = &names.modules;
      }
    } else if (section == &names.marks) {
      id = NumberAfterComma(value, 1);
    } else {
      id = NumberAfterComma(value, 0);
    }
    if (id) target->emplace(*id, std::string(name));
  }
  return names;
}

}  // namespace vigil
