// Reading the code buffer back: one line per event header and per
// instruction, with its meaning in the script's own terms. The instruction
// lengths and operand kinds come from the opcode table the code generator
// emits through, so the two read the same bytes the same way.
#ifndef VIGIL_CORE_DECODE_DISASSEMBLER_H_
#define VIGIL_CORE_DECODE_DISASSEMBLER_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/decode/code_names.h"
#include "core/formats/download_reader.h"

namespace vigil {

struct DecodedItem {
  enum class Kind { kEventHeader, kInstruction, kTrailer, kUndecoded };
  Kind kind = Kind::kInstruction;
  int offset = 0;
  int length = 0;
  int depth = 0;         // open IF blocks around it
  int opcode = -1;       // the instruction's code; FF for an event header
  int jump_target = -1;  // where an IF or ELSE jumps to
  std::string meaning;
  std::string problem;  // empty when the item is sound
};

struct CodeProblem {
  int offset = 0;
  std::string message;
};

struct Disassembly {
  std::vector<DecodedItem> items;
  std::vector<CodeProblem> problems;  // in the order of the code
};

// Decodes the whole code buffer. After an unknown opcode or a cut-short
// instruction it starts again at the next event header (the next FF).
Disassembly Disassemble(std::span<const uint8_t> code, const SiteNames& names);

// "0012  51 81 03 01 08 00    IF NOT ..." (offsets and bytes in hexadecimal);
// long undecoded runs take several lines. Every line ends in "\n".
std::string FormatItem(const DecodedItem& item, std::span<const uint8_t> code);
std::string HexOffset(int offset);

// How an instruction or a condition term is shown: the text with one
// "{<byte><kind>}" slot per operand byte (see disassembler.cc); nullopt for a
// code without one.
std::optional<std::string_view> InstructionDisplay(int code);
std::optional<std::string_view> ConditionDisplay(int code);
// The operand letter of the opcode table that a display slot kind stands for.
char OperandLetterOfSlot(char slot_kind);

}  // namespace vigil

#endif  // VIGIL_CORE_DECODE_DISASSEMBLER_H_
