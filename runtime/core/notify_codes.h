// The numbered services of the runtime's service entry Notify.
#pragma once

#include <cstdint>

namespace zl {

enum NotifyCode : int32_t {
  kNotifyDefaultIcons = 1000,
  kNotifyWindowTable = 1001,
  kNotifyUnitType = 1002,
  kNotifyInterfaceVersion = 1005,
  kNotifyProgramPath = 1006,
  kNotifyWrapWindow = 1007,
  kNotifyDeleteWrapper = 1008,
  kNotifyDetachWrapper = 1009,
  kNotifyWrapperHandle = 1010,
  kNotifyAttachWrapper = 1011,
  kNotifyAddIdleCallback = 1012,
  kNotifyRemoveIdleCallback = 1013,
  kNotifyComponentDestroyed = 2000,
  kNotifyNumericToInt = 2001,
  kNotifyProgramFolder = 2003,
  kNotifyProgramFileName = 2004,
  kNotifyLoadWindow = 2005,
  kNotifyFindComponent = 2006,
  kNotifyFindComponentOrFail = 2007,
  kNotifyRaiseEvent = 2008,
  kNotifySuppressEvents = 2009,
  kNotifyResumeEvents = 2010,
  kNotifyCloseOwnedObjects = 2014,
  kNotifyDispatchWaiting = 2018,
  kNotifyAllocate = 2024,
  kNotifyFree = 2025,
  kNotifyReallocate = 2026,
  kNotifyRuntimeError = 2027,
  kNotifyEndProgram = 2028,
  kNotifyUnitTypeKind = 2029,
  kNotifyProgramKind = 2030,
  kNotifyRaiseTypedEvent = 2031,
  kNotifyWindowCount = 2032,
  kNotifyWindowHandle = 2033,
  kNotifyReleaseComObject = 2035,
};

// Notify codes the runtime sends to a support library.
enum LibraryNotifyCode : int32_t {
  kLibraryStart = 1,
  kLibraryEnd = 6,
};

}  // namespace zl
