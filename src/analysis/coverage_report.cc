#include "analysis/coverage_report.h"

#include <algorithm>
#include <map>

#include "analysis/code_walk.h"
#include "core/lang/opcodes.h"

namespace vigil::analysis {
namespace {

std::string Share(size_t part, size_t whole) {
  std::string text = std::to_string(part) + " of " + std::to_string(whole);
  if (whole > 0) text += " (" + std::to_string(part * 100 / whole) + "%)";
  return text;
}

long Count(const std::map<int, long>& runs, int offset) {
  auto it = runs.find(offset);
  return it != runs.end() ? it->second : 0;
}

}  // namespace

CoverageReport MakeCoverageReport(const sim::Program& program, const sim::Coverage& coverage) {
  std::map<int, LineCoverage> lines;
  std::map<int, BranchCoverage> branches;
  for (const sim::Program::Block& block : program.blocks) {
    for (int pc : InstructionOffsets(program, block)) {
      if (IsElse(program, pc)) continue;
      int line = program.bytes[static_cast<size_t>(pc)].line;
      auto [it, added] = lines.emplace(line, LineCoverage{line, Count(coverage.runs, pc), ""});
      if (added) {
        auto text = program.line_texts.find(line);
        if (text != program.line_texts.end()) it->second.text = text->second;
      }
      if (program.code[static_cast<size_t>(pc)] == static_cast<int>(Op::kIf)) {
        auto ways = coverage.branch.find(pc);
        BranchCoverage branch{line, 0, 0};
        if (ways != coverage.branch.end()) branch = {line, ways->second[0], ways->second[1]};
        branches.emplace(line, branch);
      }
    }
  }
  CoverageReport report;
  for (auto& entry : lines) report.lines.push_back(std::move(entry.second));
  for (auto& entry : branches) report.branches.push_back(entry.second);
  return report;
}

std::string CoverageSummary(const CoverageReport& report) {
  size_t lines_run = static_cast<size_t>(std::count_if(
      report.lines.begin(), report.lines.end(), [](const LineCoverage& l) { return l.runs > 0; }));
  size_t ways = 0;
  for (const BranchCoverage& branch : report.branches) {
    ways += (branch.held > 0 ? 1u : 0u) + (branch.failed > 0 ? 1u : 0u);
  }
  std::string text = "coverage: " + Share(lines_run, report.lines.size()) + " lines, " +
                     Share(ways, report.branches.size() * 2) + " IF branches\n";
  for (const LineCoverage& line : report.lines) {
    if (line.runs == 0)
      text += "  line " + std::to_string(line.line) + " not run: " + line.text + "\n";
  }
  for (const BranchCoverage& branch : report.branches) {
    if (branch.held > 0 && branch.failed > 0) continue;
    if (branch.held == 0 && branch.failed == 0) continue;  // its line is listed as not run
    text += "  line " + std::to_string(branch.line) + " IF never " +
            (branch.held == 0 ? "held" : "failed") + "\n";
  }
  return text;
}

std::string CoverageJson(const CoverageReport& report) {
  std::string summary = CoverageSummary(report);
  summary = summary.substr(std::string_view("coverage: ").size(),
                           summary.find('\n') - std::string_view("coverage: ").size());
  std::string lines;
  for (const LineCoverage& line : report.lines) {
    lines += std::string(lines.empty() ? "" : ", ") + "{\"line\": " + std::to_string(line.line) +
             ", \"runs\": " + std::to_string(line.runs) + "}";
  }
  std::string branches;
  for (const BranchCoverage& branch : report.branches) {
    branches += std::string(branches.empty() ? "" : ", ") +
                "{\"line\": " + std::to_string(branch.line) +
                ", \"held\": " + std::to_string(branch.held) +
                ", \"failed\": " + std::to_string(branch.failed) + "}";
  }
  return "{\"summary\": \"" + summary + "\", \"lines\": [" + lines + "], \"branches\": [" +
         branches + "]}\n";
}

std::string CoverageLcov(const CoverageReport& report, std::string_view script) {
  std::string text = "TN:\nSF:" + std::string(script) + "\n";
  size_t ways = 0;
  for (size_t i = 0; i < report.branches.size(); ++i) {
    const BranchCoverage& branch = report.branches[i];
    bool run = branch.held > 0 || branch.failed > 0;
    const long taken[] = {branch.held, branch.failed};
    for (int way = 0; way < 2; ++way) {
      ways += taken[way] > 0 ? 1 : 0;
      text += "BRDA:" + std::to_string(branch.line) + "," + std::to_string(i) + "," +
              std::to_string(way) + "," + (run ? std::to_string(taken[way]) : "-") + "\n";
    }
  }
  text +=
      "BRF:" + std::to_string(report.branches.size() * 2) + "\nBRH:" + std::to_string(ways) + "\n";
  size_t hit = 0;
  for (const LineCoverage& line : report.lines) {
    hit += line.runs > 0 ? 1 : 0;
    text += "DA:" + std::to_string(line.line) + "," + std::to_string(line.runs) + "\n";
  }
  text += "LF:" + std::to_string(report.lines.size()) + "\nLH:" + std::to_string(hit) +
          "\nend_of_record\n";
  return text;
}

}  // namespace vigil::analysis
