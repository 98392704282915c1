// The run log: the application's one way of reporting progress.
#pragma once

namespace zl::app {

// Appends a line (the text and "\r\n") to the run log; from any thread.
void LogLine(const char* text);

}  // namespace zl::app
