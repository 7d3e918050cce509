// C_Compiler: one run of the compiler over one script.
//
// The object takes the script's bytes, runs the declaration pass and the
// statement pass, and hands back the code buffer, the counters, the errors,
// the settings table and the controller records. It reads and writes no file;
// the driver does.
#ifndef VIGIL_CORE_COMPILE_COMPILER_H_
#define VIGIL_CORE_COMPILE_COMPILER_H_

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/compile/code_buffer.h"
#include "core/compile/error_records.h"
#include "core/compile/source_lines.h"
#include "core/compile/symbol_table.h"
#include "core/compile/tokens.h"
#include "core/lang/diagnostics.h"
#include "core/lang/limits.h"
#include "core/scan/text_hash.h"

namespace vigil {

struct Compilation;
struct CompileOptions;

// Whether empty brackets are an error (5) for GetParam.
enum class ParamMode { kStrict, kAcceptEmpty };

class C_Compiler {
 public:
  void set_source(std::string source) {
    source_ = std::make_shared<const std::string>(std::move(source));
  }
  const std::string& source() const { return *source_; }
  // Keep the token record and the block structure (tokens.h).
  void set_record_tokens(bool record) { record_tokens_ = record; }

  // Runs both passes. Call once per object.
  void Compile();

  // Results.
  const std::vector<uint8_t>& macros() const { return code_.bytes(); }
  int MacroLen() const { return code_.size(); }
  int CountLines() const { return count_lines_; }
  int CountErrors() const { return count_errors_; }
  // Every reported error, in the order of reporting.
  std::vector<Diagnostic> diagnostics() const { return errors_.MakeAll(lines_); }
  // The lines of the settings table file, without line ends.
  const std::vector<std::string>& SettingsTable() const { return settings_table_; }
  // The script's lines as both passes see them.
  const std::vector<SourceLine>& lines() const { return lines_; }
  // The IF levels still open at the end whose IF opened a block, outermost
  // first; the EVENT still open (0 when none).
  std::vector<int> UnclosedIfLines() const;
  int UnclosedEventLine() const { return open_events_ > 0 ? event_line_ : 0; }

  // Controller records for the download file.
  std::vector<std::string> DefineParameters() const;
  // Raises a door module's strike time below 2 to 2 in its record.
  std::vector<std::string> ModuleParameters();
  std::string PartitionTree() const;

  // Reads a bracketed parameter list at the head of `s`, reporting errors 3,
  // 4 and (in strict mode) 5.
  std::vector<std::string> GetParam(std::string_view s, ParamMode mode = ParamMode::kStrict);

  // Name lookups over the declarations.
  const SymbolTable& symbols() const { return symbols_; }
  bool IsModuleName(std::string_view s) const { return symbols_.modules.Contains(s); }
  bool IsRegistrName(std::string_view s) const;
  bool IsTimerName(std::string_view s) const { return symbols_.timers.Contains(s); }
  bool IsMarkName(std::string_view s) const { return symbols_.marks.Contains(s); }
  bool IsParameterName(std::string_view s) const { return symbols_.parameters.Contains(s); }
  const C_registry* GetRegister(std::string_view name) const;

 private:
  // Moves the results into the value (compilation.cc).
  friend Compilation Compile(std::string script, CompileOptions options);
  // Compiles single lines against the symbols of a compiled script
  // (statement_entry.h).
  friend class StatementEntry;

  // compiler.cc: passes, reporting, emission.
  void SplitSource();
  void ReportError(Err error, std::string_view focus = {});
  Span SpanOf(std::string_view focus) const;
  void SetWorkingLine(const SourceLine& line, bool statement_pass);
  // Appends an instruction whole, or reports error 14 and appends nothing
  // when a value does not fit a byte.
  bool Emit(std::initializer_list<int> bytes, std::string_view focus = {});
  int ResolveModule(std::string_view word);
  int GetEventCode(std::string_view name, std::string_view focus = {});
  int GetPartitionEventCode(std::string_view name, std::string_view focus = {});

  // declaration_pass.cc
  void DeclarationPass();
  void Declare(SymbolKind kind, std::string_view name, int id);
  void CollectModules();
  void CollectModule(std::string_view line);
  void CollectPartition(std::string_view line);
  void CollectParameters();
  void CollectMarks();
  void CollectRegisters(bool timers);
  void CollectDeviceSettings();
  void CollectDevice(std::string_view line);

  // token_record.cc
  void IndexDeclaredNames();
  // The index in declared_ of the name `word` spells, or -1.
  int DeclaredNameOf(std::string_view word, bool modules_only) const;
  Span SpanInLine(std::string_view part) const;
  void RecordToken(TokenKind kind, std::string_view part, int symbol = -1, bool declares = false);
  void RecordWord(std::string_view word, bool event_line, bool in_brackets);
  void RecordStatementTokens();
  void RecordDeclarationTokens();
  void RecordDeclarationLine(const SourceLine& line);
  void RecordLabel(const Symbol& symbol, int index);
  int LineIndexOf(int physical_line) const;
  void OpenBlock(Block::Kind kind);
  void MarkElse();
  void CloseBlock(Block::Kind kind);

  // line_dispatch.cc
  void CompileLine(const SourceLine& line);
  bool CheckWords();
  void CompileStatement(std::string_view rest);
  void CompileInvert(std::string_view rest);

