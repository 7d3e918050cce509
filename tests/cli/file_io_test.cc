#include "cli/platform/file_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

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

}  // namespace
}  // namespace vigil
