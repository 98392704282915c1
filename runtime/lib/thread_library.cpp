#include "runtime/lib/thread_library.h"

#include <iterator>
#include <memory>
#include <new>

#include "runtime/lib/heap.h"

namespace zl {
namespace {

// One permit of the list: the critical section, then the link to the next node.
struct PermitNode {
  CRITICAL_SECTION section;
  PermitNode* next;
};

PermitNode* g_permits = nullptr;     // head of the permit list, empty at start
NotifyFn g_runtimeNotify = nullptr;  // the runtime's service entry (notify code 1)

// What the new thread needs to call the subprogram; the thread frees it.
struct ThreadStart {
  Subprogram routine;
  uint32_t parameter;
};

// Thread start routine: calls the subprogram with its parameter and ends the
// thread with the subprogram's return value.
DWORD WINAPI RunSubprogram(void* data) {
  const ThreadStart start = *static_cast<ThreadStart*>(data);
  delete static_cast<ThreadStart*>(data);
  return start.routine(start.parameter);
}

// Deletes every permit and empties the list.
void DeleteAllPermits() {
  PermitNode* node = g_permits;
  while (node) {
    DeleteCriticalSection(&node->section);
    PermitNode* next = node->next;
    RtFree(node);
    node = next;
  }
  g_permits = nullptr;
}

}  // namespace

void StartThread(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  result->low = result->high = 0;
  if (count < 1 || !args) return;
  const bool wantsHandle = count >= 3 && args[2].Present();
  auto* handleVariable = wantsHandle ? args[2].Pointer<ThreadHandleVariable>() : nullptr;

  // A missing subprogram cannot run: it fails as a failed thread creation does.
  auto routine = reinterpret_cast<Subprogram>(args[0].Pointer<void>());
  std::unique_ptr<ThreadStart> start;
  if (args[0].Present() && routine) {
    const uint32_t parameter = count > 1 && args[1].Present() ? args[1].low : 0;
    start.reset(new (std::nothrow) ThreadStart{routine, parameter});
  }

  HANDLE thread = nullptr;
  if (start) {
    DWORD threadId = 0;  // not kept
    thread = CreateThread(nullptr, 0, &RunSubprogram, start.get(), 0, &threadId);
    if (thread) start.release();  // the thread frees it
  }
  result->low = thread ? 1 : 0;

  if (handleVariable) {
    *handleVariable = HandleToLong(thread);  // the application owns it now
  } else if (thread) {
    CloseHandle(thread);  // the thread runs on by itself
  }
}

int32_t __stdcall ThreadLibraryNotify(int32_t code, intptr_t arg1, intptr_t) {
  switch (code) {
    case 1:
      g_runtimeNotify = reinterpret_cast<NotifyFn>(arg1);
      return 0;
    case 6:
      DeleteAllPermits();
      return 0;
    default:
      return -1;
  }
}

CRITICAL_SECTION* AddPermit() {
  auto* node = static_cast<PermitNode*>(RtAlloc(sizeof(PermitNode)));
  InitializeCriticalSection(&node->section);
  node->next = g_permits;
  g_permits = node;
  return &node->section;
}

size_t PermitCount() {
  size_t count = 0;
  for (const PermitNode* node = g_permits; node; node = node->next) ++count;
  return count;
}

namespace {
const CommandFn kThreadCommands[] = {&StartThread};
}  // namespace

const SupportLibraryRecord g_threadLibrary{
    "thread", &ThreadLibraryNotify, 0, nullptr, std::size(kThreadCommands), kThreadCommands};

}  // namespace zl