  // blocks.cc
  void CompileEvent(std::string_view rest);
  void CompileEventEnd();
  void WriteEventHeader(std::string_view word);
  void CompileIf(std::string_view rest);
  void CompileElse();
  void CompileEndIf();
  void RecordBlockTarget(int level);
  void PatchBlockTarget(int level);

  // conditions.cc: each returns true when the line is handed back
  // to the statement stages, with `rest` holding what is left of it.
  bool CompileCondition(std::string_view& rest);
  void CompileComparison(std::string_view name, std::string_view value, bool negate);
  bool CompileGreaterThan(std::string_view name, std::string_view value, bool negate);
  bool CompileKeywordTerm(std::string_view word, std::string_view& rest, bool negate);
  bool CompileFlags(std::string_view word, std::string_view rest, bool negate);
  void CompileCounterTerm(int opcode, int id, std::string_view value, Err not_numeric_error,
                          bool negate);
  void CompileSwitchTerm(int opcode, std::string_view name, std::string_view value, bool negate);
  void EmitTerm(int opcode, bool negate, int a, int b, std::string_view focus);
  void AppendEmptyJump();

  // assignments.cc
  void CompileAssignment(std::string_view line);
  void CompileRegisterAssignment(std::string_view line, std::string_view target,
                                 std::string_view value);
  void CompileRegisterArithmetic(char sign, int opcode, const C_registry& reg,
                                 std::string_view target, std::string_view value);
  void CompileTimerAssignment(std::string_view target, std::string_view value);
  void CompilePropertyAssignment(std::string_view target, std::string_view value);
  void EmitSwitch(int opcode, std::string_view target);

  // commands.cc: each handler gets the line after its command word.
  void CompileCommand(std::string_view rest);
  void CommandSimple(std::string_view rest, int opcode);
  void CommandDelay(std::string_view rest, int opcode);
  void CommandMark(std::string_view rest, int opcode);
  void CommandDoor(std::string_view rest, int opcode);
  void CommandDial(std::string_view rest, int opcode);
  void CommandExecute(std::string_view rest, int opcode);
  void CommandSignal(std::string_view rest, int opcode);
  void CommandReadAd(std::string_view rest, int opcode);
  void CommandModePin(std::string_view rest, int opcode);
  void CommandCounter(std::string_view rest, int opcode);
  void CommandSetByte(std::string_view rest, int opcode);
  void CommandDisplay(std::string_view rest, int opcode);

  std::shared_ptr<const std::string> source_ = std::make_shared<const std::string>();
  std::vector<SourceLine> lines_;                // views into source_
  std::vector<const SourceLine*> define_lines_;  // lines whose first word is DEFINE
  std::vector<const SourceLine*> device_lines_;  // lines that start with DEVICE
  // Words and lines the word check accepted, by the element list of the
  // event's module (ElementListOf): the declarations do not change during
  // the statement pass, so neither does the answer.
  using WordSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;
  std::unordered_map<int, WordSet> known_words_;
  // The set of the module whose event the last checked line was in (node
  // pointers of the map stay valid).
  WordSet* known_words_here_ = nullptr;
  int known_words_module_ = 0;

  SymbolTable symbols_;
  std::vector<Symbol> declared_;
  CodeBuffer code_;
  ErrorList errors_;
  std::vector<std::string> settings_table_;
  std::vector<LineCode> line_code_;

  std::string current_event_name_;
  int current_event_module_ = 0;
  int count_errors_ = 0;
  int count_lines_ = 0;
  bool statement_pass_ = false;  // the error file shows the line being compiled
  const SourceLine* display_line_ = nullptr;
  std::string work_;     // the line being compiled: trimmed, upper-cased
  int work_offset_ = 0;  // where work_ starts within the source line

  std::array<int32_t, kMaxIfLevel + 1> block_targets_{};
  int if_level_ = 0;
  std::array<int16_t, kMaxIfLevel + 1> block_flags_{};
  // A level whose last IF failed with an error: its target is an old block's.
  std::array<bool, kMaxIfLevel + 1> block_stale_{};
  int open_events_ = 0;

  // For notes and warnings: the physical line of the last IF of each level,
  // of the IF whose jump field each level's target holds, and of the last
  // EVENT; and the IF lines whose condition compiled as a statement, with the
  // ELSE or ENDIF that then rewrote an earlier block's field and that block's IF.
  std::array<int, kMaxIfLevel + 1> if_lines_{};
  std::array<int, kMaxIfLevel + 1> target_lines_{};
  int event_line_ = 0;
  std::vector<UntestedIf> untested_ifs_;
  std::vector<IgnoredDeclaration> ignored_declarations_;
  int first_event_line_ = 0;  // where the declaration pass stopped reading modules
  void Ignore(IgnoredDeclaration::Why why, std::string_view part, int module = 0);

  // The token record (token_record.cc), kept when record_tokens_ is set.
  bool record_tokens_ = false;
  std::vector<Token> tokens_;
  std::vector<Block> blocks_;
  std::vector<int> open_block_stack_;  // indices into blocks_, innermost last
  // Positions in declared_ by name: modules and partitions, parameters,
  // marks, registers, timers.
  std::array<NameIndex, 5> name_positions_;
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_COMPILER_H_
