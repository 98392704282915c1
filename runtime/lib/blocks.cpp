#include "runtime/lib/blocks.h"

#include <cstring>

namespace zl {

Text MakeText(const char* bytes, ptrdiff_t length) {
  if (length < 1) return nullptr;
  auto* t = static_cast<char*>(RtAlloc(static_cast<size_t>(length) + 1));
  std::memcpy(t, bytes, static_cast<size_t>(length));
  t[length] = '\0';
  return t;
}

Text CopyText(const char* s) {
  if (!s || !*s) return nullptr;
  return MakeText(s, static_cast<ptrdiff_t>(std::strlen(s)));
}

uint8_t* MakeByteSet(const void* bytes, size_t length) {
  if (length == 0) return nullptr;
  auto* b = static_cast<uint8_t*>(RtAlloc(length + sizeof(ByteSetHeader)));
  const ByteSetHeader header{1, static_cast<int32_t>(length)};
  std::memcpy(b, &header, sizeof header);
  std::memcpy(b + sizeof header, bytes, length);
  return b;
}

size_t ByteSetLength(const uint8_t* set) {
  if (!set) return 0;
  ByteSetHeader header;
  std::memcpy(&header, set, sizeof header);
  return header.length > 0 ? static_cast<size_t>(header.length) : 0;
}

size_t ArrayBlock::ElementCount() const {
  size_t count = 1;
  for (uint32_t i = 0; i < Dimensions(); ++i) {
    const int32_t size = DimensionSize(i);
    count *= size > 0 ? static_cast<size_t>(size) : 0;
  }
  return count;
}

uint8_t* MakeArray(size_t count, size_t elementSize) {
  auto* b = static_cast<uint8_t*>(RtAlloc(8 + count * elementSize));
  const uint32_t header[2] = {1, static_cast<uint32_t>(count)};
  std::memcpy(b, header, sizeof header);
  std::memset(b + 8, 0, count * elementSize);
  return b;
}

uint8_t* MakeTextArray(Text* texts, size_t count) {
  uint8_t* b = MakeArray(count, sizeof(Text));
  if (count) std::memcpy(b + 8, texts, count * sizeof(Text));
  return b;
}

void FreeTextArray(uint8_t* block) {
  if (!block || InConstantBlock(block)) return;
  ArrayBlock array(block);
  const size_t n = array.ElementCount();
  for (size_t i = 0; i < n; ++i) RtFree(array.At<Text>(i));
  RtFree(block);
}

}  // namespace zl
