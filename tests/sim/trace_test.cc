// The trace as text and as JSON. An event's first line and its steps in
// columns: tests/e2e/vigil_sim_test.cc.

#include "sim/trace.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "sim/result.h"

namespace vigil::sim {
namespace {

TraceEntry Entry(TraceEntry::Kind kind, int time, int line, int depth, std::string source,
                 std::string instruction, std::string effect) {
  TraceEntry entry;
  entry.kind = kind;
  entry.time = time;
  entry.line = line;
  entry.depth = depth;
  entry.source = std::move(source);
  entry.instruction = std::move(instruction);
  entry.effect = std::move(effect);
  return entry;
}

TEST(TraceTest, TextColumns) {
  using Kind = TraceEntry::Kind;
  EXPECT_EQ(FormatTraceText({
                Entry(Kind::kStep, 0, 18, 1, "MARK(DENIED)", "MARK(...)", "archive: \"late\""),
                // A line's later instruction shows what it is; the longest source
                // (2 + 26 characters) sets the column of every effect.
                Entry(Kind::kStep, 0, 18, 1, "", "element 0 of FRONT = OFF", "x"),
                Entry(Kind::kResume, 3, 0, 0, "", "FRONT.VALID", "resumes after its DELAY"),
                Entry(Kind::kStep, 3, 19, 0, "", "FRONT = OFF  (part of DOOR)", "y"),
            }),
            "    18    MARK(DENIED)                archive: \"late\"\n"
            "    18    (element 0 of FRONT = OFF)  x\n"
            "at 3 s: FRONT.VALID resumes after its DELAY\n"
            "    19  (part of DOOR)                y\n");
  // A source longer than 60 characters is cut.
  std::string line = FormatTraceText({Entry(Kind::kStep, 0, 1, 0, std::string(70, 'A'), "", "z")});
  EXPECT_EQ(line, "     1  " + std::string(57, 'A') + "...  z\n");
}

TEST(TraceTest, Json) {
  TraceEntry step = Entry(TraceEntry::Kind::kStep, 2, 5, 1, "RELAY1 = ON", "RELAY1 of 1 = ON",
                          "FRONT.RELAY1 OFF -> ON");
  step.offset = 7;
  step.changes = {{"FRONT.RELAY1", "OFF", "ON"}};
  EXPECT_EQ(FormatTraceJson({step}),
            "[\n  {\"kind\": \"step\", \"time\": 2, \"line\": 5, \"offset\": 7, \"depth\": 1, "
            "\"source\": \"RELAY1 = ON\", \"instruction\": \"RELAY1 of 1 = ON\", "
            "\"effect\": \"FRONT.RELAY1 OFF -> ON\", \"changes\": [{\"what\": \"FRONT.RELAY1\", "
            "\"before\": false, \"after\": true}]}\n]");
  EXPECT_EQ(FormatTraceJson({}), "[]");
}

TEST(TraceTest, ChangeText) {
  EXPECT_EQ(ChangeText({"CARS", "3", "4"}), "CARS 3 -> 4");
  EXPECT_EQ(ChangeText({"FRONT.RELAY1", "OFF", "OFF"}), "FRONT.RELAY1 stays OFF");
}

TEST(TraceTest, ChangeValuesAreTyped) {
  const std::pair<std::string, std::string> cases[] = {
      {"ON", "true"},
      {"OFF", "false"},
      {"0", "0"},
      {"255", "255"},
      {"open (5 s left)", "\"open (5 s left)\""},
      {"", "\"\""},
      {"12345678901", "\"12345678901\""},  // too long for a state: text
  };
  for (const auto& [value, json] : cases) EXPECT_EQ(JsonValue(value), json) << value;
}

}  // namespace
}  // namespace vigil::sim
