#include "runtime/core/window_template.h"

#include "runtime/core/byte_stream.h"

namespace zl {
namespace {

// A handler offset is -1 (unbound) or a position in the routine table; anything
// else would call outside the application's code.
bool ValidHandlerOffset(int32_t offset, uint32_t routineCount) {
  return offset == kUnboundHandler || (offset >= 0 && static_cast<uint32_t>(offset) < routineCount);
}

// Fields 1-9 shared by both record kinds (after the record length).
template <class Record>
bool ReadRecordHeader(ByteReader& in, Record& record) {
  if (!in.U32(record.typeCode) || !in.U32(record.handlerSource)) return false;
  for (uint32_t& word : record.reserved) {
    if (!in.U32(word)) return false;
  }
  return in.TerminatedText(record.name) && in.TerminatedText(record.secondName);
}

template <class Record>
void WriteRecordHeader(ByteWriter& out, const Record& record) {
  out.U32(record.typeCode);
  out.U32(record.handlerSource);
  for (uint32_t word : record.reserved) out.U32(word);
  out.TerminatedText(record.name);
  out.TerminatedText(record.secondName);
}

bool ReadMenuItem(std::span<const uint8_t> bytes, uint32_t routineCount, MenuItemRecord& item) {
  ByteReader in(bytes);
  return ReadRecordHeader(in, item) && in.U32(item.liveObject) && in.U32(item.reserved2) &&
         in.U32(item.flags) && in.TerminatedText(item.caption) && in.I32(item.handlerOffset) &&
         ValidHandlerOffset(item.handlerOffset, routineCount);
}

bool ReadUnitRecord(std::span<const uint8_t> bytes, uint32_t routineCount, UnitRecord& unit) {
  ByteReader in(bytes);
  if (!ReadRecordHeader(in, unit) || !in.U32(unit.liveObject) || !in.I32(unit.left) ||
      !in.I32(unit.top) || !in.I32(unit.width) || !in.I32(unit.height) || !in.U32(unit.cursor) ||
      !in.U32(unit.container)) {
    return false;
  }
  uint32_t pageCount = 0;
  if (!in.U32(pageCount) || pageCount > in.Remaining() / 4) return false;
  unit.pageList.resize(pageCount);
  for (uint32_t& id : unit.pageList) in.U32(id);
  if (!in.CountedBytes(unit.mousePointer) || !in.TerminatedText(unit.tag) || !in.U32(unit.reserved20) ||
      !in.U32(unit.flags) || !in.U32(unit.reserved22)) {
    return false;
  }
  uint32_t bindingCount = 0;
  if (!in.U32(bindingCount) || bindingCount > in.Remaining() / 8) return false;
  unit.bindings.resize(bindingCount);
  for (EventBinding& binding : unit.bindings) {
    in.I32(binding.eventNumber);
    in.I32(binding.handlerOffset);
    if (!ValidHandlerOffset(binding.handlerOffset, routineCount)) return false;
  }
  for (uint32_t& word : unit.reserved24) {
    if (!in.U32(word)) return false;
  }
  const std::span<const uint8_t> blob = in.Rest();
  unit.propertyBlob.assign(blob.begin(), blob.end());
  return true;
}

// The unit block: N ids, N record offsets, then the records. Each offset counts
// from the first byte after the offset array and points at a record's length word.
bool ReadUnitBlock(std::span<const uint8_t> block, uint32_t unitCount, uint32_t routineCount,
                   std::vector<TemplateUnit>& units) {
  if (unitCount > block.size() / 8) return false;
  ByteReader ids(block.first(size_t{unitCount} * 4));
  ByteReader offsets(block.subspan(size_t{unitCount} * 4, size_t{unitCount} * 4));
  const std::span<const uint8_t> records = block.subspan(size_t{unitCount} * 8);
  units.resize(unitCount);
  for (TemplateUnit& unit : units) {
    uint32_t offset = 0;
    ids.U32(unit.unitId);
    offsets.U32(offset);
    if (offset > records.size()) return false;
    ByteReader record(records.subspan(offset));
    uint32_t length = 0;
    std::span<const uint8_t> body;
    if (!record.U32(length) || !record.Bytes(length, body)) return false;
    unit.isMenuItem = IsMenuItemId(unit.unitId);
    const bool ok = unit.isMenuItem ? ReadMenuItem(body, routineCount, unit.menuItem)
                                    : ReadUnitRecord(body, routineCount, unit.record);
    if (!ok) return false;
  }
  return true;
}

void WriteMenuItem(ByteWriter& out, const MenuItemRecord& item) {
  WriteRecordHeader(out, item);
  out.U32(item.liveObject);
  out.U32(item.reserved2);
  out.U32(item.flags);
  out.TerminatedText(item.caption);
  out.I32(item.handlerOffset);
}

void WriteUnitRecord(ByteWriter& out, const UnitRecord& unit) {
  WriteRecordHeader(out, unit);
  out.U32(unit.liveObject);
  out.I32(unit.left);
  out.I32(unit.top);
  out.I32(unit.width);
  out.I32(unit.height);
  out.U32(unit.cursor);
  out.U32(unit.container);
  out.U32(static_cast<uint32_t>(unit.pageList.size()));
  for (uint32_t id : unit.pageList) out.U32(id);
  out.CountedBytes(unit.mousePointer);
  out.TerminatedText(unit.tag);
  out.U32(unit.reserved20);
  out.U32(unit.flags);
  out.U32(unit.reserved22);
  out.U32(static_cast<uint32_t>(unit.bindings.size()));
  for (const EventBinding& binding : unit.bindings) {
    out.I32(binding.eventNumber);
    out.I32(binding.handlerOffset);
  }
  for (uint32_t word : unit.reserved24) out.U32(word);
  out.Bytes(unit.propertyBlob);
}

std::vector<uint8_t> WriteUnitBlock(const std::vector<TemplateUnit>& units) {
  ByteWriter records;
  std::vector<uint32_t> offsets;
  for (const TemplateUnit& unit : units) {
    offsets.push_back(static_cast<uint32_t>(records.Size()));
    const size_t lengthAt = records.Size();
    records.U32(0);
    if (IsMenuItemId(unit.unitId)) {
      WriteMenuItem(records, unit.menuItem);
    } else {
      WriteUnitRecord(records, unit.record);
    }
    records.PatchU32(lengthAt, static_cast<uint32_t>(records.Size() - lengthAt - 4));
  }
  ByteWriter block;
  for (const TemplateUnit& unit : units) block.U32(unit.unitId);
  for (uint32_t offset : offsets) block.U32(offset);
  block.Bytes(records.Data());
  return block.Take();
}

}  // namespace

std::optional<size_t> TemplateWindow::IndexOf(uint32_t unitId) const {
  if (unitId == 0) return units.empty() ? std::nullopt : std::optional<size_t>(0);
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i].unitId == unitId) return i;
  }
  return std::nullopt;
}

