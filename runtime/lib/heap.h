// The runtime heap (the process heap on Windows) and the constant block whose
// values are shared read-only and never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zl {

// Called with the requested size when memory runs out; must not return.
using AllocFailureHandler = void (*)(size_t size);

// Installs the routine that reports exhausted memory (the kernel's error report).
void SetAllocFailureHandler(AllocFailureHandler handler);

// Sets or clears the bounds [start, start + size) of the program's constant block.
void SetConstantBlock(const void* start, size_t size);
void ClearConstantBlock();
// Whether a pointer lies inside the constant block.
bool InConstantBlock(const void* p);
// The bytes from p to the end of the constant block; 0 when p lies outside it.
size_t ConstantBytesFrom(const void* p);

// Allocates n bytes (not zeroed); reports exhausted memory and does not return on failure.
void* RtAlloc(size_t n);
// Allocates n bytes, answering null on failure.
void* RtTryAlloc(size_t n);
// Resizes p (null: allocate; inside the constant block: copy out to a new block).
void* RtRealloc(void* p, size_t n);
// Frees p; null and constant-block pointers are left alone.
void RtFree(void* p);
// The number of runtime heap blocks alive now (allocated and not yet freed).
int64_t LiveHeapBlocks();

// Deleter for heap blocks owned by C++ code.
struct RtDeleter {
  void operator()(void* p) const { RtFree(p); }
};
// The owner of one runtime heap block.
template <class T>
using HeapPtr = std::unique_ptr<T, RtDeleter>;

}  // namespace zl
