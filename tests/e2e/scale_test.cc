// Scale: the compiler's time and peak memory must grow linearly with the
// script. Each shape is compiled at two sizes, N and 8N: linear work takes
// about eight times as long (up to two or three times that when the larger
// size no longer fits the caches), quadratic work sixty-four times; the test
// fails from 24. Times are the process's CPU time around Compile and
// Warnings, best of three; peak memory is the maximum resident size of a
// whole vigilc run, measured by GNU time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/check/warnings.h"
#include "core/compile/compilation.h"
#include "core/lang/limits.h"
#include "support/files.h"

namespace vigil {
namespace {

// Builds with sanitizers or without optimisation compile a tenth as much.
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
constexpr int kScale = 10;
#else
constexpr int kScale = 1;
#endif
constexpr int kSizeRatio = 8;
constexpr double kMaxRatio = 24.0;
constexpr int kMegabyte = 1 << 20;

std::string Line(const std::string& text) { return text + "\r\n"; }

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  repeated.reserve(text.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// `times` lines of `pattern`, each with its number in place of every "#".
std::string Numbered(int times, const std::string& pattern) {
  std::string text;
  for (int i = 0; i < times; ++i) {
    std::string line = pattern;
    for (size_t at = line.find('#'); at != std::string::npos; at = line.find('#', at)) {
      line.replace(at, 1, std::to_string(i));
    }
    text += Line(line);
  }
  return text;
}

const std::string kPanel = Line("MODULE = PANEL,0") + Line("MODULE = K1,5,0,3,10,30,60");

// n declarations of one kind, each used once by a statement.
std::function<std::string(int)> Declared(const std::string& declaration, const std::string& use,
                                         const std::string& extra = "") {
  return [=](int n) {
    return kPanel + Numbered(n, declaration) + (extra.empty() ? "" : Numbered(n, extra)) +
           Line("EVENT PANEL.INIT") + Numbered(n, use) + Line("EVENTEND");
  };
}

const std::string kEventBlock =
    "EVENT K1.VALID\r\nRELAY1 = ON\r\nIF K1.INPUT1 = ON\r\nDELAY(5)\r\nELSE\r\n"
    "R1 = R1 + 1\r\nENDIF\r\nEVENTEND\r\n";

std::string Events(int n) { return kPanel + Line("DEFINE REGISTER R1") + Repeat(kEventBlock, n); }

// n times twenty IF blocks, one inside the other.
std::string NestedIfs(int n) {
  std::string nest = Numbered(kMaxIfLevel, "IF TIMEPLAN(3)") + Line("RELAY1 = ON") +
                     Numbered(kMaxIfLevel, "ENDIF");
  return kPanel + Line("EVENT PANEL.INIT") + Repeat(nest, n) + Line("EVENTEND");
}

// One line of about `bytes` bytes: `head`, then `unit` over and over.
std::function<std::string(int)> LongLine(const std::string& head, const std::string& unit,
                                         const std::string& tail = "") {
  return [=](int bytes) {
    std::string line = head;
    while (line.size() + tail.size() < static_cast<size_t>(bytes)) line += unit;
    return kPanel + Line("DEFINE REGISTER R1") + Line("EVENT PANEL.INIT") + Line(line + tail) +
           Line("EVENTEND");
  };
}

double CompileTime(const std::string& source) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    std::clock_t start = std::clock();
    Warnings(Compile(source));
    best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  }
  return best;
}

constexpr char kGnuTime[] = "/usr/bin/time";

// The exit status and peak resident size in kilobytes of `program` run with
// `args` beside the script `source`, written as site.txt.
std::pair<int, long> RunMeasured(const testing::TempDir& dir, const std::string& source,
                                 const std::string& program = VIGILC_PATH,
                                 std::vector<std::string> args = {"site.txt"},
                                 testing::ProgramRun* output = nullptr) {
  dir.Write("site.txt", source);
  // Freed memory goes straight back, so that the peak shows what is live.
  ::setenv("ASAN_OPTIONS", "quarantine_size_mb=0:detect_leaks=0", 1);
  args.insert(args.begin(), {"-f", "%M", "-o", dir / "peak", program});
  testing::ProgramRun run = dir.Run(kGnuTime, args);
  if (output != nullptr) *output = run;
  // The number is the last line; "Command exited with non-zero status 1"
  // may come before it (npos + 1 is 0).
  std::string peak = dir.Read("peak");
  return {run.status, std::atol(peak.c_str() + (peak.find_last_of('\n', peak.size() - 2) + 1))};
}

struct Shape {
  const char* name;
  std::function<std::string(int)> make;
  int size;  // the larger size in an optimised build; the smaller is an eighth
};

void PrintTo(const Shape& shape, std::ostream* os) { *os << shape.name; }

class ScaleTest : public ::testing::TestWithParam<Shape> {};

TEST_P(ScaleTest, TimeAndPeakMemoryGrowLinearly) {
  const std::string small_script = GetParam().make(GetParam().size / kScale / kSizeRatio);
  const std::string large_script = GetParam().make(GetParam().size / kScale);
  double small_time = CompileTime(small_script);
  double large_time = CompileTime(large_script);
  // Below a few milliseconds the ratio is noise.
  EXPECT_LT(large_time, std::max(kMaxRatio * small_time, 0.005))
      << small_time << " s, then " << large_time << " s";

  if (::access(kGnuTime, X_OK) != 0) GTEST_SKIP() << "needs GNU time (Debian package time)";
  testing::TempDir dir("vigil-scale");
  long empty = RunMeasured(dir, "").second;
  auto [small_status, small] = RunMeasured(dir, small_script);
  auto [large_status, large] = RunMeasured(dir, large_script);
  EXPECT_LE(std::max(small_status, large_status), 1);
  ASSERT_GT(empty, 0);
  // Growth over an empty script; a megabyte of it is noise: arenas, pages.
  EXPECT_LT(large - empty, kMaxRatio * static_cast<double>(std::max(small - empty, 1L)) + 1024)
      << small << " kB, then " << large << " kB";
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ScaleTest,
    ::testing::Values(
        Shape{"Modules",
              Declared("MODULE = D#,5,0,3,10,30,60", "D#.RELAY1 = ON", "DEVICE = D#.INPUT1ON,1"),
              100000},
        Shape{"Partitions", Declared("PARTITION = P#,101,0,0", "P#.ARMED = ON"), 100000},
        Shape{"Parameters", Declared("DEFINE PARAMETER X# = 7", "DELAY(X#)"), 100000},
        Shape{"Marks", Declared("DEFINE MARK M# = door # opened", "MARK(M#)"), 100000},
        Shape{"Registers", Declared("DEFINE REGISTER R#", "R# = R# + 1"), 100000},
        // Declared and never used: each one is warned about.
        Shape{"Timers", Declared("DEFINE TIMER T#", "BREAK"), 100000},
        Shape{"Events", Events, 100000}, Shape{"NestedIfs", NestedIfs, 10000},
        // Every line an error: the error file and stderr grow with them.
        Shape{"ErrorLines", [](int n) { return Numbered(n, "  WRONG LINE #"); }, 100000},
        Shape{"LongWordLine", LongLine("RELAY1 = ON", " OFF ON"), kMegabyte},
        Shape{"LongParamLine", LongLine("DELAY(", "5,", "5)"), kMegabyte},
        Shape{"LongNameLine", LongLine("R1 = ", "9"), kMegabyte}),
    [](const ::testing::TestParamInfo<Shape>& param) { return param.param.name; });

// A whole script of tens of megabytes through vigilc: it compiles, reports
// the oversized code buffer, and writes all four files.
TEST(ScaleTest, LargeScriptEndToEnd) {
  if (::access(kGnuTime, X_OK) != 0) GTEST_SKIP() << "needs GNU time (Debian package time)";
  const size_t bytes = 50u * kMegabyte / kScale;
  std::string source = Events(static_cast<int>(bytes / kEventBlock.size()));
  testing::TempDir dir("vigil-scale");
  EXPECT_EQ(RunMeasured(dir, source).first, 1);  // error 31: far above the limit
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"peak", "site.BIN", "site.ERR", "site.LST",
                                                   "site.SET", "site.txt"}));
  EXPECT_GT(std::filesystem::file_size(dir / "site.BIN"), bytes / 4);
}