std::optional<std::vector<TemplateWindow>> ReadWindowTemplate(std::span<const uint8_t> bytes,
                                                             uint32_t routineCount) {
  ByteReader in(bytes);
  uint32_t listLength = 0;
  std::span<const uint8_t> list;
  // L/8 windows: ids in the first half, the loader's slots in the second.
  if (!in.U32(listLength) || listLength % 8 != 0 || !in.Bytes(listLength, list)) return std::nullopt;
  std::vector<TemplateWindow> windows(listLength / 8);
  ByteReader ids(list);
  for (TemplateWindow& window : windows) {
    ids.U32(window.windowId);
    uint32_t unitCount = 0;
    uint32_t blockLength = 0;
    std::span<const uint8_t> block;
    if (!in.U32(window.reserved1) || !in.U32(window.reserved2) || !in.CountedText(window.text1) ||
        !in.CountedText(window.text2) || !in.U32(unitCount) || !in.U32(blockLength) ||
        !in.Bytes(blockLength, block)) {
      return std::nullopt;
    }
    if (!ReadUnitBlock(block, unitCount, routineCount, window.units)) return std::nullopt;
    window.unitBlock.assign(block.begin(), block.end());
  }
  return windows;
}

std::vector<uint8_t> WriteWindowTemplate(std::span<const TemplateWindow> windows) {
  ByteWriter out;
  out.U32(static_cast<uint32_t>(windows.size() * 8));
  for (const TemplateWindow& window : windows) out.U32(window.windowId);
  for (size_t i = 0; i < windows.size(); ++i) out.U32(0);
  for (const TemplateWindow& window : windows) {
    out.U32(window.reserved1);
    out.U32(window.reserved2);
    out.CountedText(window.text1);
    out.CountedText(window.text2);
    out.U32(static_cast<uint32_t>(window.units.size()));
    out.CountedBytes(WriteUnitBlock(window.units));
  }
  return out.Take();
}

}  // namespace zl
