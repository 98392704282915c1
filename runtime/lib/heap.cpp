#include "runtime/lib/heap.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zl {
namespace {

AllocFailureHandler g_allocFailure = nullptr;
const uint8_t* g_constantStart = nullptr;
const uint8_t* g_constantEnd = nullptr;

// Reports exhausted memory through the installed handler, or aborts without one.
[[noreturn]] void AllocFailed(size_t n) {
  if (g_allocFailure) g_allocFailure(n);
  std::abort();
}

// Runtime heap blocks alive now (a count tests read to prove nothing leaks).
std::atomic<int64_t> g_liveBlocks{0};

void* RawAlloc(size_t n) {
#ifdef _WIN32
  void* p = HeapAlloc(GetProcessHeap(), 0, n);
#else
  void* p = std::malloc(n ? n : 1);
#endif
  if (p) g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
  return p;
}

void* RawRealloc(void* p, size_t n) {
#ifdef _WIN32
  return HeapReAlloc(GetProcessHeap(), 0, p, n);
#else
  return std::realloc(p, n ? n : 1);
#endif
}

void RawFree(void* p) {
  g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
#ifdef _WIN32
  HeapFree(GetProcessHeap(), 0, p);
#else
  std::free(p);
#endif
}

}  // namespace

void SetAllocFailureHandler(AllocFailureHandler handler) { g_allocFailure = handler; }

int64_t LiveHeapBlocks() { return g_liveBlocks.load(std::memory_order_relaxed); }

void SetConstantBlock(const void* start, size_t size) {
  g_constantStart = static_cast<const uint8_t*>(start);
  g_constantEnd = g_constantStart + size;
}

void ClearConstantBlock() { g_constantStart = g_constantEnd = nullptr; }

bool InConstantBlock(const void* p) {
  auto* b = static_cast<const uint8_t*>(p);
  return g_constantStart != nullptr && b >= g_constantStart && b < g_constantEnd;
}

size_t ConstantBytesFrom(const void* p) {
  return InConstantBlock(p) ? static_cast<size_t>(g_constantEnd - static_cast<const uint8_t*>(p)) : 0;
}

void* RtAlloc(size_t n) {
  void* p = RawAlloc(n);
  if (!p) AllocFailed(n);
  return p;
}

void* RtTryAlloc(size_t n) { return RawAlloc(n); }

void* RtRealloc(void* p, size_t n) {
  if (!p) return RtAlloc(n);
  if (InConstantBlock(p)) {
    // Constant values are shared: resizing one makes a private copy of what the block holds.
    void* copy = RtAlloc(n);
    const size_t available = static_cast<size_t>(g_constantEnd - static_cast<const uint8_t*>(p));
    std::memcpy(copy, p, std::min(n, available));
    return copy;
  }
  void* q = RawRealloc(p, n);
  if (!q) AllocFailed(n);
  return q;
}

void RtFree(void* p) {
  if (!p || InConstantBlock(p)) return;
  RawFree(p);
}

}  // namespace zl
