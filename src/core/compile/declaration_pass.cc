// The declaration pass: six sweeps over the script that collect modules and
// partitions, parameters, archive marks, registers, timers and the device
// settings, then the settings table.

#include <algorithm>
#include <limits>

#include "core/compile/compiler.h"
#include "core/compile/settings_table.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/scan/numbers.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

// The text after the first "=" of a MODULE, PARTITION or DEVICE line, or the
// whole line when it has none; trimmed.
std::string_view DeclarationRest(std::string_view line) {
  size_t equals = line.find('=');
  return TrimBlanks(equals == std::string_view::npos ? line : line.substr(equals + 1));
}

// A numeric field read leniently and rounded; false when it does not fit a
// 16-bit property.
bool Read16(std::string_view field, int16_t* out) {
  int value;
  if (!RoundedFits(LeadingNumber(field), std::numeric_limits<int16_t>::min(),
                   std::numeric_limits<int16_t>::max(), &value)) {
    return false;
  }
  *out = static_cast<int16_t>(value);
  return true;
}

// A record id from its counter. Counters pass 32767 only in scripts that
// already reported errors 8 or 9, or that declare more registers than any
// controller holds; such ids are refused wherever they would be emitted.
int16_t IdFrom(int counter) { return static_cast<int16_t>(std::min(counter, 32767)); }

bool AllNameChars(std::string_view name) {
  for (char c : name) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

// Takes "DEFINE <kind>" off the head of `rest`.
bool TakeDefine(std::string_view& rest, std::string_view kind) {
  return TakeWord(rest, "DEFINE") && TakeWord(rest, kind);
}

}  // namespace

void C_Compiler::DeclarationPass() {
  // Four of the sweeps read DEFINE or DEVICE lines only: find those once.
  define_lines_.clear();
  device_lines_.clear();
  for (const SourceLine& line : lines_) {
    std::string_view probe = line.text;
    if (TakeWord(probe, "DEFINE")) {
      define_lines_.push_back(&line);
    } else if (StartsWithIgnoreCase(line.text, "DEVICE")) {
      device_lines_.push_back(&line);
    }
  }
  CollectModules();
  CollectParameters();
  CollectMarks();
  CollectRegisters(/*timers=*/false);
  CollectRegisters(/*timers=*/true);
  CollectDeviceSettings();
  settings_table_ = WriteSettingsTable(symbols_);
  if (record_tokens_) {
    IndexDeclaredNames();
    RecordDeclarationTokens();
  }
  display_line_ = nullptr;
}

void C_Compiler::Declare(SymbolKind kind, std::string_view name, int id) {
  Symbol symbol{kind, std::string(name), id, {}, {}};
  if (display_line_ != nullptr) {
    symbol.declaration.line = display_line_->physical_line;
    const char* line = display_line_->text.data();
    if (name.data() >= line && name.data() + name.size() <= line + display_line_->text.size()) {
      int begin = static_cast<int>(name.data() - line);
      symbol.declaration.span = {begin, begin + static_cast<int>(name.size())};
    }
  }
  declared_.push_back(std::move(symbol));
}

void C_Compiler::Ignore(IgnoredDeclaration::Why why, std::string_view part, int module) {
  IgnoredDeclaration ignored{
      display_line_ != nullptr ? display_line_->physical_line : 0, {}, why, module};
  if (display_line_ != nullptr && !part.empty()) {
    const char* line = display_line_->text.data();
    if (part.data() >= line && part.data() + part.size() <= line + display_line_->text.size()) {
      int begin = static_cast<int>(part.data() - line);
      ignored.span = {begin, begin + static_cast<int>(part.size())};
    }
  }
  ignored_declarations_.push_back(ignored);
}

