// Event blocks and the IF/ELSE/ENDIF frame with its forward jumps.
//
// An IF appends 81, its condition term and an empty jump field, and records
// the field's position for its nesting level. ELSE appends 82 and its own
// field and fills the IF's; ENDIF fills the open field of its level.

#include "core/compile/compiler.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"

namespace vigil {

void C_Compiler::CompileEvent(std::string_view rest) {
  std::string_view word = TakeWord(rest);
  current_event_name_.assign(word);
  current_event_module_ = ResolveModule(word);
  WriteEventHeader(word);
  if (open_events_ > 0) ReportError(Err::kEventInsideEvent, word);
  if (record_tokens_) OpenBlock(Block::Kind::kEvent);
  ++open_events_;
  event_line_ = display_line_->physical_line;
}

void C_Compiler::WriteEventHeader(std::string_view word) {
  int module = ResolveModule(word);
  int event = GetEventCode(word);
  if (!CodeBuffer::AllBytes({module, event})) return ReportError(Err::kUnknownModule, word);
  code_.Append({kEventMarker, module, event});
}

void C_Compiler::CompileEventEnd() {
  if (if_level_ >= 1) return ReportError(Err::kMissingEndIf);
  if (current_event_module_ == -1) ReportError(Err::kUnknownCommand);
  if (open_events_ == 0) ReportError(Err::kMissingEvent);
  if (record_tokens_) CloseBlock(Block::Kind::kEvent);
  --open_events_;
  current_event_module_ = -1;
}

void C_Compiler::CompileIf(std::string_view rest) {
  if (if_level_ >= kMaxIfLevel) return ReportError(Err::kValueNotAByte);
  int level = ++if_level_;
  block_flags_[static_cast<size_t>(level)] = 0;
  // Whether an older IF of this level failed no longer matters: an ELSE or
  // ENDIF that this line hands back to follows the plain rules.
  block_stale_[static_cast<size_t>(level)] = false;
  if_lines_[static_cast<size_t>(level)] = display_line_->physical_line;
  if (record_tokens_) OpenBlock(Block::Kind::kIf);
  code_.Append({static_cast<int>(Op::kIf)});

  int errors_before = count_errors_;
  int32_t target_before = block_targets_[static_cast<size_t>(level)];
  bool handed_back = CompileCondition(rest);
  if (handed_back) CompileStatement(rest);
  // An IF that failed with an error leaves its level pointing at an older
  // block; its ELSE or ENDIF must not rewrite that block's field.
  if (block_targets_[static_cast<size_t>(level)] == target_before) {
    block_stale_[static_cast<size_t>(level)] = count_errors_ > errors_before;
    if (handed_back && count_errors_ == errors_before) {
      untested_ifs_.push_back({display_line_->physical_line, 0, 0});
    }
  }
}

void C_Compiler::CompileElse() {
  size_t level = static_cast<size_t>(if_level_);
  if (block_flags_[level] > 0) return ReportError(Err::kSecondElse);
  if (block_targets_[level] < 2) return ReportError(Err::kElseWithoutIf);
  ++block_flags_[level];
  if (record_tokens_) MarkElse();
  code_.Append({static_cast<int>(Op::kElse), 0, 0});
  PatchBlockTarget(if_level_);
  RecordBlockTarget(if_level_);
}

void C_Compiler::CompileEndIf() {
  size_t level = static_cast<size_t>(if_level_);
  if (block_targets_[level] < 2) return ReportError(Err::kMissingIf);
  block_flags_[level] = 0;
  if (record_tokens_) CloseBlock(Block::Kind::kIf);
  PatchBlockTarget(if_level_);
  --if_level_;
}

void C_Compiler::RecordBlockTarget(int level) {
  block_targets_[static_cast<size_t>(level)] = code_.size() - 1;
  block_stale_[static_cast<size_t>(level)] = false;
  target_lines_[static_cast<size_t>(level)] = if_lines_[static_cast<size_t>(level)];
}

void C_Compiler::PatchBlockTarget(int level) {
  if (block_stale_[static_cast<size_t>(level)]) return;
  int if_line = if_lines_[static_cast<size_t>(level)];
  int owner = target_lines_[static_cast<size_t>(level)];
  if (owner != if_line && !untested_ifs_.empty() && untested_ifs_.back().line == if_line &&
      untested_ifs_.back().patch_line == 0) {
    untested_ifs_.back() = {if_line, display_line_->physical_line, owner};
  }
  if (!code_.PatchJump(block_targets_[static_cast<size_t>(level)]))
    ReportError(Err::kValueNotAByte);
}

}  // namespace vigil
