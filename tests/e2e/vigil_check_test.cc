// Runs the built `vigil` in a fresh directory: check in its three formats and
// its exit statuses, build against vigilc file for file, and explain.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// Lines ending in "\n" become CR LF lines.
std::string Crlf(std::string_view lines) {
  std::string text;
  for (char c : lines) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

constexpr std::string_view kFaulty =
    "MODULE = PANEL,0\n"
    "DEFINE REGISTER SPARE\n"
    "EVENT PANEL.INIT\n"
    "DELAY(300)\n"
    "EVENTEND\n";

class VigilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vigil_check_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fs::create_directory(dir_ / "work");
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Work() const { return dir_ / "work"; }

  // Runs `program` with `args` in `cwd` (the work directory by default).
  Outcome Exec(const char* program, const std::vector<std::string>& args,
               const fs::path& cwd = {}) const {
    fs::path out = dir_ / "stdout";
    fs::path err = dir_ / "stderr";
    fs::path where = cwd.empty() ? Work() : cwd;
    pid_t pid = fork();
    if (pid == 0) {
      int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out_fd < 0 || err_fd < 0 || chdir(where.c_str()) != 0) _exit(127);
      dup2(out_fd, STDOUT_FILENO);
      dup2(err_fd, STDERR_FILENO);
      std::vector<char*> argv{const_cast<char*>(program)};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(program, argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
  }

  Outcome Vigil(const std::vector<std::string>& args, const fs::path& cwd = {}) const {
    return Exec(VIGIL_PATH, args, cwd);
  }

  // Runs a Python program on `input` (written to a file it gets as argv[1]).
  std::string Python(std::string_view program, const std::string& input) const {
    WriteFile(dir_ / "input", input);
    Outcome run =
        Exec("/usr/bin/env", {"python3", "-c", std::string(program), (dir_ / "input").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  }

  fs::path dir_;
};

TEST_F(VigilTest, CheckExitStatusesAndNoFilesWritten) {
  WriteFile(Work() / "clean.txt", Crlf("MODULE = PANEL,0\nEVENT PANEL.INIT\nEVENTEND\n"));
  WriteFile(Work() / "faulty.txt", Crlf(kFaulty));
  WriteFile(Work() / "warned.txt", Crlf("MODULE = PANEL,0\nEVENT PANEL.INIT\n"));
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"check", "clean.txt"}, 0},
      {{"check", "clean.txt", "--werror"}, 0},
      {{"check", "faulty.txt"}, 1},
      {{"check", "--format=json", "faulty.txt"}, 1},
      {{"check", "warned.txt"}, 0},
      {{"check", "--werror", "warned.txt", "--format=sarif"}, 1},
      {{"check", "missing.txt"}, 2},
      {{"check"}, 2},
      {{"check", "clean.txt", "warned.txt"}, 2},
      {{"check", "--format=xml", "clean.txt"}, 2},
      {{"check", "--strict", "clean.txt"}, 2},
  };
  for (const Case& c : cases) {
    Outcome run = Vigil(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.back() << ": " << run.err;
  }
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(Work())) {
    files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"clean.txt", "faulty.txt", "warned.txt"}));
}

