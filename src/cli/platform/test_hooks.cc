#include "cli/platform/test_hooks.h"

#include <chrono>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

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

// The number after "POINT:" in the setting `name` when its point is
// `point`, else -1.
int NumberAt(const char* name, std::string_view point) {
  std::string setting = Setting(name);
  size_t colon = setting.rfind(':');
  if (colon == std::string::npos || std::string_view(setting).substr(0, colon) != point) return -1;
  return std::atoi(setting.c_str() + colon + 1);
}

}  // namespace

void ReachPoint(std::string_view point) {
  if (Setting("VIGIL_TEST_OUT_OF_MEMORY") == point) throw std::bad_alloc();
  if (int pause_ms = NumberAt("VIGIL_TEST_PAUSE", point); pause_ms > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms));
  }
  if (int signal = NumberAt("VIGIL_TEST_SIGNAL", point); signal > 0) RaiseSignal(signal);
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
