// What the compiler read: a token for every word it took, with its kind and
// exact byte span, and the EVENT/IF/ELSE structure of the statement pass.
// Every front end that needs the script's words (uses, rename, colouring,
// folding, outline, completion) reads these instead of reading the script
// again.
#ifndef VIGIL_CORE_COMPILE_TOKENS_H_
#define VIGIL_CORE_COMPILE_TOKENS_H_

#include <cstdint>
#include <string_view>

#include "core/lang/diagnostics.h"

namespace vigil {

enum class TokenKind : uint8_t {
  kKeyword,    // declaration and block words: MODULE, DEFINE, EVENT, IF, NOT...
  kModule,     // a declared module (hyphenated names whole)
  kElement,    // an element of a module: RELAY1, BEEP, ARMED
  kEvent,      // the event of an EVENT line: the VALID of FRONT.VALID
  kPartition,  // a declared partition
  kMark,       // a declared archive mark
  kRegister,   // a declared register
  kTimer,      // a declared timer
  kParameter,  // a declared parameter
  kCommand,    // an instruction's word: DOOR, MARK, DELAY, INVERT...
  kCondition,  // a condition's word: TIMEPLAN, GROUP, FLAGS...
  kNumber,     // a decimal or "&H" number
  kText,       // an archive mark's text
  kValue,      // ON, OFF, flag and system key names
  kComment,    // a line that starts with ";"
};

// "module", "element", ... for every kind.
std::string_view TokenKindName(TokenKind kind);

// True for the kinds that name a declared name.
inline bool NamesSymbol(TokenKind kind) {
  return kind == TokenKind::kModule || kind == TokenKind::kPartition || kind == TokenKind::kMark ||
         kind == TokenKind::kRegister || kind == TokenKind::kTimer || kind == TokenKind::kParameter;
}

struct Token {
  int32_t line = 0;     // physical line, 1-based
  Span span;            // bytes of the line
  int32_t symbol = -1;  // the declared name's index in Compilation::declarations, or -1
  TokenKind kind = TokenKind::kKeyword;
  bool declares = false;  // the name's declaration, not a use
};

// An EVENT block or an IF block of the statement pass. A block the script
// never closes has last_line 0.
struct Block {
  enum class Kind : uint8_t { kEvent, kIf };
  Kind kind = Kind::kEvent;
  int first_line = 0;  // the EVENT or IF line
  int else_line = 0;   // an IF's ELSE, 0 when none
  int last_line = 0;   // the EVENTEND or ENDIF line
  int parent = -1;     // index of the enclosing block, -1 at the top
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_TOKENS_H_
