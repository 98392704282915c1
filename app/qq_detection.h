// Checking for the QQ client when the main window is created.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "runtime/core/program_descriptor.h"

namespace zl::app {

// The client's process image name.
inline constexpr char kClientImageName[] = "QQ.exe";

// Whether a process of that image name runs (ASCII letters compared without case).
bool ProcessExists(const char* imageName);
// The image names of all processes, in snapshot order, into `names` (replaced);
// answers their number (0, and `names` untouched, when no snapshot could be taken).
int32_t ListProcesses(std::vector<std::string>& names);

// The main window's created event: starts the match collector thread, then tells the
// user in the run log how many QQ clients run (and, when none does, in a message box).
HandlerResult OnWindowCreated(std::span<const uint32_t>);

}  // namespace zl::app
