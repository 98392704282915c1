// A component's property record and its blob: a little-endian, versioned byte stream
// of the type's fields in a fixed order. Every component type describes its fields
// once, in a schema; the same schema reads and writes the blob in the runtime, checks
// writes, visits the texts, and lets the template compiler write and read blobs from
// readable descriptions. Portable, no Win32.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zl {

// How a field is stored and shown.
enum class FieldKind : uint8_t {
  Word,    // 32-bit integer
  Truth,   // 32-bit truth word: true only when exactly 1
  Colour,  // 32-bit 0x00BBGGRR, or 0xFF000000 for the button-face colour
  Pick,    // 32-bit index into a fixed choice list 0..maxPick
  Short,   // 16-bit integer
  Text,    // u32 byte length, then the bytes (no terminator)
  Bytes,   // u32 byte length, then the bytes
  Font,    // u32 byte length 60 with a font record; any other length: the default font
};

constexpr bool IsDataKind(FieldKind kind) {
  return kind == FieldKind::Text || kind == FieldKind::Bytes || kind == FieldKind::Font;
}

// What the bytes of a Bytes field hold, where a description can show more than hex.
enum class BytesFormat : uint8_t {
  Raw,          // anything (a picture, an icon, a sound, image lists)
  ColumnTable,  // the list view's column table
  RowTable,     // the list view's initial-row cell table
};

// One field of a type's blob, in blob order.
struct FieldLayout {
  const char* name;              // the readable name window descriptions use
  FieldKind kind;
  uint32_t sinceVersion = 0;     // the first blob version that carries it
  uint32_t defaultWord = 0;      // scalar kinds
  const char* defaultText = "";  // Text (system code page)
  int32_t maxPick = 0;           // Pick: the largest choice
  BytesFormat format = BytesFormat::Raw;
};

// A type's blob: its current version, the oldest version it reads, its fields.
struct BlobSchema {
  uint32_t currentVersion;
  uint32_t oldestVersion;
  std::span<const FieldLayout> fields;
  // The order in which VisitTexts offers the text fields (indexes); empty: blob order.
  std::span<const uint8_t> textOrder = {};

  // The index of a field by name; -1 when the type has none.
  int FieldIndex(std::string_view name) const;
};

// The property record of one component: one value per schema field.
class PropertyRecord {
 public:
  // A record holding the type's defaults.
  explicit PropertyRecord(const BlobSchema& schema);

  // Reads a blob. An empty blob keeps the defaults; truncated data or an unsupported
  // version give nothing. A font field of another length than 0 or 60 is read as it is
  // (it stands for the default font). Fields a version lacks keep their defaults; bytes
  // after the last field are ignored.
  static std::optional<PropertyRecord> Read(const BlobSchema& schema, std::span<const uint8_t> blob);
  // The blob at the current version, every field.
  std::vector<uint8_t> Write() const;

  const BlobSchema& Schema() const { return *m_schema; }
  // A scalar field.
  uint32_t Word(size_t field) const { return m_words[field]; }
  int32_t Int(size_t field) const { return static_cast<int32_t>(m_words[field]); }
  bool Truth(size_t field) const { return m_words[field] == 1; }
  // Stores a scalar field (a pick is clamped into its range, a short keeps 16 bits).
  void SetWord(size_t field, uint32_t value);
  // A text, byte or font field.
  const std::string& Data(size_t field) const { return m_data[field]; }
  void SetData(size_t field, std::string_view bytes) { m_data[field].assign(bytes); }

  bool operator==(const PropertyRecord& other) const {
    return m_schema == other.m_schema && m_words == other.m_words && m_data == other.m_data;
  }

 private:
  const BlobSchema* m_schema;
  std::vector<uint32_t> m_words;
  std::vector<std::string> m_data;
};

// Offers each text of a blob (and the face name of each font) to `visit`, which may
// change it, and answers the blob rewritten at the current version; nothing when the
// blob cannot be read.
std::optional<std::vector<uint8_t>> VisitBlobTexts(
    const BlobSchema& schema, std::span<const uint8_t> blob,
    const std::function<void(std::string& text, bool isFaceName)>& visit);

}  // namespace zl
