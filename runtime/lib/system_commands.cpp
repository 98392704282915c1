#include "runtime/lib/system_commands.h"

#include <windows.h>

#include <cstring>

#include "runtime/core/win_handles.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/command_args.h"
#include "runtime/lib/component_lookup.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/library_texts.h"

namespace zl {
namespace {

// The message box's parent: a window component resolved to its window, or an Int handle.
HWND MessageBoxParent(const ArgList& a) {
  if (a.Count() < 4) return nullptr;
  const ArgRecord parent = a[3];
  if (parent.type == kTypeWindowUnit) return FindComponentWindow(parent.low, parent.high);
  if (parent.type == kTypeInt) return reinterpret_cast<HWND>(static_cast<intptr_t>(parent.Int()));
  return nullptr;
}

// The button index of a message box answer.
int32_t ButtonIndex(int answer) {
  switch (answer) {
    case IDCANCEL: return 1;
    case IDABORT: return 2;
    case IDRETRY: return 3;
    case IDIGNORE: return 4;
    case IDYES: return 5;
    case IDNO: return 6;
    default: return 0;  // IDOK and anything else
  }
}

}  // namespace

void MsgBox(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgList a(count, args);
  // The message is formatted like ToText of a single value; byte sets and arrays show nothing.
  const TextOwner text(FormatValue(a[0]));
  const char* caption = a[2].type == kTypeText ? a[2].Pointer<const char>() : nullptr;
  if (!caption) caption = texts::kMessageBoxCaption;
  UINT style = static_cast<UINT>(a.Int(1));
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  const int answer = MessageBoxA(MessageBoxParent(a), text ? text.get() : "", caption, style);
  SetIntResult(result, ButtonIndex(answer));
}

void ReadFileBytes(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgList a(count, args);
  if (a.Text(0).empty()) return;
  // Readers may share the file; a writer may neither hold it nor open it meanwhile.
  UniqueFile file(CreateFileA(a[0].Pointer<const char>(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  LARGE_INTEGER size{};
  // A byte set holds at most 2^31 - 1 bytes: a larger file cannot be read into one.
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > INT32_MAX) return;
  const auto length = static_cast<DWORD>(size.QuadPart);
  HeapPtr<uint8_t> block(static_cast<uint8_t*>(RtAlloc(sizeof(ByteSetHeader) + length)));
  DWORD total = 0;
  while (total < length) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), block.get() + sizeof(ByteSetHeader) + total, length - total, &read, nullptr)) {
      return;
    }
    if (read == 0) break;
    total += read;
  }
  if (total == 0) return;
  const ByteSetHeader header{1, static_cast<int32_t>(total)};
  std::memcpy(block.get(), &header, sizeof header);
  SetPointerResult(result, RtRealloc(block.release(), sizeof(ByteSetHeader) + total));
}

void Delay(ResultRecord*, int32_t count, ArgRecord* args) {
  const int32_t ms = ArgList(count, args).Int(0);
  Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0);
}

}  // namespace zl
