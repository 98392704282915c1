#include "runtime/lib/core_library.h"

#include <atomic>

#include "runtime/core/notify_codes.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/edit_commands.h"
#include "runtime/lib/system_commands.h"
#include "runtime/lib/text_commands.h"

namespace zl {
namespace {

std::atomic<NotifyFn> g_notifyEntry{nullptr};

}  // namespace

int32_t __stdcall CoreLibraryNotify(int32_t code, intptr_t arg1, intptr_t) {
  if (code != kLibraryStart) return -1;
  g_notifyEntry.store(reinterpret_cast<NotifyFn>(arg1));
  return 0;
}

const CommandFn g_coreCommands[kCoreCommandCount] = {
    &AddText,        // 0
    &ToText,         // 1
    &MsgBox,         // 2
    &ToLower,        // 3
    &FindText,       // 4
    &ReadFileBytes,  // 5
    &SplitText,      // 6
    &ToInt,          // 7
    &Delay,          // 8
    &Spaces,         // 9
    nullptr,         // 10 ObjClear
    nullptr,         // 11 ObjCreate
    nullptr,         // 12 ObjSetProperty
    &ReplaceText,    // 13
    nullptr,         // 14 VarSet
    nullptr,         // 15 ObjCallObject
    nullptr,         // 16 ObjIsEmpty
    nullptr,         // 17 ObjGetText
    nullptr,         // 18 ObjCallText
    nullptr,         // 19 VarReset
    nullptr,         // 20 ObjGetNumber
    nullptr,         // 21 ObjGetObject
    nullptr,         // 22 ObjGetVariant
    nullptr,         // 23 VarGetText
    nullptr,         // 24 ObjCopy
    nullptr,         // 25 VarCopy
};

NotifyFn CoreLibraryNotifyEntry() { return g_notifyEntry.load(); }

}  // namespace zl
