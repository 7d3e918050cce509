#include "lsp/formatting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vigil::lsp {
namespace {

// The text after the edits, applied from the last to the first.
std::string Apply(Document document, const Json& edits) {
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
    const Json& range = (*edit)["range"];
    document.Edit(ReadPositionObject(range["start"]), ReadPositionObject(range["end"]),
                  (*edit)["newText"].get<std::string>());
  }
  return document.text();
}

// An indented MODULE line is ignored by the compiler: moving it, or any line
// that starts in column one, would change the script. IFFY opens no block.
TEST(FormattingTest, IndentsEventAndIfBlocks) {
  Document document("file:///a", 1,
                    "  MODULE = CTRL,0\r\n"
                    " PARTITION P = P,101,1,100\r\n"
                    "  EVENT CTRL.INIT\r\n"
                    "IF FLAGS(FACFAIL)\r\n"
                    "       BREAK\r\n"
                    "else\r\n"
                    "\tDELAY(5)\r\n"
                    "IFFY = 1\r\n"
                    "ENDIF\r\n"
                    "   \r\n"
                    "; note\r\n"
                    "EVENTEND\n");
  EXPECT_EQ(Apply(document, FormattingEdits(document, 2)),
            "  MODULE = CTRL,0\r\n"
            " PARTITION P = P,101,1,100\r\n"
            "EVENT CTRL.INIT\r\n"
            "  IF FLAGS(FACFAIL)\r\n"
            "    BREAK\r\n"
            "  else\r\n"
            "    \tDELAY(5)\r\n"
            "    IFFY = 1\r\n"
            "  ENDIF\r\n"
            "\r\n"
            "  ; note\r\n"
            "EVENTEND\n");
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
