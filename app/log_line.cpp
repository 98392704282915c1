#include "app/log_line.h"

#include <string>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "runtime/lib/edit_commands.h"

namespace zl::app {

void LogLine(const char* text) {
  const std::string line = std::string(text ? text : "") + texts::kLineEnd;
  CallVoid(&AddText, RunLog(), Arg::Text(line.c_str()));
}

}  // namespace zl::app
