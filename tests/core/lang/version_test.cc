// The version constants are the project() line's, the one place it is set.

#include "core/lang/version.h"

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"

namespace vigil {
namespace {

TEST(Version, IsTheProjectLines) {
  std::string cmake = testing::ReadFile(std::string(VIGIL_SOURCE_DIR) + "/CMakeLists.txt");
  constexpr std::string_view kProject = "project(vigil VERSION ";
  size_t start = cmake.find(kProject);
  ASSERT_NE(start, std::string::npos);
  start += kProject.size();
  std::string version = cmake.substr(start, cmake.find(' ', start) - start);
  EXPECT_EQ(kVersion, version);
  EXPECT_TRUE(
      version.starts_with(std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor)));
}

}  // namespace
}  // namespace vigil