// 50 MB of nothing but errors, 9-byte lines: 5.8 million errors. Each
// program's peak stays under 400 MB: proportional to the script, a few dozen
// bytes a line. Sanitizers' shadow memory and red zones may add half again.
TEST(ScaleTest, ErrorScriptPeakMemory) {
  if (::access(kGnuTime, X_OK) != 0) GTEST_SKIP() << "needs GNU time (Debian package time)";
#if defined(__SANITIZE_ADDRESS__)
  constexpr double kBoundKb = 400.0 * 1024 * 1.5 / kScale;
#else
  constexpr double kBoundKb = 400.0 * 1024 / kScale;
#endif
  const std::string source = Repeat("ZZZZZZZ\r\n", 50 * kMegabyte / kScale / 9);
  testing::TempDir dir("vigil-scale");
  for (const auto& [program, args] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {VIGILC_PATH, {"site.txt"}},
           {VIGIL_PATH, {"check", "site.txt"}},
           {VIGIL_PATH, {"dis", "--script", "site.txt"}}}) {
    long empty = RunMeasured(dir, "", program, args).second;
    auto [status, peak] = RunMeasured(dir, source, program, args);
    EXPECT_EQ(status, 1) << program;
    EXPECT_LT(static_cast<double>(peak - empty), kBoundKb)
        << program << ": " << peak << " kB, empty script " << empty;
  }
}

