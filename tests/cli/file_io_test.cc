#include "cli/platform/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
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

TEST(FileIoTest, SameFileComparesFilesNotNames) {
  testing::TempDir dir("vigil-same");
  ASSERT_FALSE(dir.path().empty());
  testing::WriteFile(dir / "a.txt", "a");
  testing::WriteFile(dir / "b.txt", "a");  // the same bytes, another file
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_symlink("a.txt", dir / "soft");
  std::filesystem::create_hard_link(dir / "a.txt", dir / "hard");
  struct Case {
    std::string other;
    bool same;
  };
  for (const Case& c :
       {Case{dir / "a.txt", true}, Case{dir / "./sub/../a.txt", true}, Case{dir / "soft", true},
        Case{dir / "hard", true}, Case{dir / "b.txt", false}, Case{dir / "sub", false},
        Case{dir / "missing.txt", false}}) {
    EXPECT_EQ(SameFile(dir / "a.txt", c.other), c.same) << c.other;
    EXPECT_EQ(SameFile(c.other, dir / "a.txt"), c.same) << c.other;
  }
  // Neither exists: no file, so not the same one.
  EXPECT_FALSE(SameFile(dir / "missing.txt", dir / "missing.txt"));
}

// Contents given piece by piece arrive whole; a failed or abandoned set
// leaves no temporary file and no target.
TEST(FileIoTest, OutputSetWritesPiecesAndCleansUp) {
  testing::TempDir dir("vigil-pieces");
  ASSERT_FALSE(dir.path().empty());
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
  EXPECT_EQ(testing::ReadFile(dir / "out.ERR"), pieces[0] + pieces[1] + pieces[2]);
  EXPECT_EQ(testing::ReadFile(dir / "out.SET"), "set");
  {
    OutputSet abandoned;
    std::string error;
    ASSERT_TRUE(abandoned.Stage(dir / "new.BIN", std::string("bin"), &error)) << error;
  }
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"out.ERR", "out.SET"}));
}

}  // namespace
}  // namespace vigil
