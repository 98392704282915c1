// The run-time error report: what ends the program when the runtime cannot go on.
#pragma once

#include <cstdint>
#include <string>

namespace zl {

// The report's text for a message and an error number (0: no number line).
std::string BuildErrorReportText(const char* message, int32_t number);
// Shows the report, empties the clean-up list and ends the program with exit code -1.
[[noreturn]] void ReportRuntimeError(const char* message, int32_t number = 0);
// Reports one of the numbered run-time errors 1-11 (entry slot 0).
[[noreturn]] void ReportNumberedError(int32_t number);

}  // namespace zl
