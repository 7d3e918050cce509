#include "core/lang/errors.h"

#include <array>

namespace vigil {
namespace {

constexpr std::string_view kInternal2 = "Internal error (2)";

#define VIGIL_ERROR_INFO(name, number, text) ProblemInfo{Severity::kError, number, text},
#define VIGIL_WARNING_INFO(name, number, text) ProblemInfo{Severity::kWarning, number, text},
constexpr std::array kErrors = {VIGIL_ERRORS(VIGIL_ERROR_INFO)};
constexpr std::array kWarnings = {VIGIL_WARNINGS(VIGIL_WARNING_INFO)};
#undef VIGIL_ERROR_INFO
#undef VIGIL_WARNING_INFO

template <size_t N>
const ProblemInfo* Find(const std::array<ProblemInfo, N>& list, int number) {
  for (const ProblemInfo& info : list) {
    if (info.number == number) return &info;
  }
  return nullptr;
}

}  // namespace

std::span<const ProblemInfo> AllErrors() { return kErrors; }
std::span<const ProblemInfo> AllWarnings() { return kWarnings; }

std::string_view ErrorMessage(int number) {
  const ProblemInfo* info = Find(kErrors, number);
  return info == nullptr ? kInternal2 : info->title;
}

std::string_view WarningTitle(int number) {
  const ProblemInfo* info = Find(kWarnings, number);
  return info == nullptr ? std::string_view() : info->title;
}

std::string ProblemCode(Severity severity, int number) {
  return (severity == Severity::kError ? "E" : "W") + std::to_string(number);
}

}  // namespace vigil
