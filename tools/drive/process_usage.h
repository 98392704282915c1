// What a process holds, read from outside (or from inside, given its own id): memory,
// kernel handles, GDI and USER objects, windows, and the runtime heap's live blocks when
// the process answers for them. Wine 8 answers GetGuiResources and GetProcessHandleCount
// with 0, so GDI objects and handles are also counted from what the system lists.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace zl::drive {

inline constexpr int64_t kNotCounted = -1;

struct ProcessUsage {
  uint64_t workingSet = 0;
  uint64_t peakWorkingSet = 0;
  int64_t handles = kNotCounted;        // kernel handles the system lists for the process
  int64_t gdiObjects = kNotCounted;     // GetGuiResources, or the live entries of its GDI handle table
  int64_t userObjects = kNotCounted;    // GetGuiResources (0 under Wine 8: then kNotCounted)
  int64_t windows = kNotCounted;        // its top-level and child windows
  int64_t heapBlocks = kNotCounted;     // runtime heap blocks, when a heap probe window answers
};

// The usage of process `processId`; nothing when it cannot be opened.
std::optional<ProcessUsage> MeasureProcess(DWORD processId);
// Kernel handles of a process as the system's handle list gives them (kNotCounted: unreadable).
int64_t CountKernelHandles(DWORD processId);
// Live entries of a process's GDI handle table, read through its process block.
int64_t CountGdiTableEntries(HANDLE process);
// The process's top-level windows and their descendants.
int64_t CountWindows(DWORD processId);
// One line for logs: "ws_kb=... peak_kb=... handles=... gdi=... user=... windows=... heap=...".
std::wstring FormatUsage(const ProcessUsage& usage);

}  // namespace zl::drive
