// Helpers for tests that run the built programs on files: a temporary
// directory with whole-file reads and writes, and a program run in it with
// its exit status and output.
#ifndef VIGIL_TESTS_SUPPORT_FILES_H_
#define VIGIL_TESTS_SUPPORT_FILES_H_

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vigil::testing {

// The bytes of the file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

struct ProgramRun {
  int status = -1;  // the exit status; -1 when there is none
  std::string out;
  std::string err;
  bool operator==(const ProgramRun&) const = default;
};
void PrintTo(const ProgramRun& run, std::ostream* os);

// A fresh directory under the test's temporary directory, removed with all
// it holds; permissions a test took away are given back first. The output of
// the programs run in it passes through files outside it. The test fails
// when the directory cannot be made.
class TempDir {
 public:
  explicit TempDir(std::string_view prefix = "vigil");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

  // Writes the file `name` in the directory, failing the test when it
  // cannot, and gives its path.
  std::string Write(std::string_view name, std::string_view contents) const;
  std::string Read(std::string_view name) const { return ReadFile(*this / name); }
  // The names of the directory's entries, sorted.
  std::vector<std::string> Names() const;
  // Runs `program` with `args` in the directory, stdin empty.
  ProgramRun Run(const std::string& program, const std::vector<std::string>& args) const;

 private:
  std::string root_;  // holds the directory and the runs' output
  std::string path_;
};

}  // namespace vigil::testing

#endif  // VIGIL_TESTS_SUPPORT_FILES_H_
