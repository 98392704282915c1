#include "runtime/lib/shell_library.h"

#include "runtime/core/win_handles.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <iterator>
#include <vector>

#include "runtime/lib/blocks.h"

namespace zl {
namespace {

NotifyFn g_runtimeNotify = nullptr;  // the runtime's service entry (notify code 1)

// The runtime's Notify services this library asks for.
constexpr int32_t kNotifyWindowCount = 2032;
constexpr int32_t kNotifyWindowHandle = 2033;

// Verb numbers 1-5 of ShellOpen; anything else means the default verb.
constexpr const char* kVerbs[] = {"edit", "explore", "find", "open", "print"};
// Show modes 1-6 of ShellOpen; anything else means SW_SHOWNORMAL.
constexpr int kShowModes[] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED,
                              SW_SHOWMAXIMIZED, SW_SHOWNA, SW_MINIMIZE};

// Makes a dialog modal to the whole program while it lives: disables the
// program's top-level windows and afterwards restores their enabled states, the
// foreground window and the active window.
class ProgramModalScope {
 public:
  ProgramModalScope() {
    m_active = GetActiveWindow();
    if (m_active && !IsWindow(m_active)) m_active = nullptr;
    m_foreground = GetForegroundWindow();
    if (!g_runtimeNotify) return;
    const intptr_t windowCount = g_runtimeNotify(kNotifyWindowCount, 0, 0);
    for (intptr_t i = 0; i < windowCount; ++i) {
      auto hwnd = reinterpret_cast<HWND>(g_runtimeNotify(kNotifyWindowHandle, i, 0));
      // Top-level means no parent; an owner does not count as one.
      if (!hwnd || GetAncestor(hwnd, GA_PARENT) != GetDesktopWindow()) continue;
      m_windows.push_back({hwnd, IsWindowEnabled(hwnd) != FALSE});
      EnableWindow(hwnd, FALSE);
    }
  }
  ProgramModalScope(const ProgramModalScope&) = delete;
  ProgramModalScope& operator=(const ProgramModalScope&) = delete;

  ~ProgramModalScope() {
    for (const auto& window : m_windows) {
      if (IsWindow(window.hwnd)) EnableWindow(window.hwnd, window.enabled);
    }
    if (m_foreground && IsWindow(m_foreground)) SetForegroundWindow(m_foreground);
    if (m_active && IsWindow(m_active)) SetActiveWindow(m_active);
  }

  // The window that was active before: the dialog's owner.
  HWND Owner() const { return m_active; }

 private:
  struct WindowState {
    HWND hwnd;
    bool enabled;
  };
  HWND m_active = nullptr;      // not owned
  HWND m_foreground = nullptr;  // not owned
  std::vector<WindowState> m_windows;
};

// An optional text argument i (0-based), or `fallback` when it is not given or is no text.
const char* OptionalText(int32_t count, const ArgRecord* args, int32_t i, const char* fallback) {
  if (count <= i || args[i].type != kTypeText) return fallback;
  const char* text = args[i].Pointer<const char>();
  return text ? text : fallback;
}

}  // namespace

void BrowseFolder(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  result->low = result->high = 0;  // the empty text
  if (count < 1 || !args) return;

  char displayName[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.pidlRoot = nullptr;  // the desktop
  info.pszDisplayName = displayName;
  info.lpszTitle = OptionalText(count, args, 0, nullptr);
  info.ulFlags = BIF_EDITBOX;
  if (count > 1 && args[1].Present() && args[1].low != 0) info.ulFlags |= BIF_BROWSEINCLUDEFILES;

  PIDLIST_ABSOLUTE item = nullptr;
  {
    ProgramModalScope modal;
    info.hwndOwner = modal.Owner();
    item = SHBrowseForFolderA(&info);
  }
  if (!item) return;
  const UniqueShellBlock owner(item);  // the item list is ours to free

  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(item, path)) {
    const ArgRecord text = ArgRecord::OfPointer(result->type, CopyText(path));
    result->low = text.low;
    result->high = text.high;
  }
}

void ShellOpen(ResultRecord*, int32_t count, ArgRecord* args) {
  if (count < 2 || !args) return;
  const char* target = OptionalText(count, args, 1, nullptr);
  if (!target) return;
  const int32_t verbNumber = args[0].Present() ? args[0].Int() : 0;
  const char* verb = verbNumber >= 1 && verbNumber <= 5 ? kVerbs[verbNumber - 1] : nullptr;
  const char* parameters = OptionalText(count, args, 2, nullptr);
  const char* directory = OptionalText(count, args, 3, "");
  const int32_t showNumber = count >= 5 && args[4].Present() ? args[4].Int() : 0;
  const int show = showNumber >= 1 && showNumber <= 6 ? kShowModes[showNumber - 1] : SW_SHOWNORMAL;
  ShellExecuteA(nullptr, verb, target, parameters, directory, show);  // not reported
}

int32_t __stdcall ShellLibraryNotify(int32_t code, intptr_t arg1, intptr_t) {
  if (code != 1) return -1;
  g_runtimeNotify = reinterpret_cast<NotifyFn>(arg1);
  return 0;
}

namespace {
const CommandFn kShellCommands[] = {&BrowseFolder, &ShellOpen};
}  // namespace

const SupportLibraryRecord g_shellLibrary{
    "os", &ShellLibraryNotify, 0, nullptr, std::size(kShellCommands), kShellCommands};

}  // namespace zl
