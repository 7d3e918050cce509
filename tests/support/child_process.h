// A program run as a child process with pipes to its standard input and
// output, for tests that hold a conversation with it (the language server).
// Standard error passes through to the test's own.
#ifndef VIGIL_TESTS_SUPPORT_CHILD_PROCESS_H_
#define VIGIL_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigil::testing {

class ChildProcess {
 public:
  // Starts `program` with `args`; running() is false when it could not.
  ChildProcess(const std::string& program, const std::vector<std::string>& args);
  // Kills the child if it still runs, and reaps it.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // Writes all of `bytes` to the child's input; false when it cannot.
  bool Write(std::string_view bytes);
  // Closes the child's input.
  void CloseInput();
  // One line of the child's output including its "\n", waiting at most
  // `timeout_ms` for each byte; nullopt at the end of output or on time-out.
  std::optional<std::string> ReadLine(int timeout_ms);
  // Exactly `count` bytes of output, or nullopt.
  std::optional<std::string> Read(size_t count, int timeout_ms);
  // The exit status once the child has ended within `timeout_ms`; -1 when it
  // has not, or was ended by a signal.
  int Wait(int timeout_ms);

 private:
  bool ReadByte(char* byte, int timeout_ms);

  pid_t pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
};

}  // namespace vigil::testing

#endif  // VIGIL_TESTS_SUPPORT_CHILD_PROCESS_H_
