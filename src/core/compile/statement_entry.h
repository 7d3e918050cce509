// One statement, condition or event word compiled against the declarations
// of a script already compiled, without compiling the script again:
//
//   Compilation script = Compile(bytes);
//   StatementEntry entry(script);                    // the symbols, once
//   EventRead event = entry.Event("FRONT.VALID");    // the EVENT line's word
//   ConditionRead test = entry.Condition(event.module, "FRONT.VALID", "CARS > 2");
//   StatementCode code = entry.Statement(event.module, "FRONT.VALID", "MARK(DENIED)");
//
// Each text is read as the statement pass reads a line of the script in that
// event's block: the same word check, the same code, the same errors. The
// diagnostics' spans are byte columns of the text given (0-based), and their
// physical line is 1; their text views are empty.
#ifndef VIGIL_CORE_COMPILE_STATEMENT_ENTRY_H_
#define VIGIL_CORE_COMPILE_STATEMENT_ENTRY_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"
#include "core/lang/diagnostics.h"

namespace vigil {

class C_Compiler;

struct EventRead {
  int module = -1;  // -1 when the word names no module
  int event = 0;
  std::vector<Diagnostic> diagnostics;
  bool ok() const { return diagnostics.empty() && module >= 0; }
};

struct StatementCode {
  std::vector<uint8_t> code;  // what the line appends to the event's block
  std::vector<Diagnostic> diagnostics;
  bool ok() const { return diagnostics.empty(); }
};

struct ConditionRead {
  // The term IF tests: its opcode (the inverted form for NOT or OFF) and
  // operands. Valid when ok().
  int opcode = 0;
  int a = 0;
  int b = 0;
  // False when the text compiled as a statement, not a test.
  bool is_test = false;
  std::vector<Diagnostic> diagnostics;
  bool ok() const { return diagnostics.empty() && is_test; }
};

class StatementEntry {
 public:
  // Copies the symbols of `compilation`, not its script.
  explicit StatementEntry(const Compilation& compilation);
  ~StatementEntry();
  StatementEntry(const StatementEntry&) = delete;
  StatementEntry& operator=(const StatementEntry&) = delete;

  // The word after EVENT: "FRONT.VALID", "PANEL.USEREVENT3".
  EventRead Event(std::string_view text);
  // `text` inside the block of `event_word` (an event word that Event read,
  // whose module is `module`).
  StatementCode Statement(int module, std::string_view event_word, std::string_view text);
  // `text` as what follows IF in that block.
  ConditionRead Condition(int module, std::string_view event_word, std::string_view text);

 private:
  // Makes `text` the one line of the compiler, inside an open block of
  // `event_word` when `module` >= 0, with no error, code or IF left from
  // an earlier call.
  void Begin(int module, std::string_view event_word, std::string_view text);
  std::vector<Diagnostic> TakeDiagnostics();

  std::unique_ptr<C_Compiler> compiler_;
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_STATEMENT_ENTRY_H_
