// Menu shortcuts: a menu item's caption names its key after a tab, as a menu shows it
// ("打开(&O)\tCtrl+O"); the window's accelerator table is built from those names.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "runtime/core/win_handles.h"
#include "runtime/core/window_template.h"

namespace zl {

// The shortcut a caption names after its last tab, for a menu command: modifiers
// "Ctrl+", "Shift+", "Alt+" (any letter case) and a letter, a digit, F1-F24 or a
// named key; none when there is no tab or the name is not a key.
std::optional<ACCEL> ParseMenuShortcut(std::string_view caption, WORD command);

// The accelerator table of a window's menu items that are not hidden and name a
// shortcut; each item's command numbers it among the window's menu items from
// `firstCommand`. Null when no item names one.
UniqueAccelerators BuildMenuAccelerators(const TemplateWindow& window, UINT firstCommand, uint32_t hiddenFlag);

}  // namespace zl
