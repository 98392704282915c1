// Heap blocks of the runtime's variable-size values: Text, ByteSet and RuntimeArray.
// Layouts are fixed; the helpers here only make, read and free them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/lib/heap.h"
#include "runtime/lib/values.h"

namespace zl {

// A runtime text: a zero-terminated multibyte string on the runtime heap; null is empty.
using Text = char*;
// The owner of a runtime text.
using TextOwner = HeapPtr<char>;

// Makes a text from `length` bytes; a length below 1 gives null.
Text MakeText(const char* bytes, ptrdiff_t length);
// Makes a text from a view; an empty view gives null.
inline Text MakeText(std::string_view s) { return MakeText(s.data(), static_cast<ptrdiff_t>(s.size())); }
// Copies a zero-terminated string; null or "" gives null.
Text CopyText(const char* s);
// Views a text (null views as empty).
inline std::string_view TextView(const char* t) { return t ? std::string_view(t) : std::string_view(); }

// ByteSet block: u32 dimension count (1), i32 length (at least 1), the bytes.
struct ByteSetHeader {
  uint32_t dimensions;
  int32_t length;
};
static_assert(sizeof(ByteSetHeader) == 8);

// Makes a byte set from bytes; 0 bytes gives null.
uint8_t* MakeByteSet(const void* bytes, size_t length);
// Length of a byte set (null: 0).
size_t ByteSetLength(const uint8_t* set);
// The bytes of a byte set (null: null).
inline const uint8_t* ByteSetData(const uint8_t* set) { return set ? set + sizeof(ByteSetHeader) : nullptr; }

// RuntimeArray block: u32 dimension count n, n × i32 sizes, then the packed elements.
// Text elements are text pointers owned by the array.
class ArrayBlock {
 public:
  explicit ArrayBlock(uint8_t* block) : m_block(block) {}
  // Dimension count.
  uint32_t Dimensions() const { return Header()[0]; }
  // Size of dimension i (0-based).
  int32_t DimensionSize(uint32_t i) const { return static_cast<int32_t>(Header()[1 + i]); }
  // Product of the dimension sizes.
  size_t ElementCount() const;
  // First element.
  uint8_t* Data() const { return m_block + 4 + 4 * Dimensions(); }
  // The i-th element viewed as T.
  template <class T>
  T& At(size_t i) const { return reinterpret_cast<T*>(Data())[i]; }
  uint8_t* Block() const { return m_block; }

 private:
  const uint32_t* Header() const { return reinterpret_cast<const uint32_t*>(m_block); }
  uint8_t* m_block;
};

// Makes a one-dimensional array of `count` elements of `elementSize` bytes, zero-filled.
uint8_t* MakeArray(size_t count, size_t elementSize);
// Makes a one-dimensional array of text pointers taking ownership of `texts`.
uint8_t* MakeTextArray(Text* texts, size_t count);
// Frees an array of texts with every element text.
void FreeTextArray(uint8_t* block);

}  // namespace zl
