#include "lsp/formatting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vigil::lsp {
namespace {

// Applies TextEdits that each replace the start of one line.
std::string Apply(const Document& document, const Json& edits) {
  std::string text;
  size_t next = 0;
  for (int line = 0; line < document.line_count(); ++line) {
    const EditorLine& at = document.lines()[static_cast<size_t>(line)];
    std::string content = document.text().substr(at.begin, at.length);
    if (next < edits.size() && edits[next]["range"]["start"]["line"] == line) {
      int cut = edits[next]["range"]["end"]["character"];
      content =
          edits[next]["newText"].get<std::string>() + content.substr(static_cast<size_t>(cut));
      ++next;
    }
    text += content;
    text += at.end == LineEnd::kNone ? "" : at.end == LineEnd::kLf ? "\n" : "\r\n";
  }
  return text;
}

TEST(FormattingTest, IndentsEventAndIfBlocks) {
  Document document("file:///a", 1,
                    "MODULE = CTRL,0\r\n"
                    "  EVENT CTRL.INIT\r\n"
                    "IF FLAGS(FACFAIL)\r\n"
                    "       BREAK\r\n"
                    "ELSE\r\n"
                    "\tDELAY(5)\r\n"
                    "ENDIF\r\n"
                    "   \r\n"
                    "; note\r\n"
                    "EVENTEND\r\n");
  EXPECT_EQ(Apply(document, FormattingEdits(document, 2)),
            "MODULE = CTRL,0\r\n"
            "EVENT CTRL.INIT\r\n"
            "  IF FLAGS(FACFAIL)\r\n"
            "    BREAK\r\n"
            "  ELSE\r\n"
            "    \tDELAY(5)\r\n"
            "  ENDIF\r\n"
            "\r\n"
            "  ; note\r\n"
            "EVENTEND\r\n");
}

TEST(FormattingTest, LeavesColumnOneDeclarationsAsTheyAre) {
  // An indented MODULE line is ignored by the compiler: moving it would
  // change the script.
  Document document("file:///a", 1, "  MODULE = CTRL,0\r\nDEVICE = X.Y,1\r\n");
  EXPECT_TRUE(FormattingEdits(document, 4).empty());
}

TEST(FormattingTest, AFormattedScriptCompilesToTheSameCode) {
  std::filesystem::path examples = std::filesystem::path(VIGIL_SOURCE_DIR) / "examples";
  int scripts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(examples)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    Document document("file:///a", 1, bytes.str());
    for (int width : {0, 3}) {
      Compilation formatted = Compile(Apply(document, FormattingEdits(document, width)));
      EXPECT_EQ(formatted.code, document.compilation().code) << entry.path() << " " << width;
      EXPECT_EQ(formatted.error_count, document.compilation().error_count);
    }
    ++scripts;
  }
  EXPECT_GE(scripts, 3);
}

}  // namespace
}  // namespace vigil::lsp
