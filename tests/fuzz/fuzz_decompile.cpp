// Fuzzed templates and property blobs through the decompiler and back: no crash, and
// whatever it describes without a loss compiles to exactly the bytes it was given.
// The first byte picks what the rest is: a whole template, the property blob of a
// window unit of a registered schema, or a blob of a schema with every field kind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/core/window_template.h"
#include "runtime/ui/component_schemas.h"
#include "tools/template_compiler/decompiler.h"
#include "tools/template_compiler/property_fields.h"

namespace {

constexpr zl::FieldLayout kEveryKind[] = {
    {"W", zl::FieldKind::Word, 0},  {"T", zl::FieldKind::Truth, 0}, {"C", zl::FieldKind::Colour, 0},
    {"P", zl::FieldKind::Pick, 1, 0, "", 5}, {"S", zl::FieldKind::Short, 0}, {"X", zl::FieldKind::Text, 0},
    {"B", zl::FieldKind::Bytes, 2}, {"F", zl::FieldKind::Font, 0}, {"G g", zl::FieldKind::Font, 0},
};
constexpr zl::BlobSchema kEveryKindSchema{2, 0, kEveryKind};

// A described blob compiles back to itself.
void CheckProperties(std::span<const uint8_t> blob) {
  const auto lines = zl::tools::DescribeProperties(kEveryKindSchema, blob);
  if (!lines) return;
  const std::string file = "fuzz.toml";
  const toml::table table = toml::parse(*lines, std::string_view(file));
  std::vector<zl::tools::CompileError> errors;
  zl::tools::FieldReader reader(&table, file, errors, "property");
  const std::vector<uint8_t> again = zl::tools::CompileProperties(kEveryKindSchema, reader);
  if (!errors.empty() || !std::ranges::equal(again, blob)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  const auto schemas = zl::ComponentSchemas();
  std::vector<uint8_t> bytes;
  switch (data[0] % 3) {
    case 0:
      bytes.assign(rest.begin(), rest.end());
      break;
    case 1: {
      zl::TemplateWindow window;
      window.windowId = 0x52010001;
      zl::TemplateUnit unit{0x06010000, false, {}, {}};
      unit.record.typeCode = schemas[(data[0] / 3) % schemas.size()].typeCode;
      unit.record.mousePointer = {0, 0, 0, 0};
      unit.record.propertyBlob.assign(rest.begin(), rest.end());
      window.units = {unit};
      bytes = zl::WriteWindowTemplate(std::vector<zl::TemplateWindow>{window});
      break;
    }
    default:
      CheckProperties(rest);
      return 0;
  }
  zl::tools::RoutineList routines;
  if (data[0] & 0x80) routines.names = {"A", "B", "C", "D"};
  std::string error;
  const auto decompiled = zl::tools::DecompileTemplate(bytes, routines, error);
  if (!decompiled || !decompiled->losses.empty()) return 0;
  std::vector<zl::tools::CompileError> errors;
  const auto rebuilt = zl::tools::CompileTemplateTexts(decompiled->windows, routines, errors);
  if (!rebuilt || *rebuilt != bytes) std::abort();
  return 0;
}
