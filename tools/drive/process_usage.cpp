#include "tools/drive/process_usage.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "runtime/core/win_handles.h"
#include "tools/drive/heap_probe.h"

namespace zl::drive {
namespace {

// SystemHandleInformation and its records, as ntdll lays them out.
constexpr SYSTEM_INFORMATION_CLASS kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
struct HandleEntry {
  ULONG processId;
  UCHAR objectType;
  UCHAR flags;
  USHORT handle;
  void* object;
  ACCESS_MASK access;
};
struct HandleList {
  ULONG count;
  HandleEntry entries[1];
};

// One entry of the GDI handle table the process block points to; a live object has a
// non-zero type. 64-bit Windows and Wine share this 24-byte layout (a 32-bit process's
// table is laid out otherwise and is not read).
struct GdiTableEntry {
  uint64_t kernelObject;
  uint16_t ownerProcess;
  uint16_t count;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userObject;
};
static_assert(sizeof(GdiTableEntry) == 24);
constexpr size_t kGdiTableEntries = 65536;
constexpr size_t kPebGdiTableOffset = 0xF8;

struct WindowCount {
  DWORD processId;
  int64_t count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
  ++reinterpret_cast<WindowCount*>(lParam)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lParam) {
  auto& count = *reinterpret_cast<WindowCount*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != count.processId) return TRUE;
  ++count.count;
  EnumChildWindows(hwnd, &CountChild, lParam);  // every descendant, not only children
  return TRUE;
}

struct ProbeSearch {
  DWORD processId;
  HWND found = nullptr;
};

BOOL CALLBACK FindHeapProbe(HWND hwnd, LPARAM lParam) {
  auto& search = *reinterpret_cast<ProbeSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char className[32] = {};
  GetClassNameA(hwnd, className, sizeof className);
  if (pid != search.processId || lstrcmpA(className, probe::kHeapProbeClass) != 0) return TRUE;
  search.found = hwnd;
  return FALSE;
}

int64_t AskHeapBlocks(DWORD processId) {
  ProbeSearch search{processId};
  EnumWindows(&FindHeapProbe, reinterpret_cast<LPARAM>(&search));
  DWORD_PTR blocks = 0;
  if (!search.found ||
      !SendMessageTimeoutA(search.found, probe::kAskLiveHeapBlocks, 0, 0, SMTO_NORMAL, 5000, &blocks)) {
    return kNotCounted;
  }
  return static_cast<int64_t>(blocks);
}

}  // namespace

int64_t CountKernelHandles(DWORD processId) {
  std::vector<std::byte> buffer(1 << 20);
  ULONG needed = 0;
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed)) == kInfoLengthMismatch) {
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
  }
  if (status != 0) return kNotCounted;
  const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
  int64_t count = 0;
  for (ULONG i = 0; i < list->count; ++i) count += list->entries[i].processId == processId;
  return count;
}

int64_t CountGdiTableEntries(HANDLE process) {
#ifndef _WIN64
  (void)process;
  return kNotCounted;
#else
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
    return kNotCounted;
  }
  uintptr_t table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const std::byte*>(basic.PebBaseAddress) + kPebGdiTableOffset,
                         &table, sizeof table, &read) ||
      !table) {
    return kNotCounted;
  }
  std::vector<GdiTableEntry> entries(kGdiTableEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(GdiTableEntry), &read)) {
    return kNotCounted;
  }
  int64_t live = 0;
  for (size_t i = 0; i < read / sizeof(GdiTableEntry); ++i) live += entries[i].type != 0;
  return live;
#endif
}

int64_t CountWindows(DWORD processId) {
  WindowCount count{processId};
  EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count.count;
}

std::optional<ProcessUsage> MeasureProcess(DWORD processId) {
  const UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process.Get()) return std::nullopt;
  ProcessUsage usage;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.Get(), &memory, sizeof memory)) {
    usage.workingSet = memory.WorkingSetSize;
    usage.peakWorkingSet = memory.PeakWorkingSetSize;
  }
  usage.handles = CountKernelHandles(processId);
  const DWORD gdi = GetGuiResources(process.Get(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(process.Get(), GR_USEROBJECTS);
  // Every process holds some of both, so zero means the call is not implemented.
  usage.gdiObjects = gdi ? static_cast<int64_t>(gdi) : CountGdiTableEntries(process.Get());
  usage.userObjects = user ? static_cast<int64_t>(user) : kNotCounted;
  usage.windows = CountWindows(processId);
  usage.heapBlocks = AskHeapBlocks(processId);
  return usage;
}

std::wstring FormatUsage(const ProcessUsage& usage) {
  return L"ws_kb=" + std::to_wstring(usage.workingSet / 1024) + L" peak_kb=" +
         std::to_wstring(usage.peakWorkingSet / 1024) + L" handles=" + std::to_wstring(usage.handles) +
         L" gdi=" + std::to_wstring(usage.gdiObjects) + L" user=" + std::to_wstring(usage.userObjects) +
         L" windows=" + std::to_wstring(usage.windows) + L" heap=" + std::to_wstring(usage.heapBlocks);
}

}  // namespace zl::drive
