#include "core/decode/disassembler.h"

#include <algorithm>
#include <array>

#include "core/decode/code_names.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"

namespace vigil {
namespace {

constexpr int Code(Op op) { return static_cast<int>(op); }

constexpr int kElseLength = 3;
constexpr int kHeaderLength = 3;
constexpr int kBytesPerLine = 6;

// `value` as `digits` upper-case hexadecimal digits at least, zeros in front.
std::string HexDigits(unsigned value, size_t digits) {
  std::string text;
  for (; value != 0 || text.size() < digits; value >>= 4) {
    text.insert(text.begin(), "0123456789ABCDEF"[value & 0xF]);
  }
  return text;
}

// A byte as two hexadecimal digits.
std::string Hex(int byte) { return HexDigits(static_cast<unsigned>(byte) & 0xFF, 2); }

struct Slot {
  int byte = 0;  // 1-based operand byte
  char kind = 0;
  std::string_view fixed;  // the element name of an "=" slot
  size_t end = 0;          // index after the closing "}"
};

// The slot that starts at `text[start]` ("{"); nullopt when it is malformed.
std::optional<Slot> ParseSlot(std::string_view text, size_t start) {
  size_t close = text.find('}', start);
  if (close == std::string_view::npos || close < start + 3) return std::nullopt;
  char digit = text[start + 1];
  if (digit < '1' || digit > '9') return std::nullopt;
  Slot slot{digit - '0', text[start + 2], {}, close + 1};
  if (slot.kind == '=') slot.fixed = text.substr(start + 3, close - start - 3);
  return slot;
}

DecodedItem Item(DecodedItem::Kind kind, int offset, int length) {
  DecodedItem item;
  item.kind = kind;
  item.offset = offset;
  item.length = length;
  return item;
}

// Decoding of the whole buffer.
class Decoder {
 public:
  Decoder(std::span<const uint8_t> code, const SiteNames& names) : code_(code), names_(names) {}
  Disassembly Run();

 private:
  struct Jump {
    size_t item;
    int target;
  };

  void DecodeInstruction(int pos, int length, const OpcodeInfo& info);
  // `text` with its slots filled from the operand bytes starting at
  // `operands`; `letters` are the operand letters of the opcode table.
  std::string Fill(std::string_view text, std::string_view letters, int operands, int end,
                   std::string* problem);
  std::string Condition(int pos, std::string* problem);
  std::string SlotText(const Slot& slot, int value, int element_module, int operands, int end);
  // DOOR is three instructions: 50 m, then 32 m 0 and 36 e 0.
  bool IsDoorStep(int code, int pos) const {
    bool next_step = (door_step_ == 1 && code == Code(Op::kOutputOff)) ||
                     (door_step_ == 2 && code == Code(Op::kBeepOff));
    return next_step && Byte(pos + 2) == 0;
  }
  void CheckJumps();
  void SetDepths();
  void Problem(int offset, std::string message, DecodedItem* item = nullptr) {
    if (item != nullptr && item->problem.empty()) item->problem = message;
    out_.problems.push_back({offset, std::move(message)});
  }
  int Byte(int pos) const { return code_[static_cast<size_t>(pos)]; }
  int Size() const { return static_cast<int>(code_.size()); }
  void AddUndecoded(int from, int to, std::string problem);

