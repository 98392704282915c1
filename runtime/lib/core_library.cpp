#include "runtime/lib/core_library.h"

#include <atomic>

#include "runtime/core/notify_codes.h"
#include "runtime/lib/automation_commands.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/edit_commands.h"
#include "runtime/lib/system_commands.h"
#include "runtime/lib/text_commands.h"
#include "runtime/lib/variant_commands.h"

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
    &ObjClear,       // 10
    &ObjCreate,      // 11
    &ObjSetProperty, // 12
    &ReplaceText,    // 13
    &VarSet,         // 14
    &ObjCallObject,  // 15
    &ObjIsEmpty,     // 16
    &ObjGetText,     // 17
    &ObjCallText,    // 18
    &VarReset,       // 19
    &ObjGetNumber,   // 20
    &ObjGetObject,   // 21
    &ObjGetVariant,  // 22
    &VarGetText,     // 23
    &ObjCopy,        // 24
    &VarCopy,        // 25
};

NotifyFn CoreLibraryNotifyEntry() { return g_notifyEntry.load(); }

}  // namespace zl
