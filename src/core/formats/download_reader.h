// Reading a download file (BIN) back, and the names of its settings table
// file (SET). The reader never gives up on a file: it reports each problem as
// data and keeps whatever it could read.
#ifndef VIGIL_CORE_FORMATS_DOWNLOAD_READER_H_
#define VIGIL_CORE_FORMATS_DOWNLOAD_READER_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigil {

// One thing wrong with the file. `record` is the 1-based record (line)
// number, 0 for the file as a whole; `field` the 1-based ";"-separated field,
// 0 for the whole record.
struct DownloadProblem {
  int record = 0;
  int field = 0;
  std::string message;
};

// "11;254;id;value;0;": a script parameter.
struct ParameterSetting {
  int record = 0;
  int id = 0;
  int value = 0;
};

// "11;module;item;low;high;": a module setting.
struct ModuleSetting {
  int record = 0;
  int module = 0;
  int item = 0;
  int low = 0;
  int high = 0;
};

// Where the bytes of one code record went in the code read.
struct CodeRecord {
  int record = 0;
  int offset = 0;  // position of its first byte in `DownloadImage::code`
  int count = 0;
};

// The problems a reading keeps; the rest are counted only, so that a hostile
// file's problems cannot outgrow it.
inline constexpr size_t kKeptProblems = 50;

struct DownloadImage {
  int record_count = 0;
  std::vector<ParameterSetting> parameters;
  std::vector<ModuleSetting> module_settings;
  std::optional<std::string> partition_tree;  // the eight characters
  int partition_tree_record = 0;
  // The code bytes in file order; a value that is no byte reads as 0. Bytes
  // past the controller's limit (kMaxCodeSize) are a problem and not read.
  std::vector<uint8_t> code;
  std::vector<CodeRecord> code_records;
  std::vector<DownloadProblem> problems;  // the first kKeptProblems
  size_t problem_count = 0;               // all of them
};

// Reads the records of a download file: "18;7;0", settings records, the
// partition tree record "122;...", code records "9;lo;hi;b;...;", "18;8;0",
// each ending in CR LF.
DownloadImage ReadDownloadFile(std::string_view text);

// The record and field that hold code byte `offset`; {0, 0} when no code
// record holds it.
struct FileSpot {
  int record = 0;
  int field = 0;
};
FileSpot LocateCodeByte(const DownloadImage& image, int offset);

// Names by id, from a settings table file or from the declarations.
struct SiteNames {
  std::map<int, std::string> modules;
  std::map<int, std::string> parameters;
  std::map<int, std::string> marks;
  std::map<int, std::string> registers;
  std::map<int, std::string> timers;
};

// The names a settings table file gives: parameters ("Script.NAME=254,n,v"),
// door modules ("NAME.StrikeTime=id,4,v"), marks, registers and timers. Lines
// it does not understand are passed over.
SiteNames ReadSettingsNames(std::string_view text);

}  // namespace vigil

#endif  // VIGIL_CORE_FORMATS_DOWNLOAD_READER_H_
