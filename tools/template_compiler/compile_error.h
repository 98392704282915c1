// A diagnostic of the template tools: where in which file, and what is wrong.
#pragma once

#include <cstdint>
#include <string>

namespace zl::tools {

struct CompileError {
  std::string file;
  uint32_t line = 0;    // 0: the file as a whole
  uint32_t column = 0;  // 0: the line as a whole
  std::string message;

  // "file:line:column: error: message" (line and column only when known).
  std::string Text() const {
    std::string text = file;
    if (line) text += ":" + std::to_string(line);
    if (line && column) text += ":" + std::to_string(column);
    return text + ": error: " + message;
  }
};

}  // namespace zl::tools
