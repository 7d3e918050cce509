// The output set's journal, the names of a run's hidden files, and its lock
// within one process. Whole runs with faults: tests/e2e/fault_test.cc.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/platform/file_io.h"
#include "support/files.h"

namespace vigil {
namespace {

TEST(OutputSetTest, TemporaryOwnerReadsThePid) {
  struct Case {
    const char* name;
    long owner;
  };
  for (const Case& c :
       {Case{".vigilc-123-0-0", 123}, Case{".vigilc-7-4-old", 7}, Case{".vigilc-42-1-journal", 42},
        Case{".vigilc-123", 0}, Case{".vigilc--1-0", 0}, Case{".vigilc-12a-0", 0},
        Case{"vigilc-123-0-0", 0}, Case{".s.vigil-lock", 0}, Case{"s.BIN", 0}}) {
    EXPECT_EQ(TemporaryOwner(c.name), c.owner) << c.name;
  }
}

// Paths with blanks, tabs and line ends come back as they went; a journal
// cut short or of another kind reads as none.
TEST(OutputSetTest, JournalReadsBackOrNotAtAll) {
  const std::vector<OutputSet::Staged> files = {
      {"/d/s.BIN", "/d/.vigilc-9-0-0", "/d/.vigilc-9-4-old", false, -1},
      {"/d/my\tsite\r\n.ERR", "/d/.vigilc-9-1-0", "", false, -1},
      {"/d/s.SET", "/d/.vigilc-9-2-0", "/d/.vigilc-9-5-old", true, -1}};
  std::string text = JournalText("/d/.s.vigil-lock", files);
  std::string lock;
  std::vector<OutputSet::Staged> read = ReadJournal(text, &lock);
  EXPECT_EQ(lock, "/d/.s.vigil-lock");
  ASSERT_EQ(read.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(read[i].target, files[i].target);
    EXPECT_EQ(read[i].temporary, files[i].temporary);
    EXPECT_EQ(read[i].backup, files[i].backup);
    EXPECT_EQ(read[i].backup_moved, files[i].backup_moved);
  }
  for (const std::string& damaged :
       {text.substr(0, text.size() - 1), text.substr(0, text.size() - 5), std::string(),
        "vigil journal 2" + text.substr(text.find('\0')),
        text.substr(0, text.find("/d/s.SET")) + "end" + std::string(1, '\0')}) {
    EXPECT_TRUE(ReadJournal(damaged, &lock).empty());
    EXPECT_EQ(lock, "");
  }
}

// Two sets of one process on the same outputs exclude each other too; the
// lock's file goes with the lock.
TEST(OutputSetTest, LockHoldsWithinOneProcess) {
  testing::TempDir dir("vigil-lock");
  ::setenv("VIGIL_TEST_LOCK_WAIT_MS", "50", 1);
  std::string error;
  {
    OutputSet first;
    ASSERT_TRUE(first.Lock(dir / "s.", &error)) << error;
    OutputSet second;
    EXPECT_FALSE(second.Lock(dir / "s.", &error));
    EXPECT_EQ(error, "cannot lock '" + (dir / ".s.vigil-lock") + "': another run (process " +
                         std::to_string(::getpid()) +
                         ") is writing these files; gave up after 0 s");
    OutputSet other;
    EXPECT_TRUE(other.Lock(dir / "t.", &error)) << error;
  }
  ::unsetenv("VIGIL_TEST_LOCK_WAIT_MS");
  EXPECT_EQ(dir.Names(), std::vector<std::string>());
}

}  // namespace
}  // namespace vigil
