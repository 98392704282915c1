// Random bytes into every component type's blob reader: no crash, and whatever a
// reader accepts writes back to a blob that reads to the same record. The first byte
// picks the type.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "runtime/ui/component_schemas.h"
#include "runtime/ui/property_record.h"

namespace {

// A schema with a field of every kind, for the format itself.
constexpr zl::FieldLayout kEveryKind[] = {
    {"W", zl::FieldKind::Word, 0},  {"T", zl::FieldKind::Truth, 0}, {"C", zl::FieldKind::Colour, 0},
    {"P", zl::FieldKind::Pick, 1, 0, "", 5}, {"S", zl::FieldKind::Short, 0}, {"X", zl::FieldKind::Text, 0},
    {"B", zl::FieldKind::Bytes, 2}, {"F", zl::FieldKind::Font, 0},
};
constexpr zl::BlobSchema kEveryKindSchema{2, 0, kEveryKind};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto schemas = zl::ComponentSchemas();
  const size_t pick = data[0] % (schemas.size() + 1);
  const zl::BlobSchema& schema = pick < schemas.size() ? *schemas[pick].schema : kEveryKindSchema;
  const std::span<const uint8_t> blob(data + 1, size - 1);
  const auto record = zl::PropertyRecord::Read(schema, blob);
  if (!record) return 0;
  const auto again = zl::PropertyRecord::Read(schema, record->Write());
  if (!again || !(*again == *record)) std::abort();
  zl::VisitBlobTexts(schema, blob, [](std::string& text, bool) { text += "x"; });
  return 0;
}
