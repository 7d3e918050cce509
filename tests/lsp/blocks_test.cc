#include "lsp/blocks.h"

#include <gtest/gtest.h>

namespace vigil::lsp {
namespace {

struct KindCase {
  const char* text;
  LineKind kind;
};

class KindOfLineTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(KindOfLineTest, ReadsTheFirstWord) {
  EXPECT_EQ(KindOfLine(GetParam().text), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KindOfLineTest,
    ::testing::Values(
        KindCase{"", LineKind::kBlank}, KindCase{"   ", LineKind::kBlank},
        KindCase{"  ; note", LineKind::kComment}, KindCase{"event Front.Valid", LineKind::kEvent},
        KindCase{"  EVENTEND", LineKind::kEventEnd}, KindCase{"IF VISITS>3", LineKind::kIf},
        KindCase{"  else", LineKind::kElse}, KindCase{"ENDIF", LineKind::kEndIf},
        KindCase{"MODULE = CTRL,0", LineKind::kColumnOne},
        KindCase{" PARTITION P = P,101,1,100", LineKind::kColumnOne},
        KindCase{"DEVICE = FRONT.TAMPER,1", LineKind::kColumnOne},
        KindCase{"IFFY = 1", LineKind::kOther}, KindCase{"RELAY1 = ON", LineKind::kOther}));

TEST(StructureTest, NestsIfBlocksInEvents) {
  Document document("file:///a", 1,
                    "EVENT A.B\n"  // 0
                    "IF X\n"       // 1
                    "IF Y\n"       // 2
                    "R = ON\n"     // 3
                    "ELSE\n"       // 4
                    "ENDIF\n"      // 5
                    "ENDIF\n"      // 6
                    "EVENTEND\n"   // 7
                    "EVENT C.D\n"  // 8
                    "IF Z");       // 9, left open
  Structure structure = StructureOf(document);
  std::vector<int> depths;
  for (const LineShape& shape : structure.lines) depths.push_back(shape.depth);
  EXPECT_EQ(depths, (std::vector<int>{0, 1, 2, 3, 2, 2, 1, 0, 0, 1}));
  ASSERT_EQ(structure.blocks.size(), 5u);
  EXPECT_EQ(structure.blocks[0].kind, LineKind::kEvent);
  EXPECT_EQ(structure.blocks[0].last_line, 7);
  EXPECT_EQ(structure.blocks[1].first_line, 1);
  EXPECT_EQ(structure.blocks[1].last_line, 6);
  EXPECT_EQ(structure.blocks[2].last_line, 5);
  EXPECT_EQ(structure.blocks[3].first_line, 8);
  EXPECT_EQ(structure.blocks[3].last_line, 9);
  EXPECT_EQ(structure.blocks[4].last_line, 9);
  EXPECT_EQ(structure.lines[3].event_line, 0);
  EXPECT_EQ(structure.lines[9].event_line, 8);
}

TEST(StructureTest, FindsTheModuleOfTheEvent) {
  Document document("file:///a", 1,
                    "MODULE = CTRL,0\r\nMODULE = PSU1,71\r\nEVENT PSU1.STATUSCHANGED\r\n"
                    "BREAK\r\nEVENTEND\r\nBREAK");
  Structure structure = StructureOf(document);
  const C_Module* module = EventModuleOf(document, structure, 3);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->id, 71);
  EXPECT_EQ(EventModuleOf(document, structure, 5), nullptr);
  EXPECT_EQ(EventModuleOf(document, structure, 40), nullptr);
}

}  // namespace
}  // namespace vigil::lsp
