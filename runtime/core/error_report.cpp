#include "runtime/core/error_report.h"

#include <windows.h>

#include <cstdio>
#include <iterator>

#include "runtime/core/runtime_kernel.h"
#include "runtime/core/system_texts.h"

namespace zl {

namespace {

// Appends text to a fixed buffer, cutting what does not fit.
void Append(char* buffer, size_t size, size_t& used, const char* text) {
  while (*text && used + 1 < size) buffer[used++] = *text++;
  buffer[used] = '\0';
}

// Formats the report into a fixed buffer: reporting exhausted memory allocates nothing.
void FormatErrorReport(char* buffer, size_t size, const char* message, int32_t number) {
  size_t used = 0;
  buffer[0] = '\0';
  Append(buffer, size, used, texts::kErrorHeading);
  if (number != 0) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", number);
    Append(buffer, size, used, texts::kErrorCodeLabel);
    Append(buffer, size, used, digits);
    Append(buffer, size, used, "\r\n\r\n");
  }
  if (message && *message) {
    Append(buffer, size, used, texts::kErrorInfoLabel);
    Append(buffer, size, used, message);
    Append(buffer, size, used, "\r\n");
  }
}

}  // namespace

std::string BuildErrorReportText(const char* message, int32_t number) {
  char buffer[4096];
  FormatErrorReport(buffer, sizeof buffer, message, number);
  return buffer;
}

void ReportRuntimeError(const char* message, int32_t number) {
  RuntimeKernel& kernel = Kernel();
  kernel.SuppressEvents();
  // From here on the program ends with -1 and without its clean-up routines, whichever
  // thread ends it.
  kernel.NoteRuntimeError();
  char text[4096];
  FormatErrorReport(text, sizeof text, message, number);
  MessageBoxA(nullptr, text, texts::kErrorCaption, MB_ICONERROR);
  kernel.DropCleanupRoutines();
  kernel.EndProgram(-1);
}

void ReportNumberedError(int32_t number) {
  const int32_t count = static_cast<int32_t>(std::size(texts::kNumberedErrors));
  const char* message = number >= 1 && number <= count ? texts::kNumberedErrors[number - 1] : "";
  ReportRuntimeError(message, number);
}

}  // namespace zl
