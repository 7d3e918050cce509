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

std::vector<size_t> CascadeCauses(std::span<const Diagnostic> errors) {
  std::vector<size_t> causes(errors.size(), kNoCause);
  size_t cause = kNoCause;
  for (size_t i = 0; i < errors.size(); ++i) {
    const Diagnostic& error = errors[i];
    if (error.severity != Severity::kError) continue;
    bool block = IsBlockError(error);
    if (cause != kNoCause && block) {
      causes[i] = cause;
    } else if (cause == kNoCause && (block || IsFailedEvent(error))) {
      cause = i;
    }
  }
  return causes;
}

std::string CascadeNote(int caused) {
  return "and " + std::to_string(caused) + (caused == 1 ? " more error" : " more errors") +
         " caused by this (vigil check --all shows them)";
}

std::vector<Diagnostic> FoldCascades(std::vector<Diagnostic> errors) {
  std::vector<size_t> causes = CascadeCauses(errors);
  std::vector<int> caused(errors.size(), 0);
  for (size_t cause : causes) {
    if (cause != kNoCause) ++caused[cause];
  }
  std::vector<Diagnostic> kept;
  for (size_t i = 0; i < errors.size(); ++i) {
    if (causes[i] != kNoCause) continue;
    if (caused[i] > 0) {
      errors[i].notes.push_back(CascadeNote(caused[i]));
    }
    kept.push_back(std::move(errors[i]));
  }
  return kept;
}

}  // namespace vigil
