#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"

#include <windows.h>

#include "runtime/core/error_report.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/system_texts.h"
#include "runtime/core/unit_type.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/values.h"

namespace zl {
namespace {

// A runtime object around a native window it does not own (codes 1007-1011).
struct NativeWindowWrapper {
  HWND hwnd;
};

// Code 2001: a numeric argument record as a 32-bit integer.
int32_t NumericToInt(const ArgRecord& value) {
  switch (value.type) {
    case kTypeByte: return static_cast<int32_t>(value.low & 0xFF);
    case kTypeShortInt: return static_cast<int16_t>(value.low & 0xFFFF);
    case kTypeInt:
    case kTypeLongInt: return value.Int();
    // Truncated as ToInt does: NaN and values beyond 32 bits have no defined cast.
    case kTypeFloat: return TruncateToInt(value.Float());
    case kTypeDouble: return TruncateToInt(value.Double());
    default: ReportRuntimeError(texts::kNotNumeric, 0);
  }
}

// Code 2029: 2 for a window-kind type, 1 for a visual type, else 0.
intptr_t UnitTypeKind(uint32_t typeCode) {
  const UnitTypeDescriptor* type = Kernel().FindUnitType(typeCode);
  if (!type) return 0;
  if (type->stateFlags & kUnitTypeWindowKind) return 2;
  if (type->stateFlags & kUnitTypeDispatchesEvents) return 1;
  return 0;
}

// Code 2033: the live handle of window number i of the table, else 0.
intptr_t WindowHandleAt(intptr_t index) {
  const auto& table = Kernel().windowTable;
  if (index < 0 || static_cast<size_t>(index) >= table.size()) return 0;
  HWND hwnd = table[static_cast<size_t>(index)]->hwnd;
  return hwnd && IsWindow(hwnd) ? reinterpret_cast<intptr_t>(hwnd) : 0;
}

}  // namespace

intptr_t __stdcall Notify(int32_t code, intptr_t arg1, intptr_t arg2) {
  RuntimeKernel& kernel = Kernel();
  switch (code) {
    case kNotifyDefaultIcons: return reinterpret_cast<intptr_t>(kernel.DefaultIcons());
    case kNotifyWindowTable: return reinterpret_cast<intptr_t>(&kernel.windowTable);
    case kNotifyUnitType: return reinterpret_cast<intptr_t>(kernel.FindUnitType(static_cast<uint32_t>(arg1)));
    case kNotifyInterfaceVersion: return kRuntimeInterfaceVersion;
    case kNotifyProgramPath: {
      auto* buffer = reinterpret_cast<char*>(arg2);
      if (!buffer) return 0;
      const std::string* path = nullptr;
      if (arg1 == 1 || arg1 == 2001) path = &kernel.programFolderWithSlash;
      else if (arg1 == 2002) path = &kernel.programFileName;
      lstrcpynA(buffer, path ? path->c_str() : "", MAX_PATH);
      return 0;
    }
    case kNotifyWrapWindow: return reinterpret_cast<intptr_t>(new NativeWindowWrapper{reinterpret_cast<HWND>(arg1)});
    case kNotifyDeleteWrapper: delete reinterpret_cast<NativeWindowWrapper*>(arg1); return 0;
    case kNotifyDetachWrapper: {
      auto* wrapper = reinterpret_cast<NativeWindowWrapper*>(arg1);
      if (!wrapper) return 0;
      HWND hwnd = wrapper->hwnd;
      wrapper->hwnd = nullptr;
      return reinterpret_cast<intptr_t>(hwnd);
    }
    case kNotifyWrapperHandle: {
      auto* wrapper = reinterpret_cast<NativeWindowWrapper*>(arg1);
      return wrapper ? reinterpret_cast<intptr_t>(wrapper->hwnd) : 0;
    }
    case kNotifyAttachWrapper: {
      auto* wrapper = reinterpret_cast<NativeWindowWrapper*>(arg1);
      if (!wrapper || wrapper->hwnd) return 0;
      wrapper->hwnd = reinterpret_cast<HWND>(arg2);
      return 1;
    }
    case kNotifyAddIdleCallback: {
      auto* words = reinterpret_cast<const intptr_t*>(arg1);  // window, routine, argument
      if (words) {
        kernel.AddIdleCallback(reinterpret_cast<HWND>(words[0]),
                               reinterpret_cast<void (*)(intptr_t)>(words[1]), words[2]);
      }
      return 0;
    }
    case kNotifyRemoveIdleCallback: kernel.RemoveIdleCallback(reinterpret_cast<HWND>(arg1)); return 0;
    case kNotifyNumericToInt: return NumericToInt(*reinterpret_cast<const ArgRecord*>(arg1));
    case kNotifyProgramFolder: return reinterpret_cast<intptr_t>(kernel.programFolder.c_str());
    case kNotifyProgramFileName: return reinterpret_cast<intptr_t>(kernel.programFileName.c_str());
    case kNotifySuppressEvents: kernel.DispatchWaitingMessages(); kernel.SuppressEvents(); return 0;
    case kNotifyResumeEvents: kernel.DispatchWaitingMessages(); kernel.ResumeEvents(); return 0;
    case kNotifyCloseOwnedObjects: kernel.CloseOwnedObjects(); return 0;
    case kNotifyDispatchWaiting: kernel.DispatchWaitingMessages(); return 0;
    case kNotifyAllocate: {
      const auto size = static_cast<size_t>(arg1);
      return reinterpret_cast<intptr_t>(arg2 ? RtTryAlloc(size) : RtAlloc(size));
    }
    case kNotifyFree: RtFree(reinterpret_cast<void*>(arg1)); return 0;
    case kNotifyReallocate: return reinterpret_cast<intptr_t>(RtRealloc(reinterpret_cast<void*>(arg1),
                                                          static_cast<size_t>(arg2)));
    case kNotifyRuntimeError: ReportRuntimeError(reinterpret_cast<const char*>(arg1), 0);
    case kNotifyEndProgram: kernel.EndProgram(static_cast<int32_t>(arg1));
    case kNotifyUnitTypeKind: return UnitTypeKind(static_cast<uint32_t>(arg1));
    case kNotifyProgramKind: return kernel.programKind;
    case kNotifyWindowCount: return kernel.OnMainThread([&] { return static_cast<intptr_t>(kernel.windowTable.size()); });
    case kNotifyWindowHandle: return kernel.OnMainThread([&] { return WindowHandleAt(arg1); });
    case kNotifyReleaseComObject: ClearComObject(reinterpret_cast<ComObjectBlock*>(arg1)); return 0;  // the holder block stays
    case kNotifyComponentDestroyed:
    case kNotifyLoadWindow:
    case kNotifyFindComponent:
    case kNotifyFindComponentOrFail:
    case kNotifyRaiseEvent:
    case kNotifyRaiseTypedEvent:
      // The unit manager's state belongs to the window thread: other threads' requests run there.
      if (UnitServices* units = kernel.unitServices) {
        return kernel.OnMainThread([&] { return units->AnswerNotify(code, arg1, arg2); });
      }
      return 0;
    default: return 0;
  }
}

}  // namespace zl
