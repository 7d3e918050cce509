// Runs the built vigilc on scripts in a fresh temporary directory and checks
// the four output files byte for byte (the Date line by its form and by the
// download file's time) and the exit status.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> SplitCrlf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start != text.size()) lines.push_back(text.substr(start));  // no CR LF: shows as a misfit
  return lines;
}

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class VigilcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = MakeTempDir();
    capture_ = MakeTempDir();
  }
  void TearDown() override {
    fs::remove_all(work_);
    fs::remove_all(capture_);
  }

  static fs::path MakeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "vigil_e2e_XXXXXX").string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr);
    return pattern;
  }

  // Runs vigilc with `args` in the work directory.
  RunResult Vigilc(const std::vector<std::string>& args) const {
    const std::string out = (capture_ / "stdout").string();
    const std::string err = (capture_ / "stderr").string();
    const std::string dir = work_.string();
    // Everything the child needs is made before the fork.
    std::vector<char*> argv{const_cast<char*>(VIGILC_PATH)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
      int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out_fd < 0 || err_fd < 0 || chdir(dir.c_str()) != 0) _exit(127);
      dup2(out_fd, STDOUT_FILENO);
      dup2(err_fd, STDERR_FILENO);
      execv(VIGILC_PATH, argv.data());
      _exit(127);
    }
    RunResult run;
    int wait_status = 0;
    if (pid > 0 && waitpid(pid, &wait_status, 0) == pid && WIFEXITED(wait_status)) {
      run.status = WEXITSTATUS(wait_status);
    }
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
  }

  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(work_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // The listing must be the expected one but for the Date line, which must
  // show the download file's modification time.
  void ExpectListing(const std::string& stem, const std::string& expected) const {
    std::vector<std::string> actual = SplitCrlf(ReadFile(work_ / (stem + "LST")));
    std::vector<std::string> wanted = SplitCrlf(expected);
    ASSERT_EQ(actual.size(), 7u);
    ASSERT_EQ(wanted.size(), 7u);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(actual[i], wanted[i]) << "listing line " << i + 1;
    EXPECT_TRUE(std::regex_match(actual[6], std::regex(R"(Date = \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << actual[6];

    struct stat info {};
    ASSERT_EQ(stat((work_ / (stem + "BIN")).c_str(), &info), 0);
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    char date[32];
    std::strftime(date, sizeof date, "Date = %Y-%m-%d %H:%M:%S", &local);
    EXPECT_EQ(actual[6], date);
  }

  fs::path work_;
  fs::path capture_;
};

const std::string kEmptySettingsTable =
    "[Parameters]\r\n\r\n[Marks]\r\n\r\n[Registers]\r\n\r\n[Timers]\r\n";

TEST_F(VigilcTest, EmptyScript) {
  WriteFile(work_ / "empty.txt", "");
  RunResult run = Vigilc({"empty.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadFile(work_ / "empty.BIN"),
            "18;7;0\r\n"
            "122;42;42;42;42;42;42;42;42\r\n"
            "9;0;0;255;255;255;\r\n"
            "18;8;0\r\n");
  ExpectListing("empty.",
                "vigilc = 1.0\r\nLines = 1\r\nWarnings = 0\r\nErrors = 0\r\n\r\nBytes = 3\r\n"
                "Date = \r\n");
  EXPECT_EQ(ReadFile(work_ / "empty.ERR"), "");
  EXPECT_EQ(ReadFile(work_ / "empty.SET"), kEmptySettingsTable);
}

TEST_F(VigilcTest, ErrorsStillWriteEveryFileAndExitOne) {
  WriteFile(work_ / "site.txt",
            "MODULE PANEL = PANEL,0\r\n"
            "EVENT PANEL.INIT\r\n"
            "  RELAY1 = ON\r\n"
            "  FOO(1)\r\n"
            "EVENTEND\r\n"
            "BAR\r\n");
  RunResult run = Vigilc({"site.txt"});
  EXPECT_EQ(run.status, 1);
  // Counted lines: the MODULE line is not counted, the empty last line is.
  EXPECT_EQ(ReadFile(work_ / "site.ERR"),
            "0000100003  FOO(1)%Unknown command\r\n"
            "0000100005BAR%Unknown command\r\n");
  EXPECT_EQ(ReadFile(work_ / "site.BIN"),
            "18;7;0\r\n"
            "11;0;0;0;0;\r\n"
            "11;0;1;0;0;\r\n"
            "122;42;42;42;42;42;42;42;42\r\n"
            "9;0;0;255;0;50;33;0;1;255;255;255;\r\n"
            "18;8;0\r\n");
  ExpectListing("site.",
                "vigilc = 1.0\r\nLines = 6\r\nWarnings = 0\r\nErrors = 2\r\n\r\nBytes = 9\r\n"
                "Date = \r\n");
  EXPECT_EQ(ReadFile(work_ / "site.SET"), kEmptySettingsTable);
  // stderr names the file line, not the counted line.
  EXPECT_EQ(run.err,
            "site.txt:4: error: Unknown command [E6]\n"
            "      FOO(1)\n"
            "site.txt:6: error: Unknown command [E6]\n"
            "    BAR\n");
}

class ExampleTest : public VigilcTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExampleTest, CompilesToTheExpectedFiles) {
  const std::string name = GetParam();
  const fs::path examples = fs::path(VIGIL_SOURCE_DIR) / "examples";
  fs::copy_file(examples / (name + ".txt"), work_ / (name + ".txt"));
  RunResult run = Vigilc({name + ".txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* extension : {"BIN", "ERR", "SET"}) {
    EXPECT_EQ(ReadFile(work_ / (name + "." + extension)),
              ReadFile(examples / "expected" / (name + "." + extension)))
        << name << "." << extension;
  }
  ExpectListing(name + ".", ReadFile(examples / "expected" / (name + ".LST")));
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest,
                         ::testing::Values("office", "alarm_site", "counters"));

TEST_F(VigilcTest, HelpAndVersion) {
  RunResult help = Vigilc({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("usage: vigilc SCRIPT\n")) << help.out;
  RunResult version = Vigilc({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "vigilc 1.0\n");
  EXPECT_TRUE(WorkFiles().empty());
}

TEST_F(VigilcTest, QuotesAndBlanksInThePath) {
  WriteFile(work_ / "my site.txt", "");
  WriteFile(work_ / "quoted.txt", "");
  EXPECT_EQ(Vigilc({"my", "site.txt"}).status, 0);
  EXPECT_EQ(Vigilc({"\"quoted.txt\""}).status, 0);
  EXPECT_EQ(WorkFiles(),
            (std::vector<std::string>{"my site.BIN", "my site.ERR", "my site.LST", "my site.SET",
                                      "my site.txt", "quoted.BIN", "quoted.ERR", "quoted.LST",
                                      "quoted.SET", "quoted.txt"}));
}

TEST_F(VigilcTest, NoNameWithoutExtension) {
  WriteFile(work_ / "alarm", "");
  EXPECT_EQ(Vigilc({"alarm"}).status, 0);
  EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"alBIN", "alERR", "alLST", "alSET", "alarm"}));
}

TEST_F(VigilcTest, CannotRunExitsTwoAndWritesNothing) {
  fs::create_directory(work_ / "dir.txt");
  struct Case {
    std::vector<std::string> args;
    std::string err;  // empty: only checked to be there
  };
  for (const Case& c : std::vector<Case>{
           {{}, ""},
           {{"ab"}, ""},
           {{"missing.txt"}, "vigilc: cannot read 'missing.txt': No such file or directory\n"},
           {{"dir.txt"}, "vigilc: cannot read 'dir.txt': Is a directory\n"},
       }) {
    RunResult run = Vigilc(c.args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_FALSE(run.err.empty());
    if (!c.err.empty()) {
      EXPECT_EQ(run.err, c.err);
    }
    EXPECT_EQ(WorkFiles(), std::vector<std::string>{"dir.txt"});
  }
}

TEST_F(VigilcTest, AnOutputThatCannotBeWrittenLeavesEveryFileAsItWas) {
  WriteFile(work_ / "site.txt", "");
  WriteFile(work_ / "site.BIN", "old");
  fs::create_directory(work_ / "site.ERR");
  RunResult run = Vigilc({"site.txt"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "vigilc: cannot write 'site.ERR': Is a directory\n");
  EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"site.BIN", "site.ERR", "site.txt"}));
  EXPECT_EQ(ReadFile(work_ / "site.BIN"), "old");
}

}  // namespace
