// Little-endian byte streams for stored data (window templates, property blobs):
// a reader whose every read is bounds-checked, and a writer. Portable, no Win32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zl {

// Reads from a byte span; a read that would run past the end fails and consumes nothing.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  size_t Remaining() const { return m_bytes.size() - m_pos; }
  size_t Position() const { return m_pos; }

  // A u32 word.
  bool U32(uint32_t& out) {
    if (Remaining() < 4) return false;
    const uint8_t* p = m_bytes.data() + m_pos;
    out = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    m_pos += 4;
    return true;
  }

  // An i32 word.
  bool I32(int32_t& out) {
    uint32_t word = 0;
    if (!U32(word)) return false;
    out = static_cast<int32_t>(word);
    return true;
  }

  // `count` raw bytes.
  bool Bytes(size_t count, std::span<const uint8_t>& out) {
    if (Remaining() < count) return false;
    out = m_bytes.subspan(m_pos, count);
    m_pos += count;
    return true;
  }

  // Skips `count` bytes.
  bool Skip(size_t count) {
    std::span<const uint8_t> unused;
    return Bytes(count, unused);
  }

  // A counted text: u32 byte length, then that many bytes.
  bool CountedText(std::string& out) {
    const size_t start = m_pos;
    uint32_t length = 0;
    std::span<const uint8_t> bytes;
    if (!U32(length) || !Bytes(length, bytes)) {
      m_pos = start;
      return false;
    }
    out.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
  }

  // A counted byte field: u32 byte length, then that many bytes.
  bool CountedBytes(std::vector<uint8_t>& out) {
    const size_t start = m_pos;
    uint32_t length = 0;
    std::span<const uint8_t> bytes;
    if (!U32(length) || !Bytes(length, bytes)) {
      m_pos = start;
      return false;
    }
    out.assign(bytes.begin(), bytes.end());
    return true;
  }

  // A terminated text: bytes up to and including a zero byte (the zero is not kept).
  bool TerminatedText(std::string& out) {
    const uint8_t* start = m_bytes.data() + m_pos;
    const void* zero = Remaining() ? std::memchr(start, 0, Remaining()) : nullptr;
    if (!zero) return false;
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(zero) - start);
    out.assign(reinterpret_cast<const char*>(start), length);
    m_pos += length + 1;
    return true;
  }

  // Everything not read yet.
  std::span<const uint8_t> Rest() {
    std::span<const uint8_t> rest = m_bytes.subspan(m_pos);
    m_pos = m_bytes.size();
    return rest;
  }

 private:
  std::span<const uint8_t> m_bytes;
  size_t m_pos = 0;
};

// Appends little-endian data to a byte vector.
class ByteWriter {
 public:
  void U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) m_bytes.push_back(static_cast<uint8_t>(value >> shift));
  }
  void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
  void Bytes(std::span<const uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
  // u32 byte length, then the bytes.
  void CountedBytes(std::span<const uint8_t> bytes) {
    U32(static_cast<uint32_t>(bytes.size()));
    Bytes(bytes);
  }
  void CountedText(std::string_view text) {
    CountedBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  }
  // The text up to its first zero byte, then a zero byte.
  void TerminatedText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    Bytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    m_bytes.push_back(0);
  }
  // Overwrites a u32 written earlier at `position`.
  void PatchU32(size_t position, uint32_t value) {
    for (int i = 0; i < 4; ++i) m_bytes[position + i] = static_cast<uint8_t>(value >> (8 * i));
  }

  size_t Size() const { return m_bytes.size(); }
  const std::vector<uint8_t>& Data() const { return m_bytes; }
  std::vector<uint8_t> Take() { return std::move(m_bytes); }

 private:
  std::vector<uint8_t> m_bytes;
};

}  // namespace zl
