#include "runtime/ui/property_record.h"

#include <algorithm>
#include <numeric>

#include "runtime/core/byte_stream.h"
#include "runtime/ui/font_record.h"

namespace zl {

int BlobSchema::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (name == fields[i].name) return static_cast<int>(i);
  }
  return -1;
}

PropertyRecord::PropertyRecord(const BlobSchema& schema)
    : m_schema(&schema), m_words(schema.fields.size()), m_data(schema.fields.size()) {
  for (size_t i = 0; i < schema.fields.size(); ++i) {
    const FieldLayout& field = schema.fields[i];
    m_words[i] = field.defaultWord;
    if (field.kind == FieldKind::Text && field.defaultText) m_data[i] = field.defaultText;
  }
}

void PropertyRecord::SetWord(size_t field, uint32_t value) {
  const FieldLayout& described = m_schema->fields[field];
  if (described.kind == FieldKind::Pick) {
    const int32_t v = static_cast<int32_t>(value);
    value = static_cast<uint32_t>(std::clamp(v, 0, described.maxPick));
  } else if (described.kind == FieldKind::Short) {
    value &= 0xFFFF;
  }
  m_words[field] = value;
}

std::optional<PropertyRecord> PropertyRecord::Read(const BlobSchema& schema, std::span<const uint8_t> blob) {
  PropertyRecord record(schema);
  if (blob.empty()) return record;
  ByteReader in(blob);
  uint32_t version = 0;
  if (!in.U32(version) || version < schema.oldestVersion || version > schema.currentVersion) {
    return std::nullopt;
  }
  for (size_t i = 0; i < schema.fields.size(); ++i) {
    const FieldLayout& field = schema.fields[i];
    if (field.sinceVersion > version) continue;
    switch (field.kind) {
      case FieldKind::Short: {
        std::span<const uint8_t> bytes;
        if (!in.Bytes(2, bytes)) return std::nullopt;
        record.m_words[i] = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8;
        break;
      }
      case FieldKind::Text:
      case FieldKind::Bytes:
      case FieldKind::Font:
        // A font field of another size than a record is kept as it is: the control
        // shows the default GUI font for it, and the rest of the blob still counts.
        if (!in.CountedText(record.m_data[i])) return std::nullopt;
        break;
      default:
        if (!in.U32(record.m_words[i])) return std::nullopt;
        break;
    }
  }
  return record;
}

std::vector<uint8_t> PropertyRecord::Write() const {
  ByteWriter out;
  out.U32(m_schema->currentVersion);
  for (size_t i = 0; i < m_schema->fields.size(); ++i) {
    switch (m_schema->fields[i].kind) {
      case FieldKind::Short: {
        const uint8_t bytes[2] = {static_cast<uint8_t>(m_words[i]), static_cast<uint8_t>(m_words[i] >> 8)};
        out.Bytes(bytes);
        break;
      }
      case FieldKind::Text:
      case FieldKind::Bytes:
      case FieldKind::Font:
        out.CountedText(m_data[i]);
        break;
      default:
        out.U32(m_words[i]);
        break;
    }
  }
  return out.Take();
}

std::optional<std::vector<uint8_t>> VisitBlobTexts(
    const BlobSchema& schema, std::span<const uint8_t> blob,
    const std::function<void(std::string& text, bool isFaceName)>& visit) {
  auto record = PropertyRecord::Read(schema, blob);
  if (!record) return std::nullopt;
  std::vector<uint8_t> order(schema.textOrder.begin(), schema.textOrder.end());
  if (order.empty()) {
    for (size_t i = 0; i < schema.fields.size(); ++i) order.push_back(static_cast<uint8_t>(i));
  }
  for (const uint8_t i : order) {
    if (i >= schema.fields.size()) continue;
    const FieldKind kind = schema.fields[i].kind;
    if (kind == FieldKind::Text) {
      std::string text = record->Data(i);
      visit(text, false);
      record->SetData(i, text);
    } else if (kind == FieldKind::Font) {
      auto font = DecodeFontRecord(record->Data(i));
      if (!font) continue;
      std::string face(FaceNameOf(*font));
      visit(face, true);
      std::memset(font->faceName, 0, sizeof font->faceName);
      std::memcpy(font->faceName, face.data(), std::min(face.size(), sizeof font->faceName - 1));
      record->SetData(i, EncodeFontRecord(*font));
    }
  }
  return record->Write();
}

}  // namespace zl
