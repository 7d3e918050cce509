// The script's lines and the places in them that the compiler's results
// point at.
#ifndef VIGIL_CORE_COMPILE_SOURCE_LINES_H_
#define VIGIL_CORE_COMPILE_SOURCE_LINES_H_

#include <string_view>

#include "core/lang/diagnostics.h"

namespace vigil {

// One line of the script as both passes see it.
struct SourceLine {
  std::string_view text;  // without its line end
  int physical_line = 0;  // 1-based line of the file
};

// The code that one script line appended: bytes [begin, end) of the buffer.
struct LineCode {
  int physical_line = 0;
  int begin = 0;
  int end = 0;
};

// A place in the script: a physical line (1-based) and a byte span in it.
struct SourceSite {
  int line = 0;
  Span span;
};

// An IF whose condition compiled as a statement, with the ELSE or ENDIF that
// then rewrote an earlier block's jump field (0 when none) and that block's IF.
struct UntestedIf {
  int line = 0;
  int patch_line = 0;
  int earlier_line = 0;
};

// A MODULE, PARTITION or DEVICE line that sets nothing, without an error.
struct IgnoredDeclaration {
  enum class Why {
    kIndented,         // the keyword does not stand at the start of the line
    kAfterFirstEvent,  // a MODULE or PARTITION line after the first EVENT line
    kUnknownDevice,    // DEVICE = module.device,1 names no device the module saves
  };
  int line = 0;  // physical line
  Span span;     // the keyword, or the device name
  Why why = Why::kIndented;
  int module = 0;  // kUnknownDevice: the module's id
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_SOURCE_LINES_H_
