#include "core/check/cascades.h"

#include <string>

#include "core/lang/errors.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

std::string FirstWord(const Diagnostic& error) {
  std::string_view rest = error.source_text;
  return ToUpper(TakeWord(rest));
}

bool IsBlockError(const Diagnostic& error) {
  switch (static_cast<Err>(error.number)) {
    case Err::kMissingEndIf:
    case Err::kMissingIf:
    case Err::kUnreachableCode:
    case Err::kEventInsideEvent:
    case Err::kSecondElse:
    case Err::kElseWithoutIf:
    case Err::kMissingEvent:
      return true;
    case Err::kUnknownCommand:
      // Without a word to point at: a statement outside any event.
      return !error.span.known() || FirstWord(error) == "EVENTEND";
    default:
      return false;
  }
}

bool IsFailedEvent(const Diagnostic& error) {
  Err number = static_cast<Err>(error.number);
  return FirstWord(error) == "EVENT" &&
         (number == Err::kUnknownCommand || number == Err::kUnknownModule ||
          number == Err::kUnknownDevice);
}

}  // namespace

bool Cascade::Follows(size_t index, const Diagnostic& error) const {
  return cause != kNoCause && index > cause && IsBlockError(error);
}

Cascade FindCascade(const Compilation& compilation) {
  Cascade cascade;
  for (size_t i = 0; i < compilation.errors.size(); ++i) {
    Diagnostic error = compilation.ErrorAt(i);
    if (cascade.Follows(i, error)) {
      ++cascade.caused;
    } else if (cascade.cause == kNoCause && (IsBlockError(error) || IsFailedEvent(error))) {
      cascade.cause = i;
    }
  }
  return cascade;
}

std::string CascadeNote(int caused) {
  return "and " + std::to_string(caused) + (caused == 1 ? " more error" : " more errors") +
         " caused by this (vigil check --all shows them)";
}

}  // namespace vigil