// A hostile download file of 20 MB: code far past the controller's limit,
// a value that is no byte in every code record, and then a million records
// of no type. vigil dis reads no code past the limit, shows the first fifty
// problems and counts the rest, and its memory stays within a few times the
// file.
TEST(ScaleTest, HostileDownloadFileStaysBounded) {
  if (::access(kGnuTime, X_OK) != 0) GTEST_SKIP() << "needs GNU time (Debian package time)";
  const int records = 20 * kMegabyte / kScale / 2 / 12;  // half the file: "9;0;0;300;\r\n"
  const int untyped = 20 * kMegabyte / kScale / 2 / 3;   // the other half: "x\r\n"
  std::string file =
      "18;7;0\r\n" + Repeat("9;0;0;300;\r\n", records) + Repeat("x\r\n", untyped) + "18;8;0\r\n";
  testing::TempDir dir("vigil-scale");
  dir.Write("site.BIN", file);
  testing::ProgramRun run;
  long empty = RunMeasured(dir, "", VIGIL_PATH, {"dis", "site.txt"}).second;
  auto [status, peak] = RunMeasured(dir, "", VIGIL_PATH, {"dis", "site.BIN"}, &run);
  EXPECT_EQ(status, 1);
  // One code byte per record up to the limit.
  EXPECT_TRUE(run.out.starts_with("site.BIN: " + std::to_string(records + untyped + 2) +
                                  " records, " + std::to_string(kMaxCodeSize) + " code bytes\n"))
      << run.out.substr(0, 80);
  // The first code record: its value (300 is no byte). Each later one within
  // the limit: its offset (every record says 0) and its value. The record
  // that passes the limit: its offset and the limit. Each one after: its
  // offset. Each record of no type: one. The code, every byte read as 0:
  // opcode 00 is none, and there is no trailer.
  const int problems = 1 + 2 * (kMaxCodeSize - 1) + 2 + (records - kMaxCodeSize - 1) + untyped + 2;
  EXPECT_EQ(std::ranges::count(run.err, '\n'), 51);
  EXPECT_TRUE(run.err.ends_with("site.BIN: " + std::to_string(problems - 50) + " more problems\n"))
      << run.err.substr(run.err.rfind('\n', run.err.size() - 2));
  EXPECT_LT(static_cast<double>(peak - empty), 3.0 * static_cast<double>(file.size()) / 1024 + 1024)
      << peak << " kB, " << file.size() << " bytes of file";
}

}  // namespace
}  // namespace vigil
