// Builds a runtime text piece by piece on the runtime heap (exhausted memory ends in
// the runtime's report, so nothing is thrown). Portable: no Win32 here.
#pragma once

#include <cstddef>
#include <string_view>

#include "runtime/lib/blocks.h"

namespace zl {

class TextBuilder {
 public:
  TextBuilder() = default;
  TextBuilder(const TextBuilder&) = delete;
  TextBuilder& operator=(const TextBuilder&) = delete;
  ~TextBuilder() { RtFree(m_data); }

  // Appends n bytes.
  void Append(const char* bytes, size_t n);
  void Append(std::string_view s) { Append(s.data(), s.size()); }
  // Makes room for n more bytes without appending.
  void Reserve(size_t n);
  // Bytes appended so far.
  size_t Size() const { return m_size; }
  // Hands the built text to the caller (null when empty); the builder is empty afterwards.
  Text Finish();

 private:
  char* m_data = nullptr;  // owned; m_capacity bytes
  size_t m_size = 0;
  size_t m_capacity = 0;
};

}  // namespace zl