  std::span<const uint8_t> code_;
  const SiteNames& names_;
  Disassembly out_;
  std::vector<Jump> jumps_;
  int trailer_ = 0;    // where the trailer starts (the end when there is none)
  int door_step_ = 0;  // instructions of a DOOR seen so far
};

Disassembly Decoder::Run() {
  int size = Size();
  bool has_trailer = size >= kHeaderLength && Byte(size - 1) == kEventMarker &&
                     Byte(size - 2) == kEventMarker && Byte(size - 3) == kEventMarker;
  trailer_ = has_trailer ? size - kHeaderLength : size;
  bool in_event = false;
  bool outside_reported = false;
  int pos = 0;
  while (pos < trailer_) {
    int byte = Byte(pos);
    if (byte == kEventMarker) {
      if (pos + kHeaderLength > trailer_) {
        AddUndecoded(pos, trailer_, "the event header is cut short");
        break;
      }
      int module = Byte(pos + 1);
      DecodedItem item = Item(DecodedItem::Kind::kEventHeader, pos, kHeaderLength);
      item.opcode = kEventMarker;
      item.meaning =
          "EVENT " + ModuleDescription(module, names_) + " " + EventName(module, Byte(pos + 2));
      out_.items.push_back(std::move(item));
      door_step_ = 0;
      in_event = true;
      pos += kHeaderLength;
      continue;
    }
    std::optional<OpcodeInfo> info = InstructionInfo(byte);
    if (!info) {
      int next = pos + 1;
      while (next < trailer_ && Byte(next) != kEventMarker) ++next;
      AddUndecoded(pos, next,
                   "unknown opcode " + Hex(byte) + "; decoding resumes at the next event header");
      pos = next;
      continue;
    }
    int length = InstructionLength(*info);
    if (pos + length > trailer_) {
      AddUndecoded(pos, trailer_,
                   "instruction " + Hex(byte) + " (" + std::string(info->name) + ") needs " +
                       std::to_string(length) + " bytes, only " + std::to_string(trailer_ - pos) +
                       " are left before " + (has_trailer ? "the trailer" : "the end of the code"));
      break;
    }
    if (!in_event && !outside_reported) {
      outside_reported = true;
      Problem(pos,
              "instruction outside any event block: the code must start with an event "
              "header");
    }
    DecodeInstruction(pos, length, *info);
    pos += length;
  }
  if (has_trailer) {
    DecodedItem item = Item(DecodedItem::Kind::kTrailer, trailer_, kHeaderLength);
    item.meaning = "end of code (trailer)";
    out_.items.push_back(std::move(item));
  } else {
    Problem(size, "the code does not end with the trailer FF FF FF");
  }
  CheckJumps();
  SetDepths();
  std::stable_sort(out_.problems.begin(), out_.problems.end(),
                   [](const CodeProblem& a, const CodeProblem& b) { return a.offset < b.offset; });
  return std::move(out_);
}

void Decoder::AddUndecoded(int from, int to, std::string problem) {
  DecodedItem item = Item(DecodedItem::Kind::kUndecoded, from, to - from);
  item.meaning = "(not decoded)";
  out_.items.push_back(std::move(item));
  Problem(from, std::move(problem), &out_.items.back());
}

void Decoder::DecodeInstruction(int pos, int length, const OpcodeInfo& info) {
  DecodedItem item = Item(DecodedItem::Kind::kInstruction, pos, length);
  item.opcode = info.code;
  std::optional<std::string_view> display = InstructionDisplay(info.code);
  std::string problem;
  item.meaning = display ? Fill(*display, info.operands, pos + 1, pos + length, &problem)
                         : std::string(info.form);
  if (IsDoorStep(info.code, pos)) {
    item.meaning += "  (part of DOOR)";
    ++door_step_;
  } else {
    door_step_ = info.code == Code(Op::kDoorOpen) ? 1 : 0;
  }
  out_.items.push_back(std::move(item));
  if (!problem.empty()) Problem(pos, problem, &out_.items.back());
}

std::string Decoder::Fill(std::string_view text, std::string_view letters, int operands, int end,
                          std::string* problem) {
  // The module whose elements the element slots name.
  int element_module = -1;
  int position = 0;
  for (char letter : letters) {
    if (letter == 'm' && element_module == -1) element_module = Byte(operands + position);
    if (letter == 's' && element_module == -1) {
      element_module = kFirstSupplyId + Byte(operands + position);
    }
    position += letter == 'c' ? 3 : letter == 'j' ? 2 : 1;
  }
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    std::optional<Slot> slot = text[i] == '{' ? ParseSlot(text, i) : std::nullopt;
    if (!slot) {
      result += text[i++];
      continue;
    }
    int at = operands + slot->byte - 1;
    if (slot->kind == 'c') {
      result += Condition(at, problem);
    } else {
      result += SlotText(*slot, Byte(at), element_module, at, end);
    }
    i = slot->end;
  }
  return result;
}

std::string Decoder::Condition(int pos, std::string* problem) {
  int code = Byte(pos);
  std::optional<OpcodeInfo> info = ConditionInfo(code);
  std::optional<std::string_view> display = info ? ConditionDisplay(info->code) : std::nullopt;
  if (!info || !display) {
    if (problem->empty()) *problem = "unknown condition " + Hex(code);
    return "condition " + Hex(code);
  }
  std::string text = code >= kInverted ? "NOT " : "";
  return text + Fill(*display, info->operands, pos + 1, pos + 3, problem);
}

std::string Decoder::SlotText(const Slot& slot, int value, int element_module, int at, int end) {
  switch (slot.kind) {
    case 'm':
      return ModuleLabel(value, names_);
    case 'S':
      return ModuleLabel(kFirstSupplyId + value, names_);
    case 'o':
      return ElementName(ElementFamily::kOutput, element_module, value);
    case 'i':
      return ElementName(ElementFamily::kInput, element_module, value);
    case 'x':
      return ElementName(ElementFamily::kAny, element_module, value);
    case 's':
      return ElementName(ElementFamily::kPartitionState, element_module, value);
    case '=': {
      std::string name(slot.fixed);
      if (EventCode(name) != value) name += " (element " + std::to_string(value) + ")";
      return name;
    }
    case 'n':
      return std::to_string(value);
    case 'r':
      return IdLabel("register", value, names_.registers);
    case 't':
      return IdLabel("timer", value, names_.timers);
    case 'p':
      return IdLabel("parameter", value, names_.parameters);
    case 'a':
      return IdLabel("mark", value, names_.marks);
    case 'k':
      return SystemKeyName(value);
    case 'u':
      return ExecuteNumber(value);
    case 'I':
      return std::to_string(value + 1);
    case 'd':
      return DisplayNumber(value);
    case 'f':
      return SystemFlagName(value);
    case 'F':
      return SupplyFlagName(value);
    case 'j': {
      int target = end + value + 256 * Byte(at + 1);
      // The item is added once its text is complete: it gets the next index.
      jumps_.push_back({out_.items.size(), target});
      return HexOffset(target);
    }
    default:
      return "?";
  }
}

void Decoder::CheckJumps() {
  std::vector<int> starts;
  for (const DecodedItem& item : out_.items) {
    if (item.kind != DecodedItem::Kind::kUndecoded) starts.push_back(item.offset);
  }
  for (const Jump& jump : jumps_) {
    DecodedItem& item = out_.items[jump.item];
    item.jump_target = jump.target;
    if (jump.target >= Size()) {
      Problem(item.offset,
              "the jump to " + HexOffset(jump.target) + " lies past the end of the code (" +
                  HexOffset(Size()) + ")",
              &item);
      continue;
    }
    if (std::binary_search(starts.begin(), starts.end(), jump.target)) continue;
    auto inside = std::find_if(out_.items.rbegin(), out_.items.rend(),
                               [&](const DecodedItem& i) { return i.offset < jump.target; });
    std::string where = inside->kind == DecodedItem::Kind::kUndecoded
                            ? "into bytes that are not decoded at "
                            : "inside the instruction at ";
    Problem(item.offset,
            "the jump to " + HexOffset(jump.target) + " lands " + where + HexOffset(inside->offset),
            &item);
  }
}

// Indentation by IF blocks: an IF opens a block up to its jump target; an
// ELSE at the end of that block continues it up to its own target.
void Decoder::SetDepths() {
  std::vector<int> ends;
  for (DecodedItem& item : out_.items) {
    if (item.kind != DecodedItem::Kind::kInstruction) {
      ends.clear();
      continue;
    }
    while (!ends.empty() && ends.back() <= item.offset) ends.pop_back();
    item.depth = static_cast<int>(ends.size());
    bool valid = item.problem.empty() && item.jump_target > item.offset;
    if (item.opcode == Code(Op::kIf) && valid) {
      ends.push_back(item.jump_target);
    } else if (item.opcode == Code(Op::kElse) && !ends.empty() &&
               ends.back() == item.offset + kElseLength) {
      item.depth -= 1;
      if (valid) {
        ends.back() = item.jump_target;
      } else {
        ends.pop_back();
      }
    }
  }
}

}  // namespace

