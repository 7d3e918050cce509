// The C functions of include/vigil/vigil.h over capi::Result. No exception
// leaves them: running out of memory gives NULL or an empty text.

#include <cstring>
#include <map>
#include <new>
#include <string>

#include "capi/result.h"
#include "capi/simulation.h"
#include "capi/word_lists_json.h"
#include "core/check/explain_table.h"
#include "core/formats/output_files.h"
#include "core/lang/known_words.h"
#include "vigil/vigil.h"

struct vigil_result {
  vigil::capi::Result value;
};

namespace {

constexpr char kEmpty[] = "";

const unsigned char* Bytes(const std::string& text, size_t* size) {
  if (size != nullptr) *size = text.size();
  return reinterpret_cast<const unsigned char*>(text.c_str());
}

const unsigned char* NoBytes(size_t* size) {
  if (size != nullptr) *size = 0;
  return reinterpret_cast<const unsigned char*>(kEmpty);
}

const vigil::capi::DiagnosticView* At(const vigil_result* result, size_t index) {
  if (result == nullptr || index >= vigil::capi::Shown(result->value).size()) return nullptr;
  return &vigil::capi::ViewAt(result->value, index);
}

// `size` bytes at `bytes` (NULL is allowed when size is 0).
std::string_view Text(const unsigned char* bytes, size_t size) {
  return size == 0 ? std::string_view()
                   : std::string_view(reinterpret_cast<const char*>(bytes), size);
}

// The number written at `text` in `digits` digits.
int Digits(const char* text, int digits) {
  int value = 0;
  for (int i = 0; i < digits; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD HH:MM:SS" and nothing else, naming a day of the calendar and a
// time of the day.
bool IsDate(const char* date) {
  constexpr std::string_view kShape = "0000-00-00 00:00:00";
  if (date == nullptr || std::strlen(date) != kShape.size()) return false;
  for (size_t i = 0; i < kShape.size(); ++i) {
    bool digit = date[i] >= '0' && date[i] <= '9';
    if (kShape[i] == '0' ? !digit : date[i] != kShape[i]) return false;
  }
  int year = Digits(date, 4);
  int month = Digits(date + 5, 2);
  int day = Digits(date + 8, 2);
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) &&
         Digits(date + 11, 2) <= 23 && Digits(date + 14, 2) <= 59 && Digits(date + 17, 2) <= 59;
}

}  // namespace

extern "C" {

const char* vigil_version(void) { return VIGIL_VERSION; }

vigil_result* vigil_compile(const unsigned char* script, size_t size) {
  try {
    return new vigil_result{vigil::capi::MakeResult(Text(script, size))};
  } catch (...) {
    return nullptr;
  }
}

void vigil_result_free(vigil_result* result) { delete result; }

const unsigned char* vigil_download_file(const vigil_result* result, size_t* size) {
  return result == nullptr ? NoBytes(size) : Bytes(result->value.download_file, size);
}

const unsigned char* vigil_listing(vigil_result* result, const char* date, size_t* size) {
  if (result == nullptr || !IsDate(date)) return NoBytes(size);
  try {
    vigil::ListingHeader header{"vigilc", VIGIL_VERSION_MAJOR, VIGIL_VERSION_MINOR, date};
    result->value.listing = vigil::ListingText(result->value.compilation, header);
    return Bytes(result->value.listing, size);
  } catch (...) {
    return NoBytes(size);
  }
}

const unsigned char* vigil_error_file(const vigil_result* result, size_t* size) {
  if (result == nullptr) return NoBytes(size);
  const vigil::capi::Result& value = result->value;
  if (!value.error_file) value.error_file = vigil::ErrorFileText(value.compilation);
  return Bytes(*value.error_file, size);
}

const unsigned char* vigil_settings_table(const vigil_result* result, size_t* size) {
  return result == nullptr ? NoBytes(size) : Bytes(result->value.settings_table, size);
}

int vigil_error_count(const vigil_result* result) {
  return result == nullptr ? 0 : result->value.compilation.error_count;
}

int vigil_line_count(const vigil_result* result) {
  return result == nullptr ? 0 : result->value.compilation.counted_lines;
}

size_t vigil_code_size(const vigil_result* result) {
  return result == nullptr ? 0 : result->value.compilation.code.size();
}

size_t vigil_diagnostic_count(const vigil_result* result) {
  return result == nullptr ? 0 : vigil::capi::Shown(result->value).size();
}

void vigil_show_all_diagnostics(vigil_result* result, int all) {
  if (result != nullptr) result->value.all_diagnostics = all != 0;
}

const char* vigil_diagnostic_code(const vigil_result* result, size_t index) {
  const vigil::capi::DiagnosticView* view = At(result, index);
  return view == nullptr ? nullptr : view->code.c_str();
}

int vigil_diagnostic_severity(const vigil_result* result, size_t index) {
  const vigil::capi::DiagnosticView* view = At(result, index);
  if (view == nullptr) return -1;
  return view->diagnostic.severity == vigil::Severity::kError ? VIGIL_ERROR : VIGIL_WARNING;
}

const char* vigil_diagnostic_message(const vigil_result* result, size_t index) {
  const vigil::capi::DiagnosticView* view = At(result, index);
  return view == nullptr ? nullptr : view->message.c_str();
}

int vigil_diagnostic_location(const vigil_result* result, size_t index, int* line, size_t* begin,
                              size_t* end) {
  const vigil::capi::DiagnosticView* view = At(result, index);
  if (view == nullptr || view->line == 0) return 0;
  if (line != nullptr) *line = view->line;
  if (begin != nullptr) *begin = view->begin;
  if (end != nullptr) *end = view->end;
  return 1;
}

size_t vigil_diagnostic_note_count(const vigil_result* result, size_t index) {
  const vigil::capi::DiagnosticView* view = At(result, index);
  return view == nullptr ? 0 : view->diagnostic.notes.size();
}

const char* vigil_diagnostic_note(const vigil_result* result, size_t index, size_t note) {
  const vigil::capi::DiagnosticView* view = At(result, index);
  if (view == nullptr || note >= view->diagnostic.notes.size()) return nullptr;
  return view->diagnostic.notes[note].c_str();
}

const char* vigil_diagnostics_json(const vigil_result* result) {
  if (result == nullptr) return "[]\n";
  const vigil::capi::Result& value = result->value;
  std::string& json = value.diagnostics_json[value.all_diagnostics ? 1 : 0];
  if (json.empty()) json = vigil::capi::DiagnosticsJson(value, 0, vigil::capi::Shown(value).size());
  return json.c_str();
}

const char* vigil_diagnostics_json_page(vigil_result* result, size_t first, size_t count) {
  if (result == nullptr) return "[]\n";
  result->value.diagnostics_page_json = vigil::capi::DiagnosticsJson(result->value, first, count);
  return result->value.diagnostics_page_json.c_str();
}

const char* vigil_code_json(const vigil_result* result) {
  return result == nullptr ? "[]\n" : result->value.code_json.c_str();
}

const char* vigil_events_json(vigil_result* result) {
  if (result == nullptr) return "[]\n";
  try {
    vigil::capi::Result& value = result->value;
    if (value.events_json.empty()) value.events_json = vigil::capi::EventsJson(value.compilation);
    return value.events_json.c_str();
  } catch (...) {
    return "[]\n";
  }
}

const char* vigil_sim_json(vigil_result* result, const char* event, const unsigned char* state,
                           size_t size) {
  if (result == nullptr || event == nullptr) return nullptr;
  try {
    result->value.sim_json =
        vigil::capi::SimJson(result->value.compilation, event, Text(state, size));
    return result->value.sim_json.c_str();
  } catch (...) {
    return nullptr;
  }
}

const char* vigil_scenarios_json(vigil_result* result, const unsigned char* scenarios,
                                 size_t size) {
  if (result == nullptr) return nullptr;
  try {
    result->value.scenarios_json =
        vigil::capi::ScenariosJson(result->value.compilation, Text(scenarios, size));
    return result->value.scenarios_json.c_str();
  } catch (...) {
    return nullptr;
  }
}

const char* vigil_coverage_json(vigil_result* result, const unsigned char* scenarios, size_t size) {
  if (result == nullptr) return nullptr;
  try {
    result->value.coverage_json =
        vigil::capi::CoverageJson(result->value.compilation, Text(scenarios, size));
    return result->value.coverage_json.c_str();
  } catch (...) {
    return nullptr;
  }
}

const char* vigil_paths_json(vigil_result* result, const char* event) {
  if (result == nullptr) return nullptr;
  try {
    result->value.paths_json =
        vigil::capi::PathsJson(result->value.compilation, event == nullptr ? "" : event);
    return result->value.paths_json.empty() ? nullptr : result->value.paths_json.c_str();
  } catch (...) {
    return nullptr;
  }
}

const char* vigil_diff_text(vigil_result* before, vigil_result* result) {
  if (before == nullptr || result == nullptr) return nullptr;
  try {
    result->value.diff_text =
        vigil::capi::DiffText(before->value.compilation, result->value.compilation);
    return result->value.diff_text.empty() ? nullptr : result->value.diff_text.c_str();
  } catch (...) {
    return nullptr;
  }
}

const char* vigil_explanation(const char* code) {
  if (code == nullptr) return nullptr;
  try {
    const vigil::Explanation* explanation = vigil::FindExplanation(code);
    if (explanation == nullptr) return nullptr;
    // Made once per entry; the texts live as long as the program.
    static const std::map<const vigil::Explanation*, std::string>* const kTexts = [] {
      auto* texts = new std::map<const vigil::Explanation*, std::string>();
      for (const vigil::Explanation& entry : vigil::Explanations()) {
        texts->emplace(&entry, vigil::FormatExplanation(entry));
      }
      return texts;
    }();
    return kTexts->at(explanation).c_str();
  } catch (...) {
    return nullptr;
  }
}

const char* vigil_keywords(void) {
  try {
    static const std::string* const kWords = [] {
      auto* words = new std::string();
      for (std::string_view word : vigil::Keywords()) {
        if (!words->empty()) *words += ' ';
        *words += word;
      }
      return words;
    }();
    return kWords->c_str();
  } catch (...) {
    return "";
  }
}

const char* vigil_word_lists_json(void) {
  try {
    static const std::string* const kJson = new std::string(vigil::capi::WordListsJson());
    return kJson->c_str();
  } catch (...) {
    return nullptr;
  }
}

}  // extern "C"
