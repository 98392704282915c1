#include "runtime/lib/edit_commands.h"

#include <windows.h>

#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/unit_object.h"
#include "runtime/lib/command_args.h"

namespace zl {
namespace {

// The unit type code of the edit box (core library, table index 4).
constexpr TypeCode kEditBoxArgType = 0x00010005;

}  // namespace

void AddText(ResultRecord*, int32_t count, ArgRecord* args) {
  const ArgList a(count, args);
  const ArgRecord box = a[0];
  if (box.type != kEditBoxArgType) return;
  // The whole sequence runs on the window thread, so that nothing the window thread does
  // meanwhile (typing, another AddText) can come between reading the length and the
  // replacement, and the component is never touched from another thread.
  Kernel().OnMainThread([&] {
    // A pair that names no live component ends in the run-time error report.
    const auto* unit = reinterpret_cast<UnitObject*>(Notify(kNotifyFindComponentOrFail, box.low, box.high));
    if (!unit || unit->TypeCode() != kEditBoxArgType) return;
    const HWND hwnd = unit->Hwnd();
    if (!hwnd) return;
    for (int32_t i = 1; i < a.Count(); ++i) {
      if (a[i].type != kTypeText) continue;
      const char* text = a[i].Pointer<const char>();
      const LRESULT length = GetWindowTextLengthA(hwnd);
      SendMessageA(hwnd, EM_SETSEL, static_cast<WPARAM>(length), length);
      SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
      SendMessageA(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text ? text : ""));
    }
  });
}

}  // namespace zl
