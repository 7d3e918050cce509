// libFuzzer target over the compiler core: any bytes are a script. A fault in
// the consistency checks aborts with its description, so that the fuzzer
// keeps the input as a crash.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compile_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view source(reinterpret_cast<const char*>(data), size);
  std::string fault = vigil::fuzz::CheckCompile(source);
  if (fault.empty()) fault = vigil::fuzz::CheckCaseIgnored(source);
  if (fault.empty()) fault = vigil::fuzz::CheckFixKeepsCode(source);
  if (!fault.empty()) {
    std::fprintf(stderr, "consistency fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