Disassembly Disassemble(std::span<const uint8_t> code, const SiteNames& names) {
  return Decoder(code, names).Run();
}

std::string HexOffset(int offset) { return HexDigits(static_cast<unsigned>(offset), 4); }

std::string FormatItem(const DecodedItem& item, std::span<const uint8_t> code) {
  std::string text;
  int indent = item.kind == DecodedItem::Kind::kInstruction ? 2 + 2 * item.depth : 0;
  for (int line = 0; line == 0 || line * kBytesPerLine < item.length; ++line) {
    int from = item.offset + line * kBytesPerLine;
    int to = std::min(item.offset + item.length, from + kBytesPerLine);
    text += HexOffset(from) + "  ";
    std::string bytes;
    for (int i = from; i < to; ++i) bytes += Hex(code[static_cast<size_t>(i)]) + " ";
    bytes.resize(kBytesPerLine * 3, ' ');
    text += bytes;
    if (line == 0) text += " " + std::string(static_cast<size_t>(indent), ' ') + item.meaning;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    text += "\n";
  }
  if (!item.problem.empty()) text += "      ** " + item.problem + "\n";
  return text;
}

std::optional<std::string_view> InstructionDisplay(int code) {
  std::optional<OpcodeInfo> info = InstructionInfo(code);
  if (!info) return std::nullopt;
  return info->display;
}

std::optional<std::string_view> ConditionDisplay(int code) {
  std::optional<OpcodeInfo> info = ConditionInfo(code);
  if (!info) return std::nullopt;
  return info->display;
}

char OperandLetterOfSlot(char slot_kind) {
  switch (slot_kind) {
    case 'o':
    case 'i':
    case 'x':
    case 's':
    case '=':
      return 'e';
    case 'I':
      return 'i';
    case 'F':
      return 'f';
    case 'S':
      return 's';
    default:
      return slot_kind;
  }
}

}  // namespace vigil
