// What zl_drive.exe, the tests and app_heap_probe.exe agree on: the probe window's
// class and the message that asks it for the runtime heap's live block count.
#pragma once

#include <windows.h>

namespace zl::probe {

inline constexpr char kHeapProbeClass[] = "ZlHeapProbe";
// Answered with zl::LiveHeapBlocks() of the probe's process.
inline constexpr UINT kAskLiveHeapBlocks = WM_APP + 0x301;

}  // namespace zl::probe
