#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "cli/platform/file_system.h"
#include "cli/platform/program_start.h"

namespace vigil {
namespace {

constexpr int kExitOutOfMemory = 2;
char program_name[64] = "vigil";

// Writes the line without allocating: there may be no memory left.
[[noreturn]] void DieOutOfMemory() {
  platform::RemoveLiveFiles();
  std::fputs(program_name, stderr);
  std::fputs(": out of memory\n", stderr);
  std::fflush(stderr);
  std::_Exit(kExitOutOfMemory);
}

// An allocation that fails where no exception may pass (a destructor, a
// noexcept function) ends here rather than in std::abort.
[[noreturn]] void Terminate() {
  if (std::exception_ptr failure = std::current_exception()) {
    try {
      std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
      DieOutOfMemory();
    } catch (...) {
    }
  }
  std::abort();
}

}  // namespace

int RunProgram(std::string_view program, const std::function<int()>& body) {
  size_t length = std::min(program.size(), sizeof program_name - 1);
  program.copy(program_name, length);
  program_name[length] = '\0';
  std::set_terminate(Terminate);
  try {
    return body();
  } catch (const std::bad_alloc&) {
    DieOutOfMemory();
  }
}

}  // namespace vigil
