#include "support/child_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace vigil::testing {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
  int input[2];
  int output[2];
  // running() stays false; a pipe made before a failure stays open.
  if (pipe(input) != 0 || pipe(output) != 0) return;
  // A child that ends early must fail a write, not end the test.
  signal(SIGPIPE, SIG_IGN);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(input[0], STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    for (int fd : {input[0], input[1], output[0], output[1]}) close(fd);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  // When the fork failed, running() is false and the destructor closes these.
  to_child_ = input[1];
  from_child_ = output[0];
}

ChildProcess::~ChildProcess() {
  CloseInput();
  if (from_child_ >= 0) close(from_child_);
  if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool ChildProcess::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(to_child_, bytes.data(), bytes.size());
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

void ChildProcess::CloseInput() {
  if (to_child_ >= 0) close(to_child_);
  to_child_ = -1;
}

bool ChildProcess::ReadByte(char* byte, int timeout_ms) {
  pollfd ready{from_child_, POLLIN, 0};
  return poll(&ready, 1, timeout_ms) > 0 && read(from_child_, byte, 1) == 1;
}

std::optional<std::string> ChildProcess::ReadLine(int timeout_ms) {
  std::string line;
  char byte = 0;
  while (!line.ends_with('\n') && ReadByte(&byte, timeout_ms)) line += byte;
  return line.ends_with('\n') ? std::optional(line) : std::nullopt;
}

std::optional<std::string> ChildProcess::Read(size_t count, int timeout_ms) {
  std::string bytes;
  char byte = 0;
  while (bytes.size() < count && ReadByte(&byte, timeout_ms)) bytes += byte;
  return bytes.size() == count ? std::optional(bytes) : std::nullopt;
}

int ChildProcess::Wait(int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (true) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (done < 0 || std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace vigil::testing
