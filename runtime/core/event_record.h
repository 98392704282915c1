// The records through which windows and components raise events (Notify 2008 and 2031).
#pragma once

#include <cstdint>
#include <vector>

namespace zl {

inline constexpr uint32_t kMaxEventArgs = 5;
inline constexpr uint32_t kMaxTypedEventArgs = 12;

// An event with 32-bit arguments. The raiser clears hasResult and result; the
// dispatcher sets them when the handler returned a value. (A pointer argument that
// does not fit a word travels in the typed record.)
struct EventRecord {
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  int32_t eventNumber = 0;
  uint32_t argCount = 0;
  uint32_t args[kMaxEventArgs] = {};
  uint32_t hasResult = 0;
  uint32_t result = 0;
};
static_assert(sizeof(EventRecord) == 44);

// Flags of a typed argument: pass the first value word alone / pass both words.
inline constexpr uint32_t kTypedArgFirstWordOnly = 0x1;
inline constexpr uint32_t kTypedArgBothWords = 0x2;

#pragma pack(push, 4)
// One typed argument: an 8-byte value, its type code and flags.
struct TypedEventArg {
  uint64_t value = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
};

// An event with typed arguments and a 64-bit result.
struct TypedEventRecord {
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  int32_t eventNumber = 0;
  uint32_t argCount = 0;
  TypedEventArg args[kMaxTypedEventArgs] = {};
  uint32_t hasResult = 0;
  uint64_t result = 0;
};
#pragma pack(pop)
static_assert(sizeof(TypedEventArg) == 16);
static_assert(sizeof(TypedEventRecord) == 16 + 12 * 16 + 4 + 8);

// Appends the words a handler receives for one typed argument: both value words (low
// first) when asked or for the two-word types, a byte zero-extended, a 16-bit integer
// sign-extended, anything else as its first value word.
void AppendHandlerWords(const TypedEventArg& arg, std::vector<uint32_t>& words);

}  // namespace zl
