#include "support/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vigil::testing {
namespace {

namespace fs = std::filesystem;

// In single quotes for the shell.
std::string Quote(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

TempDir::TempDir(std::string_view prefix) {
  std::string pattern = ::testing::TempDir() + std::string(prefix) + "-XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  // A test may have taken the write permission from the directory.
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  EXPECT_TRUE(out.flush()) << "cannot write " << path;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, const std::string& scratch) {
  std::string command = "cd " + Quote(cwd) + " && " + Quote(program);
  for (const std::string& arg : args) command += " " + Quote(arg);
  std::string out = scratch + "/out";
  std::string err = scratch + "/err";
  command += " </dev/null >" + Quote(out) + " 2>" + Quote(err);
  int raw = ::system(command.c_str());
  ProgramRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
  std::error_code ignored;
  fs::remove(out, ignored);
  fs::remove(err, ignored);
  return run;
}

}  // namespace vigil::testing
