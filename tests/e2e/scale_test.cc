// Scale: the compiler's time and peak memory must grow linearly with the
// script. Each shape is compiled at two sizes, N and 8N: linear work takes
// about eight times as long (up to two or three times that when the larger
// size no longer fits the caches), quadratic work sixty-four times; the test
// fails from 24. Times are the process's CPU time around Compile and
// Warnings, best of a few runs; peak memory is the maximum resident size of a
// whole vigilc run.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "compiler/compiler.h"
#include "support/files.h"

#if defined(__SANITIZE_ADDRESS__)
#define VIGIL_SCALE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIGIL_SCALE_SANITIZED 1
#endif
#endif

namespace vigil {
namespace {

#if defined(VIGIL_SCALE_SANITIZED) || !defined(__OPTIMIZE__)
constexpr bool kReduced = true;
#else
constexpr bool kReduced = false;
#endif

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteFile;

// The two sizes compared, and the ratio of their costs above which growth
// counts as worse than linear.
constexpr int kSizeRatio = 8;
constexpr double kMaxRatio = 24.0;

std::string Repeat(int times, const std::function<std::string(int)>& line) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line(i);
  return text;
}

std::string Line(const std::string& text) { return text + "\r\n"; }

const std::string kPanel = Line("MODULE = PANEL,0") + Line("MODULE = K1,5,0,3,10,30,60");

// n declarations of one kind, each used once by a statement.
std::string Modules(int n) {
  return kPanel +
         Repeat(n,
                [](int i) { return Line("MODULE = D" + std::to_string(i) + ",5,0,3,10,30,60"); }) +
         Repeat(n, [](int i) { return Line("DEVICE = D" + std::to_string(i) + ".INPUT1ON,1"); }) +
         Line("EVENT PANEL.INIT") +
         Repeat(n, [](int i) { return Line("D" + std::to_string(i) + ".RELAY1 = ON"); }) +
         Line("EVENTEND");
}

std::string Partitions(int n) {
  return kPanel +
         Repeat(n, [](int i) { return Line("PARTITION = P" + std::to_string(i) + ",101,0,0"); }) +
         Line("EVENT PANEL.INIT") +
         Repeat(n, [](int i) { return Line("P" + std::to_string(i) + ".ARMED = ON"); }) +
         Line("EVENTEND");
}

// `declaration` and `use` hold "#" where the number goes.
std::string Declared(int n, const std::string& declaration, const std::string& use) {
  auto fill = [](std::string text, int i) {
    for (size_t at = text.find('#'); at != std::string::npos; at = text.find('#', at)) {
      text.replace(at, 1, std::to_string(i));
    }
    return Line(text);
  };
  return kPanel + Repeat(n, [&](int i) { return fill(declaration, i); }) +
         Line("EVENT PANEL.INIT") + Repeat(n, [&](int i) { return fill(use, i); }) +
         Line("EVENTEND");
}

std::string Parameters(int n) { return Declared(n, "DEFINE PARAMETER X# = 7", "DELAY(X#)"); }
std::string Marks(int n) { return Declared(n, "DEFINE MARK M# = door # opened", "MARK(M#)"); }
std::string Registers(int n) { return Declared(n, "DEFINE REGISTER R#", "R# = R# + 1"); }
std::string Timers(int n) { return Declared(n, "DEFINE TIMER T#", "T# = 5"); }
// Every statement misspells a declared name: each error looks for the
// nearest known word.
std::string Misspellings(int n) { return Declared(n, "DEFINE REGISTER R#", "RR# = 5"); }
// Declarations that nothing uses: each one is reported unused.
std::string Unused(int n) { return Declared(n, "DEFINE TIMER T#", "BREAK"); }

const std::string kEventBlock = Line("EVENT K1.VALID") + Line("RELAY1 = ON") +
                                Line("IF K1.INPUT1 = ON") + Line("DELAY(5)") + Line("ELSE") +
                                Line("R1 = R1 + 1") + Line("ENDIF") + Line("EVENTEND");

std::string Events(int n) {
  return kPanel + Line("DEFINE REGISTER R1") + Repeat(n, [](int) { return kEventBlock; });
}

// n times twenty IF blocks, one inside the other.
std::string NestedIfs(int n) {
  std::string nest;
  for (int level = 0; level < C_Compiler::kMaxIfLevel; ++level) nest += Line("IF TIMEPLAN(3)");
  nest += Line("RELAY1 = ON");
  for (int level = 0; level < C_Compiler::kMaxIfLevel; ++level) nest += Line("ENDIF");
  return kPanel + Line("EVENT PANEL.INIT") + Repeat(n, [&](int) { return nest; }) +
         Line("EVENTEND");
}

// One line of `bytes` bytes made of `head` and then `unit` repeated.
std::string LongLine(int bytes, const std::string& head, const std::string& unit,
                     const std::string& tail) {
  std::string line = head;
  while (line.size() + tail.size() < static_cast<size_t>(bytes)) line += unit;
  return kPanel + Line("DEFINE REGISTER R1") + Line("EVENT PANEL.INIT") + Line(line + tail) +
         Line("EVENTEND");
}

// Known words all along: the word check reads the whole line.
std::string LongWordLine(int bytes) { return LongLine(bytes, "RELAY1 = ON", " OFF ON", ""); }
std::string LongParamLine(int bytes) { return LongLine(bytes, "DELAY(", "5,", "5)"); }
std::string LongCommentLine(int bytes) { return LongLine(bytes, ";", "x", ""); }
std::string LongNameLine(int bytes) { return LongLine(bytes, "R1 = ", "9", ""); }

double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The consistency every compilation keeps, whatever the script.
void ExpectSound(const C_Compiler& compiler) {
  const std::vector<uint8_t>& code = compiler.macros();
  ASSERT_GE(code.size(), 3u);
  EXPECT_EQ(code[code.size() - 1], 255);
  EXPECT_EQ(code[code.size() - 2], 255);
  EXPECT_EQ(code[code.size() - 3], 255);
  EXPECT_EQ(compiler.MacroLen(), static_cast<int>(code.size()));
  EXPECT_EQ(compiler.CountErrors(), static_cast<int>(compiler.diagnostics().size()));
}

// The least CPU time of a few compilations of `source`.
double CompileTime(const std::string& source) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    C_Compiler compiler;
    compiler.set_source(source);
    double start = CpuSeconds();
    compiler.Compile();
    std::vector<Diagnostic> warnings = compiler.Warnings();
    best = std::min(best, CpuSeconds() - start);
    if (run == 0) ExpectSound(compiler);
  }
  return best;
}

