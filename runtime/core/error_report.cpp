#include "runtime/core/error_report.h"

#include <windows.h>

#include <cstdio>
#include <iterator>

#include "runtime/core/runtime_kernel.h"
#include "runtime/core/system_texts.h"

namespace zl {

std::string BuildErrorReportText(const char* message, int32_t number) {
  std::string text = texts::kErrorHeading;
  if (number != 0) {
    text += texts::kErrorCodeLabel;
    text += std::to_string(number);
    text += "\r\n\r\n";
  }
  if (message && *message) {
    text += texts::kErrorInfoLabel;
    text += message;
    text += "\r\n";
  }
  return text;
}

void ReportRuntimeError(const char* message, int32_t number) {
  RuntimeKernel& kernel = Kernel();
  kernel.SuppressEvents();
  const std::string text = BuildErrorReportText(message, number);
  MessageBoxA(nullptr, text.c_str(), texts::kErrorCaption, MB_ICONERROR);
  // Clean-up routines do not run after a run-time error.
  kernel.cleanupRoutines.clear();
  kernel.EndProgram(-1);
}

void ReportNumberedError(int32_t number) {
  const int32_t count = static_cast<int32_t>(std::size(texts::kNumberedErrors));
  const char* message = number >= 1 && number <= count ? texts::kNumberedErrors[number - 1] : "";
  ReportRuntimeError(message, number);
}

}  // namespace zl
