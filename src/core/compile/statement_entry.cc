#include "core/compile/statement_entry.h"

#include "core/compile/compiler.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr size_t kEventHeaderLength = 3;  // FF module event
constexpr size_t kIfLength = 6;           // IF, the term, the jump field

}  // namespace

StatementEntry::StatementEntry(const Compilation& compilation)
    : compiler_(std::make_unique<C_Compiler>()) {
  compiler_->symbols_ = compilation.symbols;
}

StatementEntry::~StatementEntry() = default;

void StatementEntry::Begin(int module, std::string_view event_word, std::string_view text) {
  C_Compiler& c = *compiler_;
  c.set_source(std::string(text));
  c.lines_.assign(1, SourceLine{*c.source_, 1});
  c.errors_ = ErrorList();
  c.count_errors_ = 0;
  c.count_lines_ = 1;
  c.code_.Clear();
  c.if_level_ = 0;
  c.block_targets_ = {};
  c.block_flags_ = {};
  c.block_stale_ = {};
  c.if_lines_ = {};
  c.target_lines_ = {};
  c.untested_ifs_.clear();
  c.current_event_module_ = module;
  c.current_event_name_.assign(event_word);
  c.open_events_ = module >= 0 ? 1 : 0;
  c.event_line_ = 0;
  c.SetWorkingLine(c.lines_.front(), /*statement_pass=*/true);
}

std::vector<Diagnostic> StatementEntry::TakeDiagnostics() {
  std::vector<Diagnostic> diagnostics = compiler_->errors_.MakeAll(compiler_->lines_);
  // The texts view a line the next call replaces.
  for (Diagnostic& diagnostic : diagnostics) {
    diagnostic.error_file_text = {};
    diagnostic.source_text = {};
  }
  return diagnostics;
}

EventRead StatementEntry::Event(std::string_view text) {
  Begin(-1, "", text);
  C_Compiler& c = *compiler_;
  EventRead read;
  if (c.CheckWords()) {
    std::string_view rest = c.work_;
    c.WriteEventHeader(TakeWord(rest));
  }
  const std::vector<uint8_t>& code = c.code_.bytes();
  if (code.size() == kEventHeaderLength) {
    read.module = code[1];
    read.event = code[2];
  }
  read.diagnostics = TakeDiagnostics();
  return read;
}

StatementCode StatementEntry::Statement(int module, std::string_view event_word,
                                        std::string_view text) {
  Begin(module, event_word, text);
  C_Compiler& c = *compiler_;
  if (c.CheckWords()) {
    std::string_view rest = c.work_;
    WordAt first = PeekWord(rest);
    if (first.word == "INVERT") {
      c.CompileInvert(rest.substr(first.cut));
    } else {
      c.CompileStatement(rest);
    }
  }
  return {c.code_.bytes(), TakeDiagnostics()};
}

ConditionRead StatementEntry::Condition(int module, std::string_view event_word,
                                        std::string_view text) {
  Begin(module, event_word, text);
  C_Compiler& c = *compiler_;
  ConditionRead read;
  if (c.CheckWords()) c.CompileIf(c.work_);
  const std::vector<uint8_t>& code = c.code_.bytes();
  read.is_test = c.untested_ifs_.empty() && code.size() == kIfLength &&
                 code[0] == static_cast<int>(Op::kIf) && ConditionInfo(code[1]).has_value();
  if (read.is_test) {
    read.opcode = code[1];
    read.a = code[2];
    read.b = code[3];
  }
  read.diagnostics = TakeDiagnostics();
  return read;
}

}  // namespace vigil
