#include "sim/program.h"

#include <algorithm>

#include "core/decode/code_names.h"
#include "core/decode/disassembler.h"
#include "core/decode/script_code.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"

namespace vigil::sim {
namespace {

// The strike time the download file gives a door: below 2 is raised to 2.
constexpr int kMinStrikeTime = 2;

std::string Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return "";
  size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

// The output words of a line ("OC1", "CTRL.RELAY2"), each with its element
// code.
void AddOutputNames(std::string_view text, int module, int code,
                    std::map<std::pair<int, int>, std::string>& names) {
  if (names.contains({module, code})) return;
  std::string_view rest = text;
  for (std::string_view word = TakeToken(rest); !word.empty(); word = TakeToken(rest)) {
    std::string_view element = ElementPart(word);
    if (IsOutputName(element) && EventCode(element) == code) {
      names.emplace(std::pair{module, code}, ToUpper(element));
      return;
    }
    if (rest.empty() || word.data() + word.size() >= text.data() + text.size()) return;
  }
}

}  // namespace

Program MakeProgram(const Compilation& compilation) {
  Program program;
  program.code = compilation.code;
  program.names = DeclaredNames(compilation.symbols);
  program.bytes.resize(program.code.size());
  for (const LineCode& line : compilation.line_code) {
    for (int at = line.begin; at < line.end && at < static_cast<int>(program.bytes.size()); ++at) {
      program.bytes[static_cast<size_t>(at)].line = line.physical_line;
    }
  }
  for (const SourceLine& line : compilation.lines) {
    program.line_texts.emplace(line.physical_line, Trimmed(line.text));
  }
  Disassembly disassembly = Disassemble(program.code, program.names);
  for (const DecodedItem& item : disassembly.items) {
    if (item.offset < 0 || item.offset >= static_cast<int>(program.bytes.size())) continue;
    Program::ByteInfo& info = program.bytes[static_cast<size_t>(item.offset)];
    info.depth = item.depth;
    info.meaning = item.meaning;
    if (item.kind == DecodedItem::Kind::kEventHeader && item.length == 3) {
      size_t at = static_cast<size_t>(item.offset);
      program.blocks.push_back({program.code[at + 1], program.code[at + 2], item.offset + 3});
    }
  }
  // The outputs the script switches, by the names it uses for them.
  for (const DecodedItem& item : disassembly.items) {
    size_t at = static_cast<size_t>(item.offset);
    if (item.kind == DecodedItem::Kind::kEventHeader || item.length != 3 ||
        at + 2 >= program.code.size()) {
      continue;
    }
    int opcode = program.code[at];
    if (opcode != static_cast<int>(Op::kOutputOn) && opcode != static_cast<int>(Op::kOutputOff) &&
        opcode != static_cast<int>(Op::kOutputInvert)) {
      continue;
    }
    auto text = program.line_texts.find(program.bytes[at].line);
    if (text != program.line_texts.end()) {
      AddOutputNames(text->second, program.code[at + 1], program.code[at + 2],
                     program.output_names);
    }
  }
  for (const C_mark& mark : compilation.symbols.marks.records()) {
    program.mark_texts.emplace(mark.id, mark.text);
  }
  for (const C_parameter& parameter : compilation.symbols.parameters.records()) {
    program.parameters.emplace(parameter.id, parameter.value);
  }
  for (const C_Module& module : compilation.symbols.modules.records()) {
    program.strike_times.emplace(module.id, std::max<int>(module.StrikeTime, kMinStrikeTime));
  }
  return program;
}

std::string ModuleName(const Program& program, int module) {
  auto it = program.names.modules.find(module);
  return it != program.names.modules.end() ? it->second : "module " + std::to_string(module);
}

std::string EventLabel(const Program& program, int module, int event) {
  return ModuleName(program, module) + "." + EventName(module, event);
}

}  // namespace vigil::sim
