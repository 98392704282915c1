// One-line typed calls of library commands from C++ code:
//   TextOwner s = CallText(&ToText, Arg::Int(5));
//   int32_t n = CallInt(&FindText, Arg::Text("abc"), Arg::Text("b"), Arg::Omitted());
// The argument records are laid out in order, the command runs with a zeroed
// result record (through the runtime's entry table on Windows), and a heap result
// comes back with its owner.
#pragma once

#include <concepts>
#include <cstdint>
#include <cstring>
#include <memory>

#include "runtime/lib/blocks.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/values.h"
#ifdef _WIN32
#include "runtime/core/entry_table.h"
#endif

namespace zl {

// Argument record makers: one per value kind a caller passes.
struct Arg {
  static ArgRecord Byte(uint8_t v) { return ArgRecord::Of(kTypeByte, v); }
  static ArgRecord ShortInt(int16_t v) { return ArgRecord::Of(kTypeShortInt, static_cast<uint16_t>(v)); }
  static ArgRecord Int(int32_t v) { return ArgRecord::OfInt(v); }
  static ArgRecord LongInt(int64_t v) { return ArgRecord::Of(kTypeLongInt, static_cast<uint64_t>(v)); }
  static ArgRecord Float(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return ArgRecord::Of(kTypeFloat, bits);
  }
  static ArgRecord Double(double v) { return ArgRecord::OfDouble(v); }
  static ArgRecord Logical(bool v) { return ArgRecord::OfLogical(v); }
  static ArgRecord DateTime(double v) { return ArgRecord::OfDateTime(v); }
  // A text (borrowed); null passes the empty text.
  static ArgRecord Text(const char* text) { return ArgRecord::OfText(text); }
  // A byte set block (borrowed; null is the empty byte set).
  static ArgRecord ByteSet(const uint8_t* set) { return ArgRecord::OfPointer(kTypeByteSet, set); }
  // An array block (borrowed) of the given element type.
  static ArgRecord Array(TypeCode elementType, const uint8_t* block) {
    return ArgRecord::OfPointer(elementType | kTypeArrayFlag, block);
  }
  // A component by its identity: window id in the low word, unit id in the high word.
  static ArgRecord Component(TypeCode unitType, uint32_t windowId, uint32_t unitId) {
    return ArgRecord::Of(unitType, uint64_t{windowId} | (uint64_t{unitId} << 32));
  }
  // An optional argument the call leaves out.
  static ArgRecord Omitted() { return ArgRecord::Omitted(); }
};

// Runs a command on `count` records with a zeroed result record and hands the record back
// (a missing command gives the empty result).
inline ResultRecord InvokeCommand(CommandFn command, int32_t count, ArgRecord* args) {
  if (!command) return ResultRecord{};
#ifdef _WIN32
  return g_runtimeEntries.callCoreCommand(command, count, args);
#else
  ResultRecord result{};
  command(&result, count, args);
  return result;
#endif
}

// Owner of an array of texts: releasing it releases every element text too.
struct TextArrayDeleter {
  void operator()(uint8_t* block) const { FreeTextArray(block); }
};
using TextArrayOwner = std::unique_ptr<uint8_t, TextArrayDeleter>;

// Lays the records out in order and calls the command; the raw result record.
template <std::same_as<ArgRecord>... Args>
ResultRecord CallCommand(CommandFn command, Args... args) {
  ArgRecord records[sizeof...(Args) + 1] = {args..., ArgRecord{}};
  return InvokeCommand(command, static_cast<int32_t>(sizeof...(Args)), records);
}

// A command without a result.
template <std::same_as<ArgRecord>... Args>
void CallVoid(CommandFn command, Args... args) {
  CallCommand(command, args...);
}

// A command with an Int result.
template <std::same_as<ArgRecord>... Args>
int32_t CallInt(CommandFn command, Args... args) {
  return CallCommand(command, args...).Int();
}

// A command with a Logical result.
template <std::same_as<ArgRecord>... Args>
bool CallLogical(CommandFn command, Args... args) {
  return CallCommand(command, args...).low != 0;
}

// A command with a Text result, owned by the caller (null: the empty text).
template <std::same_as<ArgRecord>... Args>
TextOwner CallText(CommandFn command, Args... args) {
  return TextOwner(CallCommand(command, args...).template Pointer<char>());
}

// A command with a ByteSet result, owned by the caller (null: the empty byte set).
template <std::same_as<ArgRecord>... Args>
HeapPtr<uint8_t> CallByteSet(CommandFn command, Args... args) {
  return HeapPtr<uint8_t>(CallCommand(command, args...).template Pointer<uint8_t>());
}

// A command with an array-of-texts result, owned by the caller with its element texts.
template <std::same_as<ArgRecord>... Args>
TextArrayOwner CallTextArray(CommandFn command, Args... args) {
  return TextArrayOwner(CallCommand(command, args...).template Pointer<uint8_t>());
}

}  // namespace zl
