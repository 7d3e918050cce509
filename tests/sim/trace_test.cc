// The trace as text and as JSON.

#include "sim/trace.h"

#include <gtest/gtest.h>

namespace vigil::sim {
namespace {

TEST(TraceTest, TextColumns) {
  TraceEntry start{TraceEntry::Kind::kEventStart,
                   0,
                   0,
                   -1,
                   0,
                   "",
                   "FRONT.VALID",
                   "(door FRONT, id 1)",
                   std::nullopt,
                   {}};
  TraceEntry test{TraceEntry::Kind::kStep,
                  0,
                  14,
                  3,
                  0,
                  "IF TIMEPLAN(2)",
                  "IF ...",
                  "TIMEPLAN(2) is OFF -> false, skip to line 17",
                  false,
                  {}};
  TraceEntry mark{TraceEntry::Kind::kStep,
                  0,
                  18,
                  9,
                  1,
                  "MARK(DENIED)",
                  "MARK(...)",
                  "archive: \"Access outside hours\"",
                  std::nullopt,
                  {}};
  TraceEntry later{TraceEntry::Kind::kStep,    0,   18,           11, 1, "",
                   "element 0 of FRONT = OFF", "x", std::nullopt, {}};
  TraceEntry resume{TraceEntry::Kind::kResume,
                    3,
                    0,
                    -1,
                    0,
                    "",
                    "FRONT.VALID",
                    "resumes after its DELAY",
                    std::nullopt,
                    {}};
  EXPECT_EQ(FormatTraceText({start, test, mark, later, resume}),
            "FRONT.VALID (door FRONT, id 1)\n"
            "    14  IF TIMEPLAN(2)              TIMEPLAN(2) is OFF -> false, skip to line 17\n"
            "    18    MARK(DENIED)              archive: \"Access outside hours\"\n"
            "    18    (element 0 of FRONT = OFF) x\n"
            "at 3 s: FRONT.VALID resumes after its DELAY\n");
}

TEST(TraceTest, Json) {
  TraceEntry step{TraceEntry::Kind::kStep,
                  2,
                  5,
                  7,
                  1,
                  "RELAY1 = ON",
                  "RELAY1 of 1 = ON",
                  "FRONT.RELAY1 OFF -> ON",
                  std::nullopt,
                  {{"FRONT.RELAY1", "OFF", "ON"}}};
  EXPECT_EQ(FormatTraceJson({step}),
            "[\n  {\"kind\": \"step\", \"time\": 2, \"line\": 5, \"offset\": 7, \"depth\": 1, "
            "\"source\": \"RELAY1 = ON\", \"instruction\": \"RELAY1 of 1 = ON\", "
            "\"effect\": \"FRONT.RELAY1 OFF -> ON\", \"changes\": [{\"what\": \"FRONT.RELAY1\", "
            "\"before\": \"OFF\", \"after\": \"ON\"}]}\n]");
  EXPECT_EQ(FormatTraceJson({}), "[]");
}

TEST(TraceTest, ChangeText) {
  EXPECT_EQ(ChangeText({"CARS", "3", "4"}), "CARS 3 -> 4");
  EXPECT_EQ(ChangeText({"FRONT.RELAY1", "OFF", "OFF"}), "FRONT.RELAY1 stays OFF");
}

}  // namespace
}  // namespace vigil::sim
