// The result of compiling one script, as a value: what every front end reads.
//
//   Compilation result = Compile(script_bytes);
//
// holds the script's lines, the declared names with where they are declared
// and used, the code buffer with the code of each line, the errors, the
// settings table and the controller records. It owns the script; the views
// it hands out stay valid for as long as the value lives, moves and copies
// included.
#ifndef VIGIL_CORE_COMPILE_COMPILATION_H_
#define VIGIL_CORE_COMPILE_COMPILATION_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/compile/error_records.h"
#include "core/compile/source_lines.h"
#include "core/compile/symbol_table.h"
#include "core/compile/tokens.h"
#include "core/lang/diagnostics.h"

namespace vigil {

// What the statement pass left open at the end of the script.
struct OpenBlocks {
  std::vector<int> if_lines;  // physical lines of the IFs still open, outermost first
  int event_line = 0;         // the EVENT still open, 0 when none
  std::vector<UntestedIf> untested_ifs;
};

// The settings records of the download file.
struct ControllerRecords {
  std::vector<std::string> parameter_records;
  std::vector<std::string> module_records;
  std::string partition_tree;
};

struct Compilation {
  std::shared_ptr<const std::string> source;  // the script's bytes, as given
  std::vector<SourceLine> lines;              // views into *source
  SymbolTable symbols;                        // the records, after the download file's rules
  std::vector<Symbol> declarations;           // in the order of the script
  std::vector<uint8_t> code;                  // the code buffer, trailer included
  std::vector<LineCode> line_code;            // the code of each line that appended some
  ErrorList errors;                           // in the order reported: ErrorAt
  std::vector<std::string> settings_table;    // the settings table file's lines
  ControllerRecords records;
  OpenBlocks open_blocks;
  std::vector<IgnoredDeclaration> ignored_declarations;  // lines that set nothing
  // What the compiler read (CompileOptions::record_tokens): every word it
  // took, in line and column order, and the EVENT and IF blocks, in the order
  // they open. Symbol::uses are the tokens that name a declared name.
  std::vector<Token> tokens;
  std::vector<Block> blocks;
  bool uses_indexed = false;  // tokens, blocks and Symbol::uses filled in
  int counted_lines = 0;      // the listing's "Lines"
  int error_count = 0;

  // Error `index` as a Diagnostic (without notes; core/check/notes.h).
  Diagnostic ErrorAt(size_t index) const { return errors.Make(index, lines); }
  // Every error as a Diagnostic: for scripts a person reads, not millions.
  std::vector<Diagnostic> Diagnostics() const { return errors.MakeAll(lines); }

  // The line with physical number `line`, or nullptr (a line that held a
  // lone LF has no entry of its own).
  const SourceLine* Line(int line) const;
  // The declared name `name` (any case), or nullptr.
  const Symbol* FindSymbol(std::string_view name) const;
  // The declared name at `site`'s line and byte column, or nullptr.
  const Symbol* SymbolAt(int line, int column) const;
  // The token that covers byte `column` of physical line `line` (its end
  // included, so a cursor just after a word finds it), or nullptr.
  const Token* TokenAt(int line, int column) const;
  // The tokens of physical lines first..last, as a range of `tokens`.
  std::span<const Token> TokensOnLines(int first, int last) const;
};

struct CompileOptions {
  // Keep the token record, the blocks and the uses of each declared name.
  // The four files do not need them; the warnings, the language server and
  // renaming do.
  bool record_tokens = true;
};

// Takes the script's bytes: pass an rvalue to spare a copy of a large script.
Compilation Compile(std::string script, CompileOptions options = {});

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_COMPILATION_H_