constexpr char kGnuTime[] = "/usr/bin/time";

struct ProcessRun {
  int status = -1;
  long peak_kb = 0;  // maximum resident set size, when measured
};

// Runs vigilc on `script` with its output discarded; with `peak_file`, under
// GNU time, which writes the peak resident size there. (The peak a parent
// reads from wait4 would include this test process, which the child was
// forked from.)
ProcessRun RunVigilc(const std::string& script, const std::string& peak_file = "") {
  ProcessRun result;
  pid_t pid = ::fork();
  if (pid == 0) {
    int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 1);
    ::dup2(null, 2);
    // Freed memory goes straight back, so that the peak shows what is live.
    ::setenv("ASAN_OPTIONS", "quarantine_size_mb=0:detect_leaks=0", 1);
    if (peak_file.empty()) {
      ::execl(VIGILC_PATH, VIGILC_PATH, script.c_str(), static_cast<char*>(nullptr));
    } else {
      ::execl(kGnuTime, kGnuTime, "-f", "%M", "-o", peak_file.c_str(), VIGILC_PATH, script.c_str(),
              static_cast<char*>(nullptr));
    }
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return result;
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (!peak_file.empty()) {
    // The number is the last line; "Command exited with non-zero status 1"
    // may come before it.
    std::ifstream peak(peak_file);
    for (std::string line; std::getline(peak, line);) result.peak_kb = std::atol(line.c_str());
  }
  return result;
}

// Peak memory of vigilc on the script, less that of an empty script.
long PeakGrowthKb(const TempDir& dir, const std::string& source) {
  WriteFile(dir / "empty.txt", "");
  WriteFile(dir / "site.txt", source);
  ProcessRun empty = RunVigilc(dir / "empty.txt", dir / "peak");
  ProcessRun run = RunVigilc(dir / "site.txt", dir / "peak");
  EXPECT_LE(run.status, 1);
  EXPECT_GT(empty.peak_kb, 0);
  return std::max(run.peak_kb - empty.peak_kb, 1L);
}

