// The font record of a font property: exactly the layout of Win32's LOGFONTA (60
// bytes, little-endian), so the runtime copies it straight into a LOGFONTA and the
// template compiler writes it without Win32. Portable.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace zl {

struct FontRecord {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;  // angle in tenths of a degree
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  char faceName[32] = {};
};
static_assert(sizeof(FontRecord) == 60, "a font record is a LOGFONTA");

inline constexpr size_t kFontRecordSize = sizeof(FontRecord);
inline constexpr int32_t kBoldWeight = 700;

// The record stored in a font field; nothing when the field is not exactly one record
// (an empty field stands for the default font).
inline std::optional<FontRecord> DecodeFontRecord(std::string_view bytes) {
  if (bytes.size() != kFontRecordSize) return std::nullopt;
  FontRecord font;
  std::memcpy(&font, bytes.data(), kFontRecordSize);
  font.faceName[sizeof font.faceName - 1] = '\0';
  return font;
}

// The bytes a font field stores for a record.
inline std::string EncodeFontRecord(const FontRecord& font) {
  return std::string(reinterpret_cast<const char*>(&font), kFontRecordSize);
}

// The face name of a record as a view (up to its first zero byte).
inline std::string_view FaceNameOf(const FontRecord& font) {
  return std::string_view(font.faceName, strnlen(font.faceName, sizeof font.faceName));
}

}  // namespace zl
