#include "core/decode/script_code.h"

#include <gtest/gtest.h>

#include <vector>

namespace vigil {
namespace {

// An event header belongs to its EVENT line, an instruction to its
// statement, the trailer to no line; comments, declarations and EVENTEND
// give no item. Lines are physical: a lone CR ends a line too.
TEST(ScriptCodeTest, EachItemBelongsToTheLineThatProducedIt) {
  Compilation compilation = Compile(
      "MODULE = CTRL,0\r\n"
      "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
      "; two events\r"
      "EVENT FRONT.VALID\r\n"
      "EVENTEND\r\n"
      "EVENT FRONT.INVALID\r\n"
      "  DELAY(1)\r\n"
      "  DELAY(2)\r\n"
      "EVENTEND\r\n");
  ASSERT_EQ(compilation.error_count, 0);
  Disassembly code = Disassemble(compilation.code, DeclaredNames(compilation.symbols));
  EXPECT_EQ(ItemLines(compilation, code), (std::vector<int>{4, 6, 7, 8, 0}));
}

}  // namespace
}  // namespace vigil
