// Scenario results and errors as JSON.

#include "sim/report_json.h"

#include <gtest/gtest.h>

namespace vigil::sim {
namespace {

const ScenarioError kError{4, 8, 14, "EXPECT NOSUCH = ON", "Unknown command", "E6"};

TEST(ReportJsonTest, Errors) {
  EXPECT_EQ(
      ScenarioErrorsJson({kError, {0, 0, 0, "", "no \"card\"\n", ""}}),
      "[\n  {\"line\": 4, \"column\": 8, \"end_column\": 14, \"severity\": \"error\", \"code\": "
      "\"E6\", "
      "\"message\": \"Unknown command\", \"text\": \"EXPECT NOSUCH = ON\"},\n"
      "  {\"line\": 0, \"column\": 0, \"end_column\": 0, \"severity\": \"error\", \"code\": \"\", "
      "\"message\": \"no \\\"card\\\"\\n\", \"text\": \"\"}\n]");
}

TEST(ReportJsonTest, PassedAndFailedScenarios) {
  SuiteResult suite{"s",
                    {{"opens", 1, {}, "trace 1\n"},
                     {"logs", 5, {{7, "EXPECT MARK(LATE): not archived", ""}}, "trace 2\n"}}};
  EXPECT_EQ(ScenarioReportJson({}, suite),
            "{\"passed\": 1, \"failed\": 1, \"summary\": \"1 passed, 1 failed\",\n"
            "\"errors\": [],\n"
            "\"scenarios\": [\n"
            "  {\"name\": \"opens\", \"line\": 1, \"passed\": true, \"failures\": [], "
            "\"trace\": \"trace 1\\n\"},\n"
            "  {\"name\": \"logs\", \"line\": 5, \"passed\": false, \"failures\": "
            "[{\"line\": 7, \"message\": \"EXPECT MARK(LATE): not archived\"}], "
            "\"trace\": \"trace 2\\n\"}\n"
            "]}\n");
}

}  // namespace
}  // namespace vigil::sim
