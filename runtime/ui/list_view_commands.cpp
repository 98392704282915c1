#include "runtime/ui/list_view_commands.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string_view>
#include <type_traits>
#include <vector>

#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/command_args.h"
#include "runtime/ui/list_view.h"

namespace zl {
namespace {

// Runs `body(hwnd, args)` on the window thread for the list view argument 0 names and
// answers its result; `empty` when argument 0 names no list view.
template <class Result, class Body>
Result WithListView(int32_t count, const ArgRecord* records, Result empty, Body body) noexcept {
  const ArgList args(count, records);
  if (!args.Given(0)) return empty;
  try {
    return Kernel().OnMainThread([&]() -> Result {
      const ArgRecord unit = args[0];
      auto* object = reinterpret_cast<UnitObject*>(
          Notify(kNotifyFindComponentOrFail, static_cast<intptr_t>(unit.low), static_cast<intptr_t>(unit.high)));
      auto* view = dynamic_cast<ListView*>(object);
      if (!view) return empty;  // the lookup answers only components whose window lives
      try {
        if constexpr (std::is_invocable_v<Body, ListView&, const ArgList&>) {
          return body(*view, args);
        } else {
          return body(view->Hwnd(), args);
        }
      } catch (...) {
        return empty;
      }
    });
  } catch (...) {
    return empty;
  }
}

// A text argument as a zero-terminated string; "" when omitted or not a text.
const char* TextArg(const ArgList& args, int32_t i) {
  const ArgRecord record = args[i];
  const char* text = record.type == kTypeText ? record.Pointer<const char>() : nullptr;
  return text ? text : "";
}

int32_t RowCount(HWND hwnd) { return static_cast<int32_t>(SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0)); }

int32_t ColumnCount(HWND hwnd) {
  const auto header = reinterpret_cast<HWND>(SendMessageA(hwnd, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int32_t>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

// Reads cell texts of one control, whole however long: a 512-byte buffer first,
// doubled while a text may have been cut to fit it.
class CellReader {
 public:
  explicit CellReader(HWND hwnd) : m_hwnd(hwnd) {}

  // The text of (row, column), valid until the next read; empty for a missing cell.
  std::string_view Read(int32_t row, int32_t column) {
    char* buffer = m_grown.empty() ? m_first : m_grown.data();
    size_t size = m_grown.empty() ? sizeof m_first : m_grown.size();
    for (;;) {
      LVITEMA item{};
      item.iSubItem = column;
      item.pszText = buffer;
      item.cchTextMax = static_cast<int>(size);
      const auto length = static_cast<size_t>(
          std::max<LRESULT>(SendMessageA(m_hwnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                         reinterpret_cast<LPARAM>(&item)), 0));
      // The control may answer with its own copy of the text instead of filling ours.
      if (item.pszText && item.pszText != buffer) return std::string_view(item.pszText);
      // A text cut to fit ends one byte short of the buffer, or two when the last
      // character is a double-byte one that did not fit.
      if (length + 2 < size || size >= kLargestBuffer) return std::string_view(buffer, std::min(length, size - 1));
      m_grown.assign(size * 2, '\0');
      buffer = m_grown.data();
      size = m_grown.size();
    }
  }

 private:
  static constexpr size_t kLargestBuffer = size_t{1} << 30;
  HWND m_hwnd;
  char m_first[512];
  std::vector<char> m_grown;
};

int32_t InsertRowIn(HWND hwnd, const ArgList& args) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
  // Appending needs no count: a position past the last row puts the row at the end.
  item.iItem = args.Given(1) && args.Int(1) >= 0 ? args.Int(1) : INT_MAX;
  item.pszText = const_cast<char*>(TextArg(args, 2));
  // -1 means no image; sent as I_IMAGENONE, since -1 would ask the parent for one.
  item.iImage = args.Given(3) && args.Int(3) >= 0 ? args.Int(3) : I_IMAGENONE;
  if (args.Given(4)) {
    const int64_t image = int64_t{args.Int(4)} + 1;
    item.state = image > 0 ? static_cast<UINT>(image) << 12 : 0;
  }
  item.stateMask = 0;
  item.iIndent = args.Given(5) ? std::max(args.Int(5), 0) : 0;
  item.lParam = args.Given(6) ? static_cast<LPARAM>(args.Int(6)) : 0;
  return static_cast<int32_t>(SendMessageA(hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int32_t SetCellTextIn(HWND hwnd, const ArgList& args) {
  const int32_t row = args.Int(1);
  const int32_t column = args.Given(2) ? args.Int(2) : 0;
  if (!args.Given(1) || row < 0 || column < 0) return 0;  // row -1 would mean every row to some messages
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(TextArg(args, 3));
  SendMessageA(hwnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return 0;
}

Text GetCellTextIn(HWND hwnd, const ArgList& args) {
  const int32_t row = args.Int(1);
  const int32_t column = args.Given(2) ? args.Int(2) : 0;
  if (!args.Given(1) || row < 0 || column < 0 || row >= RowCount(hwnd)) return nullptr;
  CellReader reader(hwnd);
  return MakeText(reader.Read(row, column));
}

int32_t FindRowIn(HWND hwnd, const ArgList& args) {
  const char* text = TextArg(args, 1);
  const int32_t start = args.Given(2) ? std::max(args.Int(2), 0) : 0;
  const bool exact = !args.Given(3) || args[3].low != 0;
  LVFINDINFOA find{};
  find.flags = exact ? LVFI_STRING : LVFI_STRING | LVFI_PARTIAL;
  find.psz = text;
  const auto found = static_cast<int32_t>(
      SendMessageA(hwnd, LVM_FINDITEMA, static_cast<WPARAM>(start - 1), reinterpret_cast<LPARAM>(&find)));

  const int32_t column = args.Count() >= 5 && args.Given(4) ? args.Int(4) : 0;
  const bool report = (GetWindowLongPtrA(hwnd, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
  if (column == 0 || !report) return found;
  const int32_t rows = RowCount(hwnd);
  const int32_t columns = ColumnCount(hwnd);
  const std::string_view wanted(text);
  CellReader reader(hwnd);
  const auto matches = [&](int32_t row, int32_t c) {
    const std::string_view cell = reader.Read(row, c);
    return exact ? cell == wanted : cell.starts_with(wanted);
  };
  if (column > 0 && column < columns) {
    for (int32_t row = start; row < rows; ++row) {
      if (matches(row, column)) return row;
    }
    return -1;
  }
  if (column == -1 && found == -1) {
    for (int32_t row = start; row < rows; ++row) {
      for (int32_t c = 1; c < columns; ++c) {
        if (matches(row, c)) return row;
      }
    }
  }
  return found;
}

}  // namespace

void InsertRow(ResultRecord* result, int32_t count, ArgRecord* args) {
  SetIntResult(result, WithListView(count, args, -1, [](ListView& view, const ArgList& a) {
                 view.HoldRedrawUntilIdle();
                 return InsertRowIn(view.Hwnd(), a);
               }));
}

void SetCellText(ResultRecord*, int32_t count, ArgRecord* args) { WithListView(count, args, 0, &SetCellTextIn); }

void GetCellText(ResultRecord* result, int32_t count, ArgRecord* args) {
  SetPointerResult(result, WithListView<Text>(count, args, nullptr, &GetCellTextIn));
}

void GetRowCount(ResultRecord* result, int32_t count, ArgRecord* args) {
  SetIntResult(result, WithListView(count, args, 0, [](HWND hwnd, const ArgList&) { return RowCount(hwnd); }));
}

void DeleteAllRows(ResultRecord*, int32_t count, ArgRecord* args) {
  WithListView(count, args, 0, [](HWND hwnd, const ArgList&) {
    SendMessageA(hwnd, LVM_DELETEALLITEMS, 0, 0);
    return 0;
  });
}

void FindRow(ResultRecord* result, int32_t count, ArgRecord* args) {
  SetIntResult(result, WithListView(count, args, -1, &FindRowIn));
}

const CommandFn g_listViewCommands[kListViewCommandCount] = {&InsertRow,   &SetCellText,   &GetCellText,
                                                             &GetRowCount, &DeleteAllRows, &FindRow};

}  // namespace zl