struct Shape {
  const char* name;
  std::function<std::string(int)> make;
  int full_size;     // the larger size; the smaller one is an eighth of it
  int reduced_size;  // the same in builds with sanitizers or without optimisation
  int size() const { return kReduced ? reduced_size : full_size; }
};

void PrintTo(const Shape& shape, std::ostream* os) { *os << shape.name; }

class ScaleTest : public ::testing::TestWithParam<Shape> {};

TEST_P(ScaleTest, TimeGrowsLinearly) {
  const Shape& shape = GetParam();
  std::string small = shape.make(shape.size() / kSizeRatio);
  std::string large = shape.make(shape.size());
  double small_time = CompileTime(small);
  double large_time = CompileTime(large);
  RecordProperty("small_seconds", std::to_string(small_time));
  RecordProperty("large_seconds", std::to_string(large_time));
  // Below a few milliseconds the ratio is noise.
  EXPECT_LT(large_time, std::max(kMaxRatio * small_time, 0.005))
      << shape.name << ": " << small.size() << " bytes in " << small_time << " s, " << large.size()
      << " bytes in " << large_time << " s";
}

TEST_P(ScaleTest, PeakMemoryGrowsLinearly) {
  if (::access(kGnuTime, X_OK) != 0) GTEST_SKIP() << "needs GNU time (Debian package time)";
  const Shape& shape = GetParam();
  TempDir dir("vigil-scale");
  long small_kb = PeakGrowthKb(dir, shape.make(shape.size() / kSizeRatio));
  long large_kb = PeakGrowthKb(dir, shape.make(shape.size()));
  RecordProperty("small_kb", std::to_string(small_kb));
  RecordProperty("large_kb", std::to_string(large_kb));
  // A few hundred kilobytes of either are noise: allocator arenas, pages.
  EXPECT_LT(static_cast<double>(large_kb), kMaxRatio * static_cast<double>(small_kb) + 1024)
      << shape.name << ": " << small_kb << " kB, then " << large_kb << " kB";
}

constexpr int kMegabyte = 1 << 20;

INSTANTIATE_TEST_SUITE_P(
    Shapes, ScaleTest,
    ::testing::Values(Shape{"Modules", Modules, 100000, 100000 / 10},
                      Shape{"Partitions", Partitions, 100000, 100000 / 10},
                      Shape{"Parameters", Parameters, 100000, 100000 / 10},
                      Shape{"Marks", Marks, 100000, 100000 / 10},
                      Shape{"Registers", Registers, 100000, 100000 / 10},
                      Shape{"Timers", Timers, 100000, 100000 / 10},
                      Shape{"Misspellings", Misspellings, 100000, 100000 / 10},
                      Shape{"Unused", Unused, 100000, 100000 / 10},
                      Shape{"Events", Events, 100000, 100000 / 10},
                      Shape{"NestedIfs", NestedIfs, 10000, 10000 / 10},
                      Shape{"LongWordLine", LongWordLine, kMegabyte, kMegabyte / 10},
                      Shape{"LongParamLine", LongParamLine, kMegabyte, kMegabyte / 10},
                      Shape{"LongCommentLine", LongCommentLine, kMegabyte, kMegabyte / 10},
                      Shape{"LongNameLine", LongNameLine, kMegabyte, kMegabyte / 10}),
    [](const ::testing::TestParamInfo<Shape>& param) { return param.param.name; });

// A whole script of tens of megabytes through vigilc: it compiles, reports
// the oversized code buffer, and writes all four files.
TEST(ScaleTest, LargeScriptEndToEnd) {
  constexpr size_t kBytes = (kReduced ? 5u : 50u) * kMegabyte;
  std::string source = kPanel + Line("DEFINE REGISTER R1");
  source.reserve(kBytes + kEventBlock.size());
  while (source.size() < kBytes) source += kEventBlock;
  TempDir dir("vigil-scale");
  WriteFile(dir / "site.txt", source);
  ProcessRun run = RunVigilc(dir / "site.txt");
  EXPECT_EQ(run.status, 1);  // error 31: the code is far above the limit
  for (const char* name : {"site.BIN", "site.LST", "site.ERR", "site.SET"}) {
    EXPECT_TRUE(fs::is_regular_file(dir / name)) << name;
  }
  EXPECT_GT(fs::file_size(dir / "site.BIN"), kBytes / 4);
}

}  // namespace
}  // namespace vigil
