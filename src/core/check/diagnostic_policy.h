// The one way every front end shows a script's problems: `vigil check`, the
// language server, the C API and the web page, `vigil sim` and `vigil test`
// all list the same diagnostics in the same order for the same bytes.
//
//   ShownDiagnostics shown(compilation);          // folded, as check shows them
//   for (size_t i = 0; i < shown.size(); ++i) Print(shown[i]);
//
// The errors come in line order (one without a line last), each of the first
// kAnnotatedErrors with its notes; an error that only follows from an earlier
// structural one (a failed EVENT line, a missing ENDIF) is folded into a note
// of the first unless the policy asks for all. The warnings W1 to W9 stand
// among them by line. A diagnostic is built when asked for: a script of
// millions of errors costs four bytes an error here.
#ifndef VIGIL_CORE_CHECK_DIAGNOSTIC_POLICY_H_
#define VIGIL_CORE_CHECK_DIAGNOSTIC_POLICY_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/check/cascades.h"
#include "core/compile/compilation.h"
#include "core/lang/diagnostics.h"

namespace vigil {

struct DiagnosticPolicy {
  bool all = false;  // also the errors that follow from an earlier one
  // Line-end trouble (a lone LF, a byte-order mark) before everything else:
  // for front ends that show only why a script cannot run.
  bool line_ends_first = false;
};

class ShownDiagnostics {
 public:
  // `compilation` must outlive this list and every diagnostic it makes.
  explicit ShownDiagnostics(const Compilation& compilation, DiagnosticPolicy policy = {});

  size_t size() const { return order_.size(); }
  bool empty() const { return order_.empty(); }
  Diagnostic operator[](size_t index) const;

  // What the compiler counted (the error file's count) and the warnings.
  int error_count() const { return compilation_->error_count; }
  int warning_count() const { return static_cast<int>(warnings_.size()); }
  // How many errors are folded into the cascade's note.
  int folded() const { return cascade_.caused; }

 private:
  const Compilation* compilation_;
  Cascade cascade_;
  std::vector<Diagnostic> warnings_;
  // Errors by their index, then warnings as errors.size() + their index.
  std::vector<uint32_t> order_;
};

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_DIAGNOSTIC_POLICY_H_
