#include "cli/platform/test_hooks.h"

#include <cstdlib>
#include <new>
#include <string>

#include "cli/platform/file_system.h"

namespace vigil::platform {
namespace {

#ifdef VIGIL_TEST_HOOKS
std::string Setting(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}
#else
std::string Setting(const char*) { return std::string(); }
#endif

}  // namespace

void ReachPoint(std::string_view point) {
  if (Setting("VIGIL_TEST_OUT_OF_MEMORY") == point) throw std::bad_alloc();
  std::string signal = Setting("VIGIL_TEST_SIGNAL");
  size_t colon = signal.rfind(':');
  if (colon != std::string::npos && std::string_view(signal).substr(0, colon) == point) {
    RaiseSignal(std::atoi(signal.c_str() + colon + 1));
  }
}

bool RenameFails(int position) {
  std::string fails = Setting("VIGIL_TEST_FAIL_RENAME");
  return !fails.empty() && std::atoi(fails.c_str()) == position;
}

int LockWaitMs(int usual) {
  std::string wait = Setting("VIGIL_TEST_LOCK_WAIT_MS");
  return wait.empty() ? usual : std::atoi(wait.c_str());
}

}  // namespace vigil::platform