TEST_F(VigilTest, CheckTextForm) {
  WriteFile(Work() / "site.txt", Crlf(kFaulty));
  Outcome run = Vigil({"check", "site.txt"});
  EXPECT_EQ(run.out,
            "site.txt:2:17: warning: Register SPARE is declared but never used [W3]\n"
            "    2 | DEFINE REGISTER SPARE\n"
            "      |                 ^^^^^\n"
            "site.txt:4:7: error: Value out of range [E11]\n"
            "    4 | DELAY(300)\n"
            "      |       ^^^\n"
            "      = note: the DELAY number must lie in 0 to 255\n"
            "site.txt: 1 error, 1 warning, 6 bytes of code\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(VigilTest, CheckJsonParses) {
  WriteFile(Work() / "site.txt", Crlf(kFaulty));
  Outcome run = Vigil({"check", "--format=json", "site.txt"});
  EXPECT_EQ(Python("import json, sys\n"
                   "for d in json.load(open(sys.argv[1])):\n"
                   "    print(sorted(d))\n"
                   "    print([d[k] for k in ('file', 'line', 'column', 'end_column',\n"
                   "           'severity', 'code', 'message', 'notes')])\n",
                   run.out),
            "['code', 'column', 'end_column', 'file', 'line', 'message', 'notes', 'severity']\n"
            "['site.txt', 2, 17, 22, 'warning', 'W3', 'Register SPARE is declared but never "
            "used', []]\n"
            "['code', 'column', 'end_column', 'file', 'line', 'message', 'notes', 'severity']\n"
            "['site.txt', 4, 7, 10, 'error', 'E11', 'Value out of range', ['the DELAY number "
            "must lie in 0 to 255']]\n");

  WriteFile(Work() / "clean.txt", Crlf("MODULE = PANEL,0\n"));
  EXPECT_EQ(Python("import json, sys\nprint(json.load(open(sys.argv[1])))\n",
                   Vigil({"check", "--format=json", "clean.txt"}).out),
            "[]\n");
}

TEST_F(VigilTest, CheckSarifHasWhatScannersRead) {
  WriteFile(Work() / "my site.txt", Crlf(kFaulty));
  Outcome run = Vigil({"check", "--format=sarif", "my site.txt"});
  EXPECT_EQ(Python("import json, sys\n"
                   "log = json.load(open(sys.argv[1]))\n"
                   "print(log['version'], log['$schema'].endswith('sarif-2.1.0.json'))\n"
                   "run = log['runs'][0]\n"
                   "tool = run['tool']['driver']\n"
                   "print(tool['name'], tool['version'])\n"
                   "rules = tool['rules']\n"
                   "print([(r['id'], r['shortDescription']['text'],\n"
                   "        r['defaultConfiguration']['level']) for r in rules])\n"
                   "for r in run['results']:\n"
                   "    loc = r['locations'][0]['physicalLocation']\n"
                   "    reg = loc['region']\n"
                   "    print(r['ruleId'], rules[r['ruleIndex']]['id'], r['level'],\n"
                   "          r['message']['text'].splitlines(), loc['artifactLocation']['uri'],\n"
                   "          reg['startLine'], reg['startColumn'], reg['endColumn'])\n",
                   run.out),
            "2.1.0 True\n"
            "vigil 1.0\n"
            "[('W3', 'Declared name never used', 'warning'), ('E11', 'Value out of range', "
            "'error')]\n"
            "W3 W3 warning ['Register SPARE is declared but never used'] my%20site.txt 2 17 22\n"
            "E11 E11 error ['Value out of range', 'note: the DELAY number must lie in 0 to 255'] "
            "my%20site.txt 4 7 10\n");
}

// vigil build writes what vigilc writes, says what vigilc says on stdout, and
// adds the text form on stderr.
TEST_F(VigilTest, BuildWritesVigilcsFiles) {
  for (std::string_view script : {kFaulty, std::string_view("MODULE = PANEL,0\nEVENT PANEL.INIT\n"
                                                            "DELAY(3)\nEVENTEND\n")}) {
    fs::create_directory(dir_ / "a");
    fs::create_directory(dir_ / "b");
    WriteFile(dir_ / "a" / "site.txt", Crlf(script));
    WriteFile(dir_ / "b" / "site.txt", Crlf(script));
    Outcome legacy = Exec(VIGILC_PATH, {"site.txt"}, dir_ / "a");
    Outcome build = Vigil({"build", "site.txt"}, dir_ / "b");
    EXPECT_EQ(build.status, legacy.status);
    EXPECT_EQ(build.out, legacy.out);
    for (std::string_view extension : {"BIN", "ERR", "SET"}) {
      std::string name = "site." + std::string(extension);
      EXPECT_EQ(ReadFile(dir_ / "b" / name), ReadFile(dir_ / "a" / name)) << name;
    }
    // The listings differ at most in the Date line.
    std::string a = ReadFile(dir_ / "a" / "site.LST");
    std::string b = ReadFile(dir_ / "b" / "site.LST");
    EXPECT_EQ(b.substr(0, b.find("Date = ")), a.substr(0, a.find("Date = ")));
    EXPECT_NE(a.find("Date = "), std::string::npos);
    if (legacy.status == 1) {
      EXPECT_EQ(build.err,
                "site.txt:4:7: error: Value out of range [E11]\n"
                "    4 | DELAY(300)\n"
                "      |       ^^^\n"
                "      = note: the DELAY number must lie in 0 to 255\n");
    } else {
      EXPECT_EQ(build.err, "");
    }
    fs::remove_all(dir_ / "a");
    fs::remove_all(dir_ / "b");
  }
}

TEST_F(VigilTest, ExplainAndHelp) {
  Outcome six = Vigil({"explain", "6"});
  EXPECT_EQ(six.status, 0);
  EXPECT_EQ(six.out.substr(0, 20), "E6: Unknown command\n");
  Outcome unknown = Vigil({"explain", "E6", "E99"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  Outcome list = Vigil({"explain"});
  EXPECT_NE(list.out.find("  W5   IF condition compiled as a statement\n"), std::string::npos);

  Outcome help = Vigil({"check", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.substr(0, 18), "usage: vigil check");
  Outcome top = Vigil({"--help"});
  for (std::string_view command : {"check", "build", "explain"}) {
    EXPECT_NE(top.out.find("  " + std::string(command) + " "), std::string::npos);
  }
}

}  // namespace
