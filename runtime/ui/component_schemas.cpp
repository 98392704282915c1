#include "runtime/ui/component_schemas.h"

#include <vector>

#include "runtime/ui/button_schema.h"
#include "runtime/ui/edit_box_schema.h"
#include "runtime/ui/hyper_linker_schema.h"
#include "runtime/ui/label_schema.h"
#include "runtime/ui/list_view_schema.h"
#include "runtime/ui/window_schema.h"

namespace zl {

std::span<const ComponentSchema> ComponentSchemas() {
  // One row per component type (its schema header defines the schema).
  static const std::vector<ComponentSchema> schemas = {
      {0x00010001, &kWindowSchema},
      {kListViewTypeCode, &kListViewSchema},
      {kLabelTypeCode, &kLabelSchema},
      {kHyperLinkerTypeCode, &kHyperLinkerSchema},
      {kEditBoxTypeCode, &kEditBoxSchema},
      {kButtonTypeCode, &kButtonSchema},
  };
  return schemas;
}

const BlobSchema* FindComponentSchema(uint32_t typeCode) {
  for (const ComponentSchema& row : ComponentSchemas()) {
    if (row.typeCode == typeCode) return row.schema;
  }
  return nullptr;
}

}  // namespace zl
