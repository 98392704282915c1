#include "runtime/core/notify.h"

#include <windows.h>

#include "runtime/core/error_report.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/system_texts.h"
#include "runtime/core/unit_type.h"
#include "runtime/lib/com_object.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/values.h"

namespace zl {
namespace {

// A runtime object around a native window it does not own (codes 1007-1011).
struct NativeWindowWrapper {
  HWND hwnd;
};

// The program's default icons, loaded once from the resource "DEFAULT_ICON".
HICON* DefaultIcons() {
  RuntimeKernel& kernel = Kernel();
  if (!kernel.defaultIcons[0]) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    kernel.defaultIcons[0] = static_cast<HICON>(
        LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), 0));
    kernel.defaultIcons[1] = static_cast<HICON>(
        LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), 0));
  }
  return kernel.defaultIcons;
}

// Code 2001: a numeric argument record as a 32-bit integer.
int32_t NumericToInt(const ArgRecord& value) {
  switch (value.type) {
    case kTypeByte: return static_cast<int32_t>(value.low & 0xFF);
    case kTypeShortInt: return static_cast<int16_t>(value.low & 0xFFFF);
    case kTypeInt:
    case kTypeLongInt: return value.Int();
    case kTypeFloat: return static_cast<int32_t>(value.Float());
    case kTypeDouble: return static_cast<int32_t>(value.Double());
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

const UnitTypeDescriptor* RuntimeKernel::FindUnitType(uint32_t typeCode) const {
  const uint32_t library = typeCode >> 16;
  const uint32_t index = typeCode & 0xFFFF;
  if (library == 0 || library > libraries.size() || index == 0) return nullptr;
  const SupportLibraryRecord* record = libraries[library - 1];
  if (!record || index > record->unitTypeCount) return nullptr;
  const UnitTypeDescriptor* type = &record->unitTypes[index - 1];
  return type->selector ? type : nullptr;
}

intptr_t __stdcall Notify(int32_t code, intptr_t arg1, intptr_t arg2) {
  RuntimeKernel& kernel = Kernel();
  switch (code) {
    case 1000: return reinterpret_cast<intptr_t>(DefaultIcons());
    case 1001: return reinterpret_cast<intptr_t>(&kernel.windowTable);
    case 1002: return reinterpret_cast<intptr_t>(kernel.FindUnitType(static_cast<uint32_t>(arg1)));
    case 1005: return kRuntimeInterfaceVersion;
    case 1006: {
      auto* buffer = reinterpret_cast<char*>(arg2);
      if (!buffer) return 0;
      const std::string* path = nullptr;
      if (arg1 == 1 || arg1 == 2001) path = &kernel.programFolderWithSlash;
      else if (arg1 == 2002) path = &kernel.programFileName;
      lstrcpynA(buffer, path ? path->c_str() : "", MAX_PATH);
      return 0;
    }
    case 1007: return reinterpret_cast<intptr_t>(new NativeWindowWrapper{reinterpret_cast<HWND>(arg1)});
    case 1008: delete reinterpret_cast<NativeWindowWrapper*>(arg1); return 0;
    case 1009: {
      auto* wrapper = reinterpret_cast<NativeWindowWrapper*>(arg1);
      if (!wrapper) return 0;
      HWND hwnd = wrapper->hwnd;
      wrapper->hwnd = nullptr;
      return reinterpret_cast<intptr_t>(hwnd);
    }
    case 1010: {
      auto* wrapper = reinterpret_cast<NativeWindowWrapper*>(arg1);
      return wrapper ? reinterpret_cast<intptr_t>(wrapper->hwnd) : 0;
    }
    case 1011: {
      auto* wrapper = reinterpret_cast<NativeWindowWrapper*>(arg1);
      if (!wrapper || wrapper->hwnd) return 0;
      wrapper->hwnd = reinterpret_cast<HWND>(arg2);
      return 1;
    }
    case 1012: {
      auto* words = reinterpret_cast<const intptr_t*>(arg1);  // window, routine, argument
      if (words) {
        kernel.AddIdleCallback(reinterpret_cast<HWND>(words[0]),
                               reinterpret_cast<void (*)(intptr_t)>(words[1]), words[2]);
      }
      return 0;
    }
    case 1013: kernel.RemoveIdleCallback(reinterpret_cast<HWND>(arg1)); return 0;
    case 2001: return NumericToInt(*reinterpret_cast<const ArgRecord*>(arg1));
    case 2003: return reinterpret_cast<intptr_t>(kernel.programFolder.c_str());
    case 2004: return reinterpret_cast<intptr_t>(kernel.programFileName.c_str());
    case 2009: kernel.DispatchWaitingMessages(); kernel.SuppressEvents(); return 0;
    case 2010: kernel.DispatchWaitingMessages(); kernel.ResumeEvents(); return 0;
    case 2014: kernel.CloseOwnedObjects(); return 0;
    case 2018: kernel.DispatchWaitingMessages(); return 0;
    case 2024: {
      const auto size = static_cast<size_t>(arg1);
      return reinterpret_cast<intptr_t>(arg2 ? RtTryAlloc(size) : RtAlloc(size));
    }
    case 2025: RtFree(reinterpret_cast<void*>(arg1)); return 0;
    case 2026: return reinterpret_cast<intptr_t>(RtRealloc(reinterpret_cast<void*>(arg1),
                                                          static_cast<size_t>(arg2)));
    case 2027: ReportRuntimeError(reinterpret_cast<const char*>(arg1), 0);
    case 2028: kernel.EndProgram(static_cast<int32_t>(arg1));
    case 2029: return UnitTypeKind(static_cast<uint32_t>(arg1));
    case 2030: return kernel.programKind;
    case 2032: return kernel.OnMainThread([&] { return static_cast<intptr_t>(kernel.windowTable.size()); });
    case 2033: return kernel.OnMainThread([&] { return WindowHandleAt(arg1); });
    case 2035: ClearComObject(reinterpret_cast<ComObjectBlock*>(arg1)); return 0;  // the holder block stays
    case 2000:
    case 2005:
    case 2006:
    case 2007:
    case 2008:
    case 2031:
      // The unit manager's state belongs to the window thread: other threads' requests run there.
      if (!kernel.unitServices) return 0;
      return kernel.OnMainThread([&] { return kernel.unitServices(code, arg1, arg2); });
    default: return 0;
  }
}

}  // namespace zl
