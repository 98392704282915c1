// Reading a command's argument records and writing its result record. A record
// beyond the count the caller gave reads as omitted, so a short argument list
// never makes a command read past the caller's records. Portable: no Win32 here.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/lib/values.h"

namespace zl {

// A command's argument records as the caller laid them out.
class ArgList {
 public:
  ArgList(int32_t count, const ArgRecord* args) : m_count(args && count > 0 ? count : 0), m_args(args) {}

  // Record i, or an omitted record when the caller gave fewer.
  ArgRecord operator[](int32_t i) const { return i >= 0 && i < m_count ? m_args[i] : ArgRecord{}; }
  // Whether record i was given (present with a non-zero type code).
  bool Given(int32_t i) const { return (*this)[i].Present(); }
  // Record i as a text: its characters when it is a text, else empty.
  std::string_view Text(int32_t i) const {
    const ArgRecord r = (*this)[i];
    const char* t = r.type == kTypeText ? r.Pointer<const char>() : nullptr;
    return t ? std::string_view(t) : std::string_view();
  }
  // The low word of record i as a signed integer (0 when omitted).
  int32_t Int(int32_t i) const { return (*this)[i].Int(); }
  // The number of records the caller gave.
  int32_t Count() const { return m_count; }

 private:
  int32_t m_count;
  const ArgRecord* m_args;
};

// Result writers: the value only; the caller zeroed the record.
// Writes a 32-bit integer result.
inline void SetIntResult(ResultRecord* result, int32_t value) {
  if (result) result->low = static_cast<uint32_t>(value);
}
// Writes a pointer result (a heap value the caller takes over), whole on every platform.
inline void SetPointerResult(ResultRecord* result, const void* p) {
  if (!result) return;
  const auto value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
  result->low = static_cast<uint32_t>(value);
  result->high = static_cast<uint32_t>(value >> 32);
}

}  // namespace zl