void C_Compiler::CollectModules() {
  symbols_.modules.Clear();
  first_event_line_ = 0;
  for (const SourceLine& line : lines_) {
    if (StartsWithIgnoreCase(TrimBlanks(line.text), "EVENT")) {
      first_event_line_ = line.physical_line;
      break;
    }
    if (StartsWithIgnoreCase(line.text, "MODULE")) {
      SetWorkingLine(line, /*statement_pass=*/false);
      CollectModule(line.text);
    } else if (StartsWithIgnoreCase(line.text, "PARTITION")) {
      SetWorkingLine(line, /*statement_pass=*/false);
      CollectPartition(line.text);
    }
  }
}

// name, id, (not used), typ, StrikeTime, AjarDoor, CardTimeout, [partition]
void C_Compiler::CollectModule(std::string_view line) {
  std::vector<std::string_view> fields = Split(DeclarationRest(line), ',');
  if (fields.size() < 2) return ReportError(Err::kMissingParameters);
  if (IsModuleName(fields[0])) return ReportError(Err::kDuplicateName, fields[0]);

  C_Module module;
  module.name.assign(fields[0]);
  if (!Read16(fields[1], &module.id) || module.id > kMaxDeclaredId) {
    return ReportError(Err::kValueOutOfRange, fields[1]);
  }
  bool door = TakesDoorSettings(module.id);
  if (door && fields.size() >= 7) {
    bool fits = Read16(fields[3], &module.typ) && Read16(fields[4], &module.StrikeTime) &&
                Read16(fields[5], &module.AjarDoor) && Read16(fields[6], &module.CardTimeout) &&
                (fields.size() != 8 || Read16(fields[7], &module.partition));
    if (!fits) return ReportError(Err::kValueOutOfRange);
  }
  if (door && fields.size() < 7) ReportError(Err::kIncompleteDoorModule);
  Declare(SymbolKind::kModule, fields[0], module.id);
  symbols_.modules.Add(std::move(module));
}

// name, id, ezsid, parent
void C_Compiler::CollectPartition(std::string_view line) {
  std::vector<std::string_view> fields = Split(DeclarationRest(line), ',');
  if (fields.size() < 4) return ReportError(Err::kMissingParameters);
  if (IsModuleName(fields[0])) return ReportError(Err::kDuplicateName, fields[0]);
  if (Contains(fields[0], "-")) ReportError(Err::kInvalidNameCharacter, fields[0]);

  C_Module partition;
  partition.name.assign(fields[0]);
  if (!Read16(fields[1], &partition.id) || partition.id > kMaxDeclaredId ||
      !Read16(fields[2], &partition.ezsid) || !Read16(fields[3], &partition.parent)) {
    return ReportError(Err::kValueOutOfRange);
  }
  Declare(SymbolKind::kPartition, fields[0], partition.id);
  symbols_.modules.Add(std::move(partition));
}

void C_Compiler::CollectParameters() {
  symbols_.parameters.Clear();
  int counter = 0;
  for (const SourceLine* define_line : define_lines_) {
    const SourceLine& line = *define_line;
    std::string_view rest = line.text;
    if (!TakeDefine(rest, "PARAMETER")) continue;
    SetWorkingLine(line, /*statement_pass=*/false);
    if (TrimBlanks(rest).starts_with('=')) continue;
    if (Split(rest, '=').size() != 2) {
      ReportError(Err::kUnknownParameter);
      continue;
    }
    std::string_view name = TakeWord(rest);
    if (TrimBlanks(name).empty()) return ReportError(Err::kUnknownParameter);
    if (!AllNameChars(name)) return ReportError(Err::kInvalidNameCharacter, name);
    if (IsParameterName(name) || IsModuleName(name)) return ReportError(Err::kDuplicateName, name);

    std::string_view value_word = TakeWord(rest);
    std::optional<double> value = NumericValue(value_word);
    if (!value) {
      ReportError(Err::kNumberExpected, value_word);
      continue;
    }
    int rounded;
    if (!RoundedFits(*value, std::numeric_limits<int16_t>::min(),
                     std::numeric_limits<int16_t>::max(), &rounded)) {
      ReportError(Err::kValueOutOfRange, value_word);
      continue;
    }
    Declare(SymbolKind::kParameter, name, IdFrom(counter));
    symbols_.parameters.Add({IdFrom(counter), std::string(name), static_cast<int16_t>(rounded)});
    if (++counter == kMaxUserItems + 1) ReportError(Err::kTooManyParameters, name);
    if (rounded < 0 || rounded > 255) ReportError(Err::kValueOutOfRange, value_word);
  }
}

