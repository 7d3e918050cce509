// What a vigil_result holds: the compilation and every text the C API hands
// out from it, made once so that the pointers stay valid until it is freed.
#ifndef VIGIL_CAPI_RESULT_H_
#define VIGIL_CAPI_RESULT_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/check/diagnostic_policy.h"
#include "core/compile/compilation.h"
#include "core/lang/diagnostics.h"

namespace vigil::capi {

// One diagnostic as the C API shows it.
struct DiagnosticView {
  Diagnostic diagnostic;
  std::string code;     // "E6", "W1"
  std::string message;  // the warning's text or the error number's message
  int line = 0;         // 0 when it has no line
  size_t begin = 0;     // the bytes it marks, as offsets into the script
  size_t end = 0;
};

struct Result {
  Compilation compilation;
  std::string download_file;
  // Made by the first vigil_error_file call: it grows with the errors.
  mutable std::optional<std::string> error_file;
  std::string settings_table;
  std::string listing;  // made by each vigil_listing call
  // The diagnostics as every front end shows them, made when first asked
  // for; each view made when its index is first asked for, then kept so
  // that its texts stay valid until the result is freed.
  // The caches are filled through const results: mutable.
  bool all_diagnostics = false;
  mutable std::unique_ptr<ShownDiagnostics> shown[2];  // folded, all
  // By index * 2 + all.
  mutable std::unordered_map<size_t, DiagnosticView> views;
  mutable std::string diagnostics_json[2];  // made by the first vigil_diagnostics_json call
  std::string diagnostics_page_json;        // made by each vigil_diagnostics_json_page call
  std::string code_json;
  std::string events_json;     // made by the first vigil_events_json call
  std::string sim_json;        // made by each vigil_sim_json call
  std::string scenarios_json;  // made by each vigil_scenarios_json call
  std::string coverage_json;   // made by each vigil_coverage_json call
  std::string paths_json;      // made by each vigil_paths_json call
  std::string diff_text;       // made by each vigil_diff_text call
};

Result MakeResult(std::string_view script);

// The shown diagnostics of `result`, made on first use.
const ShownDiagnostics& Shown(const Result& result);
// The view of shown diagnostic `index` (< Shown(result).size()).
const DiagnosticView& ViewAt(const Result& result, size_t index);
// Diagnostics first..first+count-1 (clipped) as vigil check --format=json.
std::string DiagnosticsJson(const Result& result, size_t first, size_t count);

// The errors with their notes and the warnings, in line order; one without
// a line goes last.
std::vector<Diagnostic> DiagnosticsInLineOrder(const Compilation& compilation);

// Where `diagnostic` points as a line and byte offsets into the script.
DiagnosticView ViewOf(const Compilation& compilation, const Diagnostic& diagnostic);

// The code items with the script line each belongs to, as JSON.
std::string CodeJson(const Compilation& compilation);

}  // namespace vigil::capi

#endif  // VIGIL_CAPI_RESULT_H_
