#include "bench/bench_report.h"

#include <cstdio>
#include <cstdlib>

namespace zl::bench {
namespace {

// Tabs and line ends would split the line; nothing in a row needs them.
std::string Field(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::string Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

}  // namespace

bool MeetsGoal(const BenchRow& row) {
  if (!row.hasMeasured) return false;
  return row.goalKind == GoalKind::AtMost ? row.measured <= row.goal : row.measured < row.goal;
}

void ReportRow(const BenchRow& row) {
  const std::string goalOperator = row.goalKind == GoalKind::AtMost ? "<=" : "<";
  const std::string measured = row.hasMeasured ? Number(row.measured) : "-";
  const char* path = std::getenv("ZL_BENCH_RESULTS");
  FILE* file = path && *path ? std::fopen(path, "ab") : nullptr;
  if (!file) {
    // Run on its own: the row goes to the terminal.
    std::printf("%-12s %10s %-4s goal %s %s  %s  (%s)\n", row.id.c_str(), measured.c_str(), row.unit.c_str(),
                goalOperator.c_str(), Number(row.goal).c_str(), MeetsGoal(row) ? "pass" : "FAIL", row.detail.c_str());
    std::fflush(stdout);
    return;
  }
  const std::string line = Field(row.id) + '\t' + Field(row.title) + '\t' + measured + '\t' + Field(row.unit) + '\t' +
                           goalOperator + '\t' + Number(row.goal) + '\t' + (MeetsGoal(row) ? "pass" : "fail") + '\t' +
                           Field(row.detail) + '\n';
  std::fputs(line.c_str(), file);
  std::fclose(file);
}

}  // namespace zl::bench
