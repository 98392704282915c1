// Runtime values: type codes and the 12-byte argument and result records through
// which every command is called. Portable: no Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zl {

using TypeCode = uint32_t;

inline constexpr TypeCode kTypeNone = 0;
inline constexpr TypeCode kTypeByte = 0x80000101;
inline constexpr TypeCode kTypeShortInt = 0x80000201;
inline constexpr TypeCode kTypeInt = 0x80000301;
inline constexpr TypeCode kTypeLongInt = 0x80000401;
inline constexpr TypeCode kTypeFloat = 0x80000501;
inline constexpr TypeCode kTypeDouble = 0x80000601;
inline constexpr TypeCode kTypeLogical = 0x80000002;
inline constexpr TypeCode kTypeDateTime = 0x80000003;
inline constexpr TypeCode kTypeText = 0x80000004;
inline constexpr TypeCode kTypeByteSet = 0x80000005;
inline constexpr TypeCode kTypeSubprogramPointer = 0x80000006;
inline constexpr TypeCode kTypeWindowUnit = 0x00010001;
inline constexpr TypeCode kTypeComObject = 0x00010030;
inline constexpr TypeCode kTypeVariant = 0x00010031;

// Bit 29 marks an array of the type in the other bits (or, in automation member
// arguments, a by-reference argument).
inline constexpr TypeCode kTypeArrayFlag = 0x20000000;
inline constexpr TypeCode kTypeElementMask = 0xDFFFFFFF;

// Whether a code is one of the runtime's own system types (top bits 10).
constexpr bool IsSystemType(TypeCode code) { return (code & 0xC0000000u) == 0x80000000u; }

// Whether a code names one of the six numeric system types.
constexpr bool IsNumericType(TypeCode code) {
  const uint32_t number = (code >> 8) & 0xFF;
  return IsSystemType(code) && (code & 0xFF) == 0x01 && number >= 1 && number <= 6 &&
         (code & 0x3FFF0000u) == 0;
}

// Element size of a numeric type in bytes; 0 for anything else.
constexpr uint32_t NumericSize(TypeCode code) {
  switch (code) {
    case kTypeByte: return 1;
    case kTypeShortInt: return 2;
    case kTypeInt: case kTypeFloat: return 4;
    case kTypeLongInt: case kTypeDouble: return 8;
    default: return 0;
  }
}

#pragma pack(push, 4)
// A value of up to 8 bytes tagged with its type code; an omitted argument has code 0.
// Texts, byte sets, arrays and by-reference variables keep a pointer in the value.
struct ArgRecord {
  uint32_t low = 0;
  uint32_t high = 0;
  TypeCode type = kTypeNone;

  // Whether the argument was given.
  bool Present() const { return type != kTypeNone; }
  // The whole 8-byte value.
  uint64_t Value64() const { return uint64_t{low} | (uint64_t{high} << 32); }
  // The low word as a signed 32-bit integer.
  int32_t Int() const { return static_cast<int32_t>(low); }
  // The value as a double.
  double Double() const { uint64_t v = Value64(); double d; std::memcpy(&d, &v, 8); return d; }
  // The value as a float (low word).
  float Float() const { float f; std::memcpy(&f, &low, 4); return f; }
  // The value as a pointer (the whole value on 64-bit platforms, the low word on 32-bit ones).
  template <class T = void>
  T* Pointer() const { return reinterpret_cast<T*>(static_cast<uintptr_t>(Value64())); }

  // Record makers, one per value kind.
  static ArgRecord Of(TypeCode type, uint64_t value) {
    return ArgRecord{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32), type};
  }
  static ArgRecord OfInt(int32_t v) { return Of(kTypeInt, static_cast<uint32_t>(v)); }
  static ArgRecord OfLogical(bool v) { return Of(kTypeLogical, v ? 1 : 0); }
  static ArgRecord OfDouble(double d) { uint64_t v; std::memcpy(&v, &d, 8); return Of(kTypeDouble, v); }
  static ArgRecord OfDateTime(double d) { ArgRecord r = OfDouble(d); r.type = kTypeDateTime; return r; }
  static ArgRecord OfPointer(TypeCode type, const void* p) {
    return Of(type, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)));
  }
  // A text argument: never null, the empty text is passed as "".
  static ArgRecord OfText(const char* text) { return OfPointer(kTypeText, text ? text : ""); }
  static ArgRecord Omitted() { return ArgRecord{}; }
};
#pragma pack(pop)

// A command's result: the same three fields, zeroed by the caller before the call.
using ResultRecord = ArgRecord;

static_assert(sizeof(ArgRecord) == 12, "argument records are 12 bytes");
static_assert(offsetof(ArgRecord, high) == 4 && offsetof(ArgRecord, type) == 8);

// A command: result record, argument count, the first of `count` argument records.
using CommandFn = void (*)(ResultRecord* result, int32_t count, ArgRecord* args);

}  // namespace zl
