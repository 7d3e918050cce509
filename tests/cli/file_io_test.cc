#include "cli/platform/file_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "support/files.h"

namespace vigil {
namespace {

// In UTC (the zone is restored after), every field of 2024-02-09 03:04:05
// needs its leading zero.
TEST(FileIoTest, LocalTimeTextPadsEveryField) {
  std::string saved = std::getenv("TZ") ? std::getenv("TZ") : "";
  setenv("TZ", "UTC", 1);
  tzset();
  std::string text = LocalTimeText(1707447845);
  saved.empty() ? unsetenv("TZ") : setenv("TZ", saved.c_str(), 1);
  tzset();
  EXPECT_EQ(text, "2024-02-09 03:04:05");
}

// SameFile, through vigilc: tests/e2e/hostile_test.cc (the same file by its
// name, through "./..", a symbolic and a hard link) and output_safety_test.cc
// (a hard link to another file; outputs that do not exist yet).

// Contents given piece by piece arrive whole; a failed or abandoned set
// leaves no temporary file and no target.
TEST(FileIoTest, OutputSetWritesPiecesAndCleansUp) {
  testing::TempDir dir("vigil-pieces");
  const std::vector<std::string> pieces = {"first\r\n", std::string(70000, 'x'), "last\r\n"};
  {
    OutputSet outputs;
    size_t next = 0;
    std::string error;
    ASSERT_TRUE(outputs.Stage(
        dir / "out.ERR",
        [&]() { return next < pieces.size() ? std::string_view(pieces[next++]) : ""; }, &error))
        << error;
    ASSERT_TRUE(outputs.Stage(dir / "out.SET", std::string("set"), &error)) << error;
    ASSERT_TRUE(outputs.Commit(&error)) << error;
  }
  EXPECT_EQ(dir.Read("out.ERR"), pieces[0] + pieces[1] + pieces[2]);
  EXPECT_EQ(dir.Read("out.SET"), "set");
  {
    OutputSet abandoned;
    std::string error;
    ASSERT_TRUE(abandoned.Stage(dir / "new.BIN", std::string("bin"), &error)) << error;
  }
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"out.ERR", "out.SET"}));
}

}  // namespace
}  // namespace vigil
