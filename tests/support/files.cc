#include "support/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void PrintTo(const ProgramRun& run, std::ostream* os) {
  *os << "status " << run.status << ", stdout:\n" << run.out << "stderr:\n" << run.err;
}

TempDir::TempDir(std::string_view prefix) {
  std::string pattern = ::testing::TempDir() + std::string(prefix) + "-XXXXXX";
  std::error_code error;
  if (::mkdtemp(pattern.data()) != nullptr) root_ = pattern;
  if (!root_.empty() && fs::create_directory(root_ + "/dir", error)) path_ = root_ + "/dir";
  if (path_.empty()) ADD_FAILURE() << "cannot make a directory like " << pattern;
}

TempDir::~TempDir() {
  if (root_.empty()) return;
  // A test may have taken the write permission from the directory.
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
}

std::string TempDir::Write(std::string_view name, std::string_view contents) const {
  std::string path = *this / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  EXPECT_TRUE(out.flush()) << "cannot write " << path;
  return path;
}

std::vector<std::string> TempDir::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ProgramRun TempDir::Run(const std::string& program, const std::vector<std::string>& args) const {
  std::string command = "cd " + Quote(path_) + " && " + Quote(program);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " </dev/null >" + Quote(root_ + "/out") + " 2>" + Quote(root_ + "/err");
  int raw = ::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(root_ + "/out"),
          ReadFile(root_ + "/err")};
}

}  // namespace vigil::testing
