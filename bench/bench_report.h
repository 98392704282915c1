// One result row of a benchmark: what was measured, its goal and whether it was met.
// Each row is appended, as one tab-separated line, to the file that the environment
// variable ZL_BENCH_RESULTS names (./dev bench gathers them into its table and
// out/bench.json); without one it is printed.
#pragma once

#include <string>

namespace zl::bench {

// How the measured value must compare with the goal.
enum class GoalKind { AtMost, Below };

struct BenchRow {
  std::string id;      // stable key, e.g. "import_100k"
  std::string title;   // what was measured
  double measured = 0;
  bool hasMeasured = false;  // false: could not be measured (detail says why)
  std::string unit;
  GoalKind goalKind = GoalKind::AtMost;
  double goal = 0;
  std::string detail;  // the figures behind the value
};

// Whether the row's value meets its goal (a row without a value does not).
bool MeetsGoal(const BenchRow& row);

// Appends the row to the results file, or prints it when none is named.
void ReportRow(const BenchRow& row);

}  // namespace zl::bench
