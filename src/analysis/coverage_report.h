// What scenarios ran of a script (sim::Coverage), by line and by IF: a
// summary for `vigil test --coverage` and an lcov tracefile that genhtml and
// editors' coverage views read.
#ifndef VIGIL_ANALYSIS_COVERAGE_REPORT_H_
#define VIGIL_ANALYSIS_COVERAGE_REPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "sim/coverage.h"
#include "sim/program.h"

namespace vigil::analysis {

struct LineCoverage {
  int line = 0;
  long runs = 0;  // times its first instruction ran
  std::string text;
};

struct BranchCoverage {
  int line = 0;
  long held = 0;    // times the IF's condition held
  long failed = 0;  // times it did not
};

struct CoverageReport {
  std::vector<LineCoverage> lines;       // every line with code, in order
  std::vector<BranchCoverage> branches;  // every IF, in line order
};

CoverageReport MakeCoverageReport(const sim::Program& program, const sim::Coverage& coverage);

// "coverage: 17 of 19 lines (89%), 9 of 12 IF branches (75%)", then each line
// not run and each IF not taken both ways.
std::string CoverageSummary(const CoverageReport& report);

// {"summary": CoverageSummary's first line without "coverage: ", "lines":
// [{"line", "runs"}], "branches": [{"line", "held", "failed"}]}: what the
// web page shows in its editor.
std::string CoverageJson(const CoverageReport& report);

// An lcov tracefile for `script` (as genhtml finds it): DA per line,
// BRDA per IF (branch 0 holds, branch 1 fails), the totals.
std::string CoverageLcov(const CoverageReport& report, std::string_view script);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_COVERAGE_REPORT_H_
