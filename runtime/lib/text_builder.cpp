#include "runtime/lib/text_builder.h"

#include <cstring>

namespace zl {

void TextBuilder::Reserve(size_t n) {
  const size_t needed = m_size + n + 1;  // room for the terminator too
  if (needed <= m_capacity) return;
  size_t capacity = m_capacity ? m_capacity * 2 : 32;
  if (capacity < needed) capacity = needed;
  m_data = static_cast<char*>(RtRealloc(m_data, capacity));
  m_capacity = capacity;
}

void TextBuilder::Append(const char* bytes, size_t n) {
  if (n == 0) return;
  Reserve(n);
  std::memcpy(m_data + m_size, bytes, n);
  m_size += n;
}

Text TextBuilder::Finish() {
  Text text = nullptr;
  if (m_size > 0) {
    m_data[m_size] = '\0';
    text = static_cast<char*>(RtRealloc(m_data, m_size + 1));
  } else {
    RtFree(m_data);
  }
  m_data = nullptr;
  m_size = m_capacity = 0;
  return text;
}

}  // namespace zl
