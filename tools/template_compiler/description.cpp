#include "tools/template_compiler/description.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "runtime/ui/component_schemas.h"
#include "tools/template_compiler/field_reader.h"
#include "tools/template_compiler/property_fields.h"
#include "tools/template_compiler/toml_text.h"
#include "tools/template_compiler/unit_types.h"

namespace zl::tools {
namespace {

constexpr uint32_t kNamedUnitFlags = kUnitVisible | kUnitDisabled | kUnitTabStop;
// Live object, cursor, words 20 and 22, the five words 24.
constexpr size_t kOtherUnitWords = 9;

// What one description's compilation shares.
struct Context {
  const std::string& file;
  const RoutineList& routines;
  std::vector<CompileError>& errors;

  void Error(const toml::node* at, std::string message) { errors.push_back(ErrorAt(file, at, std::move(message))); }
};

// An array field of u32 words; `count` > 0 asks for exactly that many.
std::vector<uint32_t> WordArray(FieldReader& fields, std::string_view key, Context& context, size_t count = 0) {
  std::vector<uint32_t> words;
  const toml::node* node = fields.Node(key);
  if (!node) return words;
  const toml::array* array = node->as_array();
  if (!array || (count && array->size() != count)) {
    context.Error(node, "field '" + std::string(key) + "' must be an array of " +
                            (count ? std::to_string(count) + " " : std::string()) + "integers");
    return words;
  }
  for (const toml::node& element : *array) {
    uint32_t word = 0;
    if (!ToU32(element, word)) context.Error(&element, "an integer from 0 to 0xFFFFFFFF is expected here");
    words.push_back(word);
  }
  return words;
}

// A handler given by routine name, or by its stored offset (a position in the routine
// table, for templates decompiled without their routine list); absent: unbound.
int32_t HandlerOffset(FieldReader& fields, Context& context) {
  const toml::node* node = fields.Node("handler");
  const toml::node* offsetNode = fields.Node("handler_offset");
  if (offsetNode) {
    if (node) context.Error(node, "give either 'handler' or 'handler_offset', not both");
    const auto* offset = offsetNode->as_integer();
    const size_t routineCount = context.routines.names.size();
    if (!offset || offset->get() < 0 || offset->get() > std::numeric_limits<int32_t>::max() ||
        (routineCount && static_cast<uint64_t>(offset->get()) >= routineCount)) {
      context.Error(offsetNode, "field 'handler_offset' must be a position in the routine table" +
                                    (routineCount ? " (0 to " + std::to_string(routineCount - 1) + ")"
                                                  : std::string()));
      return kUnboundHandler;
    }
    return static_cast<int32_t>(offset->get());
  }
  if (!node) return kUnboundHandler;
  const auto* name = node->as_string();
  if (!name) {
    context.Error(node, "field 'handler' must be a routine name");
    return kUnboundHandler;
  }
  const auto offset = context.routines.OffsetOf(name->get());
  if (!offset) {
    context.Error(node, "unknown handler '" + name->get() + "': not in the routine list");
    return kUnboundHandler;
  }
  return *offset;
}

// The unit's type by name or code; a menu item may leave it out.
const UnitTypeInfo* UnitType(FieldReader& fields, bool menuItem, uint32_t& typeCode, Context& context) {
  const toml::node* node = fields.Node("type");
  if (!node) {
    if (menuItem) {
      typeCode = kMenuItemTypeCode;
      return FindUnitType(typeCode);
    }
    fields.Require("type");
    return nullptr;
  }
  if (const auto* name = node->as_string()) {
    const UnitTypeInfo* type = FindUnitType(name->get());
    if (!type) context.Error(node, "unknown unit type '" + name->get() + "'");
    if (type) typeCode = type->typeCode;
    return type;
  }
  if (!ToU32(*node, typeCode)) context.Error(node, "field 'type' must be a type name or a type code");
  return FindUnitType(typeCode);
}

// Fields 2-9, shared by both record kinds.
template <class Record>
void RecordHeader(FieldReader& fields, Record& record, Context& context) {
  record.handlerSource = fields.U32("handler_source");
  const std::vector<uint32_t> reserved = WordArray(fields, "reserved", context, 4);
  std::copy(reserved.begin(), reserved.end(), record.reserved);
  record.name = fields.Text("name");
  record.secondName = fields.Text("second_name");
}

void MenuItem(FieldReader& fields, MenuItemRecord& item, Context& context) {
  UnitType(fields, true, item.typeCode, context);
  RecordHeader(fields, item, context);
  const std::vector<uint32_t> other = WordArray(fields, "other_words", context, 2);
  if (other.size() == 2) {
    item.liveObject = other[0];
    item.reserved2 = other[1];
  }
  item.flags = fields.U32("flags");
  item.caption = fields.Text("caption");
  item.handlerOffset = HandlerOffset(fields, context);
}

std::vector<EventBinding> Bindings(FieldReader& fields, Context& context) {
  std::vector<EventBinding> bindings;
  const toml::node* node = fields.Node("events");
  if (!node) return bindings;
  const toml::array* array = node->as_array();
  if (!array) {
    context.Error(node, "field 'events' must be an array of { event = N, handler = \"Name\" }");
    return bindings;
  }
  for (const toml::node& element : *array) {
    const toml::table* table = element.as_table();
    if (!table) {
      context.Error(&element, "an event binding { event = N, handler = \"Name\" } is expected here");
      continue;
    }
    FieldReader binding(table, context.file, context.errors, "field");
    EventBinding pair{0, kUnboundHandler};
    if (binding.Require("event")) pair.eventNumber = binding.I32("event");
    pair.handlerOffset = HandlerOffset(binding, context);
    binding.RejectUnread("an event binding");
    bindings.push_back(pair);
  }
  return bindings;
}

std::vector<uint8_t> PropertyBlob(FieldReader& fields, const UnitTypeInfo* type, uint32_t typeCode,
                                  Context& context) {
  const toml::node* properties = fields.Node("properties");
  if (fields.Has("blob_hex")) {
    if (properties) context.Error(properties, "give either 'properties' or 'blob_hex', not both");
    return fields.Hex("blob_hex");
  }
  const toml::table* table = properties ? properties->as_table() : nullptr;
  if (properties && !table) {
    context.Error(properties, "field 'properties' must be a table");
    return {};
  }
  const std::string typeName = type ? type->englishName : TomlHexWord(typeCode);
  const BlobSchema* schema = FindComponentSchema(typeCode);
  if (!schema && !(type && type->encode)) {
    if (table) context.Error(table, "type " + typeName + " has no property codec: give its blob as 'blob_hex'");
    return {};
  }
  FieldReader reader(table, context.file, context.errors, "property");
  std::vector<uint8_t> blob = schema ? CompileProperties(*schema, reader) : type->encode(reader);
  reader.RejectUnread("type " + typeName);
  return blob;
}

void ComponentRecord(FieldReader& fields, UnitRecord& record, Context& context) {
  const UnitTypeInfo* type = UnitType(fields, false, record.typeCode, context);
  RecordHeader(fields, record, context);
  for (auto [key, field] : {std::pair{"left", &record.left}, std::pair{"top", &record.top},
                            std::pair{"width", &record.width}, std::pair{"height", &record.height}}) {
    if (fields.Require(key)) *field = fields.I32(key);
  }
  record.flags = (fields.Bool("visible", true) ? kUnitVisible : 0) | (fields.Bool("disabled") ? kUnitDisabled : 0) |
                 (fields.Bool("tabstop") ? kUnitTabStop : 0);
  if (const uint32_t other = fields.U32("other_flags"); other & kNamedUnitFlags) {
    context.Error(fields.Node("other_flags"), "field 'other_flags' must leave bits 0-2 to visible, disabled and tabstop");
  } else {
    record.flags |= other;
  }
  record.container = fields.U32("container");
  record.pageList = WordArray(fields, "pages", context);
  record.tag = fields.Text("tag");
  if (fields.Has("mouse_pointer_hex")) {
    if (fields.Has("mouse_pointer")) {
      context.Error(fields.Node("mouse_pointer"), "give either 'mouse_pointer' or 'mouse_pointer_hex', not both");
    }
    record.mousePointer = fields.Hex("mouse_pointer_hex");
  } else {
    const uint32_t pointer = fields.U32("mouse_pointer");
    record.mousePointer = {static_cast<uint8_t>(pointer), static_cast<uint8_t>(pointer >> 8),
                           static_cast<uint8_t>(pointer >> 16), static_cast<uint8_t>(pointer >> 24)};
  }
  record.bindings = Bindings(fields, context);
  const std::vector<uint32_t> other = WordArray(fields, "other_words", context, kOtherUnitWords);
  if (other.size() == kOtherUnitWords) {
    record.liveObject = other[0];
    record.cursor = other[1];
    record.reserved20 = other[2];
    record.reserved22 = other[3];
    std::copy(other.begin() + 4, other.end(), record.reserved24);
  }
  record.propertyBlob = PropertyBlob(fields, type, record.typeCode, context);
}

TemplateUnit Unit(const toml::table& table, Context& context) {
  FieldReader fields(&table, context.file, context.errors, "field");
  TemplateUnit unit;
  if (fields.Require("id")) unit.unitId = fields.U32("id");
  unit.isMenuItem = IsMenuItemId(unit.unitId);
  if (unit.isMenuItem) {
    MenuItem(fields, unit.menuItem, context);
  } else {
    ComponentRecord(fields, unit.record, context);
  }
  fields.RejectUnread(unit.isMenuItem ? "a menu item" : "a unit");
  return unit;
}

std::vector<TemplateUnit> Units(FieldReader& top, const toml::node* windowNode, Context& context) {
  std::vector<TemplateUnit> units;
  const toml::node* node = top.Node("unit");
  const toml::array* array = node ? node->as_array() : nullptr;
  if (node && (!array || !array->is_array_of_tables())) {
    context.Error(node, "units are given as [[unit]] tables");
    return units;
  }
  if (!array || array->empty()) {
    context.Error(windowNode, "a window needs at least its window unit ([[unit]])");
    return units;
  }
  std::set<uint32_t> ids;
  for (const toml::node& element : *array) {
    const toml::table& table = *element.as_table();
    TemplateUnit unit = Unit(table, context);
    if (units.empty() && (unit.unitId >> 28) != 0) {
      context.Error(&table, "the first unit must be the window unit (bits 28-31 of its id 0)");
    }
    // Unit id 0 names the window unit in every lookup: a component of that id is never found.
    if (!units.empty() && unit.unitId == 0) {
      context.Error(table.get("id"), "unit id 0 names the window unit: no other unit can have it");
    }
    if (!ids.insert(unit.unitId).second) context.Error(&table, "a unit with this id is given twice");
    units.push_back(std::move(unit));
  }
  return units;
}

}  // namespace

std::optional<TemplateWindow> CompileWindowDescription(std::string_view text, const std::string& fileName,
                                                       const RoutineList& routines,
                                                       std::vector<CompileError>& errors) {
  Context context{fileName, routines, errors};
  toml::table root;
  try {
    root = toml::parse(text, fileName);
  } catch (const toml::parse_error& error) {
    errors.push_back({fileName, static_cast<uint32_t>(error.source().begin.line),
                      static_cast<uint32_t>(error.source().begin.column), std::string(error.description())});
    return std::nullopt;
  }
  const size_t errorsBefore = errors.size();
  FieldReader top(&root, fileName, errors, "section");
  TemplateWindow window;
  const toml::node* windowNode = top.Node("window");
  const toml::table* windowTable = windowNode ? windowNode->as_table() : nullptr;
  if (!windowTable) {
    context.Error(windowNode, "a [window] table with the window's id is required");
  } else {
    FieldReader fields(windowTable, fileName, errors, "field");
    if (fields.Require("id")) {
      window.windowId = fields.U32("id");
      // The runtime's window lookup fails at once for such an id: the window could never be loaded.
      if ((window.windowId & 0x00FFFFFFu) == 0 || (window.windowId & 0x0F000000u) == 0) {
        context.Error(fields.Node("id"), "window id " + TomlHexWord(window.windowId) +
                                             " can never be looked up: its low 24 bits and its bits 24-27 must "
                                             "not be 0");
      }
    }
    window.reserved1 = fields.U32("reserved1");
    window.reserved2 = fields.U32("reserved2");
    window.text1 = fields.Text("text1");
    window.text2 = fields.Text("text2");
    fields.RejectUnread("a window");
  }
  window.units = Units(top, windowNode, context);
  top.RejectUnread("a window description");
  if (errors.size() != errorsBefore) return std::nullopt;
  return window;
}

std::optional<std::vector<uint8_t>> CompileTemplateTexts(std::span<const DescriptionText> descriptions,
                                                         const RoutineList& routines,
                                                         std::vector<CompileError>& errors) {
  std::vector<TemplateWindow> windows;
  std::set<uint32_t> ids;
  bool ok = true;
  for (const DescriptionText& description : descriptions) {
    auto window = CompileWindowDescription(description.text, description.fileName, routines, errors);
    if (!window) {
      ok = false;
      continue;
    }
    if (!ids.insert(window->windowId).second) {
      errors.push_back({description.fileName, 0, 0, "another description has the same window id"});
      ok = false;
    }
    windows.push_back(std::move(*window));
  }
  if (!ok) return std::nullopt;
  return WriteWindowTemplate(windows);
}

std::optional<std::vector<uint8_t>> CompileTemplateFiles(const std::vector<std::string>& files,
                                                         const RoutineList& routines,
                                                         std::vector<CompileError>& errors) {
  std::vector<DescriptionText> descriptions;
  bool ok = true;
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      errors.push_back({file, 0, 0, "cannot read the description"});
      ok = false;
      continue;
    }
    std::ostringstream text;
    text << in.rdbuf();
    descriptions.push_back({file, text.str()});
  }
  auto bytes = CompileTemplateTexts(descriptions, routines, errors);
  if (!ok) return std::nullopt;
  return bytes;
}

std::string TemplateCppSource(std::string_view name, std::span<const uint8_t> bytes) {
  const std::string id(name);
  std::string out = "// Window template made by zl_template_compiler; do not edit.\n#include <cstdint>\n\n";
  out += "extern const uint8_t " + id + "[];\nextern const uint32_t " + id + "_size;\n\n";
  out += "alignas(4) const uint8_t " + id + "[] = {";
  for (size_t i = 0; i < bytes.size(); ++i) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X,", bytes[i]);
    out += (i % 16 == 0 ? "\n    " : " ");
    out += hex;
  }
  if (bytes.empty()) out += "0";
  out += "\n};\nconst uint32_t " + id + "_size = " + std::to_string(bytes.size()) + ";\n";
  return out;
}

}  // namespace zl::tools
