// Helpers for tests that run the built programs on files: a temporary
// directory, whole-file reads and writes, and a program run with its exit
// status and output.
#ifndef VIGIL_TESTS_SUPPORT_FILES_H_
#define VIGIL_TESTS_SUPPORT_FILES_H_

#include <string>
#include <string_view>
#include <vector>

namespace vigil::testing {

// A fresh directory under the test's temporary directory, removed with all
// it holds; permissions a test took away are given back first.
class TempDir {
 public:
  explicit TempDir(std::string_view prefix = "vigil");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Empty when the directory could not be made.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// The bytes of the file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Writes the bytes, failing the test when it cannot.
void WriteFile(const std::string& path, std::string_view contents);

struct ProgramRun {
  int status = -1;  // the exit status; -1 when there is none
  std::string out;
  std::string err;
};

// Runs `program` with `args` in the directory `cwd`, stdin empty; stdout and
// stderr pass through files in `scratch`.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, const std::string& scratch);

}  // namespace vigil::testing

#endif  // VIGIL_TESTS_SUPPORT_FILES_H_