void C_Compiler::CollectMarks() {
  symbols_.marks.Clear();
  int counter = 0;
  for (const SourceLine* define_line : define_lines_) {
    const SourceLine& line = *define_line;
    std::string_view rest = line.text;
    if (!TakeDefine(rest, "MARK")) continue;
    SetWorkingLine(line, /*statement_pass=*/false);
    std::vector<std::string_view> pieces = Split(rest, '=');
    if (pieces.size() != 2) {
      ReportError(Err::kUnknownMark);
      continue;
    }
    std::string_view name = TakeWord(rest);
    if (TrimBlanks(name).empty()) return ReportError(Err::kUnknownParameter);
    if (!AllNameChars(name)) return ReportError(Err::kInvalidNameCharacter, name);
    if (IsMarkName(name) || IsParameterName(name) || IsModuleName(name)) {
      return ReportError(Err::kDuplicateName, name);
    }
    Declare(SymbolKind::kMark, name, IdFrom(counter));
    symbols_.marks.Add({IdFrom(counter), std::string(name), std::string(TrimBlanks(pieces[1]))});
    if (++counter == kMaxUserItems + 1) ReportError(Err::kTooManyMarks, name);
  }
}

// Registers and timers share their rules; a timer may not repeat a register.
void C_Compiler::CollectRegisters(bool timers) {
  Collection<C_registry>& collection = timers ? symbols_.timers : symbols_.registers;
  collection.Clear();
  int counter = 0;
  for (const SourceLine* define_line : define_lines_) {
    const SourceLine& line = *define_line;
    std::string_view rest = line.text;
    if (!TakeDefine(rest, timers ? "TIMER" : "REGISTER")) continue;
    SetWorkingLine(line, /*statement_pass=*/false);
    std::string_view name = TakeWord(rest);
    if (TrimBlanks(name).empty()) return ReportError(Err::kUnknownParameter);
    if (!AllNameChars(name)) return ReportError(Err::kInvalidNameCharacter, name);
    bool duplicate = collection.Contains(name) || IsParameterName(name) || IsMarkName(name) ||
                     IsModuleName(name) || (timers && IsRegistrName(name));
    if (duplicate) return ReportError(Err::kDuplicateName, name);
    Declare(timers ? SymbolKind::kTimer : SymbolKind::kRegister, name, IdFrom(counter));
    collection.Add({IdFrom(counter), std::string(name)});
    ++counter;
  }
}

void C_Compiler::CollectDeviceSettings() {
  for (const SourceLine* line : device_lines_) {
    SetWorkingLine(*line, /*statement_pass=*/false);
    CollectDevice(line->text);
  }
}

// module.device, flag
void C_Compiler::CollectDevice(std::string_view line) {
  std::vector<std::string_view> fields = Split(DeclarationRest(line), ',');
  std::string_view qualified = fields[0];
  if (!Contains(qualified, ".")) return ReportError(Err::kUnknownDevice, qualified);
  C_Module* module = symbols_.modules.Find(ModulePart(qualified));
  if (module == nullptr) return ReportError(Err::kUnknownModule, ModulePart(qualified));

  std::string_view device = ElementPart(qualified);
  if (device == "UserEvents") {
    if (fields.size() < 2) return ReportError(Err::kMissingParameters);
    module->SaveUserEvents = fields[1] == "0" ? 0 : 1;
  } else if (fields.size() >= 2 && fields[1] == "1") {
    int32_t mask = DeviceMask(module->id, device);
    if (mask == 0) Ignore(IgnoredDeclaration::Why::kUnknownDevice, device, module->id);
    module->SaveEvents = static_cast<int16_t>(module->SaveEvents | mask);
  }
}

}  // namespace vigil
