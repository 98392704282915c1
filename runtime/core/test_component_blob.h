// The property blob of the test component type, a type that exists only for tests
// of the template tools and the unit manager (no program of ours ships it).
//   u32 version (1), counted text Caption, u32 Style
// Portable, no Win32.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/core/byte_stream.h"

namespace zl {

// Library 1, type 99: outside the core library's real table.
inline constexpr uint32_t kTestComponentTypeCode = 0x00010063;
inline constexpr uint32_t kTestComponentBlobVersion = 1;

// The test component's property record.
struct TestComponentProperties {
  std::string caption;  // system code page
  uint32_t style = 0;

  bool operator==(const TestComponentProperties&) const = default;
};

// The blob of a property record, at the current version.
inline std::vector<uint8_t> EncodeTestComponentBlob(const TestComponentProperties& properties) {
  ByteWriter out;
  out.U32(kTestComponentBlobVersion);
  out.CountedText(properties.caption);
  out.U32(properties.style);
  return out.Take();
}

// The property record of a blob; an empty blob gives the defaults. Nothing when the
// blob is truncated or newer than this type knows. Bytes after Style are ignored.
inline std::optional<TestComponentProperties> DecodeTestComponentBlob(std::span<const uint8_t> blob) {
  TestComponentProperties properties;
  if (blob.empty()) return properties;
  ByteReader in(blob);
  uint32_t version = 0;
  if (!in.U32(version) || version < 1 || version > kTestComponentBlobVersion) return std::nullopt;
  if (!in.CountedText(properties.caption) || !in.U32(properties.style)) return std::nullopt;
  return properties;
}

}  // namespace zl
