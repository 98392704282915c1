#include "tools/template_compiler/decompiler.h"

#include <algorithm>
#include <limits>
#include <set>

#include "runtime/core/window_template.h"
#include "runtime/ui/component_schemas.h"
#include "tools/template_compiler/ansi_text.h"
#include "tools/template_compiler/property_fields.h"
#include "tools/template_compiler/toml_text.h"
#include "tools/template_compiler/unit_types.h"

namespace zl::tools {
namespace {

constexpr uint32_t kNamedUnitFlags = kUnitVisible | kUnitDisabled | kUnitTabStop;

// Builds one description, noting what it cannot keep.
class DescriptionWriter {
 public:
  DescriptionWriter(const RoutineList& routines, std::vector<std::string>& losses)
      : m_routines(routines), m_losses(losses) {}

  void SetPlace(std::string place) { m_place = std::move(place); }
  void Raw(std::string_view text) { m_text += text; }
  void Field(std::string_view key, std::string_view value) {
    m_text += key;
    m_text += " = ";
    m_text += value;
    m_text += '\n';
  }
  void HexWord(std::string_view key, uint32_t word, bool always = false) {
    if (word || always) Field(key, TomlHexWord(word));
  }
  void Number(std::string_view key, int64_t number, bool always = false) {
    if (number || always) Field(key, std::to_string(number));
  }
  void Truth(std::string_view key, bool value) { Field(key, value ? "true" : "false"); }
  // A stored text, written as UTF-8 when it is not empty.
  void Text(std::string_view key, const std::string& ansi) {
    if (ansi.empty()) return;
    auto utf8 = FromAnsiText(ansi);
    if (!utf8) {
      m_losses.push_back(m_place + ": its " + std::string(key) + " is not code page 936 text; written empty");
      utf8.emplace();
    }
    Field(key, TomlString(*utf8));
  }
  // Words as an array, written when one of them is not 0.
  void Words(std::string_view key, std::span<const uint32_t> words) {
    if (std::ranges::all_of(words, [](uint32_t word) { return word == 0; })) return;
    std::string list = "[";
    for (size_t i = 0; i < words.size(); ++i) list += (i ? ", " : "") + std::to_string(words[i]);
    Field(key, list + "]");
  }
  // A handler offset as the routine's name, or as the offset itself without a routine list.
  std::string Handler(int32_t offset) const {
    if (offset == kUnboundHandler) return {};
    if (m_routines.names.empty()) return "handler_offset = " + std::to_string(offset);
    return "handler = " + TomlString(m_routines.names[static_cast<size_t>(offset)]);
  }
  std::string Take() { return std::move(m_text); }

 private:
  const RoutineList& m_routines;
  std::vector<std::string>& m_losses;
  std::string m_place;
  std::string m_text;
};

std::string TypeValue(uint32_t typeCode) {
  const UnitTypeInfo* type = FindUnitType(typeCode);
  return type ? TomlString(type->englishName) : TomlHexWord(typeCode);
}

// The header fields both record kinds share.
template <class Record>
void RecordHeader(DescriptionWriter& out, const Record& record) {
  out.Text("name", record.name);
  out.Text("second_name", record.secondName);
  out.Words("reserved", record.reserved);
  out.HexWord("handler_source", record.handlerSource);
}

void MenuItem(DescriptionWriter& out, const MenuItemRecord& item) {
  if (item.typeCode != kMenuItemTypeCode) out.Field("type", TypeValue(item.typeCode));
  RecordHeader(out, item);
  out.Text("caption", item.caption);
  out.Number("flags", item.flags);
  const std::string handler = out.Handler(item.handlerOffset);
  if (!handler.empty()) out.Raw(handler + "\n");
  out.Words("other_words", std::initializer_list<uint32_t>{item.liveObject, item.reserved2});
}

void Events(DescriptionWriter& out, const std::vector<EventBinding>& bindings) {
  if (bindings.empty()) return;
  out.Raw("events = [\n");
  for (const EventBinding& binding : bindings) {
    const std::string handler = out.Handler(binding.handlerOffset);
    out.Raw("  { event = " + std::to_string(binding.eventNumber) + (handler.empty() ? "" : ", " + handler) + " },\n");
  }
  out.Raw("]\n");
}

// The property blob: readable fields when the type's schema rebuilds it exactly, else bytes.
void Properties(DescriptionWriter& out, const UnitRecord& record) {
  const BlobSchema* schema = FindComponentSchema(record.typeCode);
  const UnitTypeInfo* type = FindUnitType(record.typeCode);
  const bool hasCodec = schema || (type && type->encode);
  const std::vector<uint8_t>& blob = record.propertyBlob;
  if (blob.empty()) {
    // Without a blob the type keeps its defaults; a codec would write them all.
    if (hasCodec) out.Field("blob_hex", "\"\"");
    return;
  }
  if (schema) {
    if (const auto lines = DescribeProperties(*schema, blob)) {
      out.Raw("[unit.properties]\n" + *lines);
      return;
    }
    out.Raw("# Not this type's current property fields, or a value without a readable form: the bytes.\n");
  }
  out.Field("blob_hex", TomlHex(blob));
}

void Component(DescriptionWriter& out, const UnitRecord& record) {
  out.Field("type", TypeValue(record.typeCode));
  RecordHeader(out, record);
  out.Number("left", record.left, true);
  out.Number("top", record.top, true);
  out.Number("width", record.width, true);
  out.Number("height", record.height, true);
  if (!(record.flags & kUnitVisible)) out.Truth("visible", false);
  if (record.flags & kUnitDisabled) out.Truth("disabled", true);
  if (record.flags & kUnitTabStop) out.Truth("tabstop", true);
  out.HexWord("other_flags", record.flags & ~kNamedUnitFlags);
  out.HexWord("container", record.container);
  out.Text("tag", record.tag);
  const std::vector<uint8_t>& pointer = record.mousePointer;
  if (pointer.size() == 4) {
    out.Number("mouse_pointer", uint32_t{pointer[0]} | uint32_t{pointer[1]} << 8 | uint32_t{pointer[2]} << 16 |
                                    uint32_t{pointer[3]} << 24);
  } else {
    out.Field("mouse_pointer_hex", TomlHex(pointer));
  }
  if (!record.pageList.empty()) {
    std::string pages = "[";
    for (size_t i = 0; i < record.pageList.size(); ++i) {
      pages += (i ? ", " : "") + (record.pageList[i] ? TomlHexWord(record.pageList[i]) : "0");
    }
    out.Field("pages", pages + "]");
  }
  Events(out, record.bindings);
  const uint32_t other[] = {record.liveObject, record.cursor, record.reserved20, record.reserved22,
                            record.reserved24[0], record.reserved24[1], record.reserved24[2],
                            record.reserved24[3], record.reserved24[4]};
  out.Words("other_words", other);
  Properties(out, record);
}

std::string WindowDescription(const TemplateWindow& window, size_t position, size_t count,
                              const RoutineList& routines, std::vector<std::string>& losses) {
  DescriptionWriter out(routines, losses);
  const std::string place = "window " + TomlHexWord(window.windowId);
  out.SetPlace(place);
  out.Raw("# Window " + std::to_string(position + 1) + " of " + std::to_string(count) +
          " of a template, decompiled by zl_template_compiler: compile the windows in this order.\n");
  out.Raw("[window]\n");
  out.HexWord("id", window.windowId, true);
  out.HexWord("reserved1", window.reserved1);
  out.HexWord("reserved2", window.reserved2);
  out.Text("text1", window.text1);
  out.Text("text2", window.text2);

  // What the compiler refuses, since the runtime could never find it, a description cannot keep.
  if ((window.windowId & 0x00FFFFFFu) == 0 || (window.windowId & 0x0F000000u) == 0) {
    losses.push_back(place + ": its id can never be looked up, and a description refuses such an id");
  }
  if (window.units.empty()) losses.push_back(place + ": it has no units, and a description needs its window unit");
  if (!window.units.empty() && (window.units[0].unitId >> 28) != 0) {
    losses.push_back(place + ": its first unit is not a window unit, which a description needs first");
  }
  std::set<uint32_t> ids;
  for (const TemplateUnit& unit : window.units) {
    out.SetPlace(place + ", unit " + TomlHexWord(unit.unitId));
    if (!ids.insert(unit.unitId).second) losses.push_back(place + ": unit " + TomlHexWord(unit.unitId) + " is stored twice");
    if (unit.unitId == 0 && &unit != &window.units.front()) {
      losses.push_back(place + ": a unit other than the window unit has id 0, which a description refuses");
    }
    out.Raw("\n[[unit]]\n");
    out.HexWord("id", unit.unitId, true);
    if (unit.isMenuItem) {
      MenuItem(out, unit.menuItem);
    } else {
      Component(out, unit.record);
    }
  }
  return out.Take();
}

// The file name of a window's description; the position keeps template order in a listing.
std::string DescriptionFileName(uint32_t windowId, size_t position, size_t count) {
  std::string number = std::to_string(position + 1);
  number.insert(0, std::to_string(count).size() - number.size(), '0');
  return number + "_" + TomlHexWord(windowId).substr(2) + ".toml";
}

}  // namespace

std::optional<DecompiledTemplate> DecompileTemplate(std::span<const uint8_t> bytes, const RoutineList& routines,
                                                     std::string& error) {
  const uint32_t anyOffset = std::numeric_limits<uint32_t>::max();
  const auto routineCount = routines.names.empty() ? anyOffset : static_cast<uint32_t>(routines.names.size());
  const auto windows = ReadWindowTemplate(bytes, routineCount);
  if (!windows) {
    error = routineCount != anyOffset && ReadWindowTemplate(bytes, anyOffset)
                ? "a handler offset lies beyond the routine list (" + std::to_string(routineCount) + " routines)"
                : "the bytes are not a window template (a length or record runs past its end)";
    return std::nullopt;
  }
  DecompiledTemplate result;
  const std::vector<uint8_t> rebuilt = WriteWindowTemplate(*windows);
  if (!std::ranges::equal(rebuilt, bytes)) {
    const auto [at, unused] = std::ranges::mismatch(rebuilt, bytes);
    result.losses.push_back("the template stores bytes no description keeps (window list slots, bytes between "
                            "records or after the last window), first at byte " +
                            std::to_string(at - rebuilt.begin()));
  }
  std::set<uint32_t> ids;
  for (size_t i = 0; i < windows->size(); ++i) {
    const TemplateWindow& window = (*windows)[i];
    if (!ids.insert(window.windowId).second) {
      result.losses.push_back("window " + TomlHexWord(window.windowId) + " is stored twice");
    }
    result.windows.push_back({DescriptionFileName(window.windowId, i, windows->size()),
                              WindowDescription(window, i, windows->size(), routines, result.losses)});
  }
  return result;
}

}  // namespace zl::tools
