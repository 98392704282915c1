#include "app/account_list.h"

#include <utility>

#include "app/app_texts.h"
#include "app/log_line.h"
#include "app/main_window.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/redraw_hold.h"
#include "runtime/lib/shell_library.h"
#include "runtime/lib/system_commands.h"
#include "runtime/lib/text_commands.h"
#include "runtime/ui/list_view_commands.h"

namespace zl::app {
namespace {

// A row just inserted, and its ordinal's text.
struct NumberedRow {
  int32_t index;
  TextOwner ordinal;
};

// Inserts a row numbered with the next ordinal (rows so far + 1). The ordinal's text is
// kept until the caller has set the row's number, so that the next row's ordinal takes
// the same block again: freed between the row's two inserts, it leaves a hole among the
// list's own blocks, and under Wine's heap a million imported rows then peaked at
// 697 MiB instead of 568 (the import-memory benchmark's median of five heap layouts).
NumberedRow InsertNumberedRow() {
  const int32_t rows = CallInt(&GetRowCount, AccountList());
  TextOwner ordinal = CallText(&ToText, Arg::Double(rows + 1.0));
  const int32_t index = CallInt(&InsertRow, AccountList(), Arg::Omitted(), Arg::Text(ordinal.get()));
  return {index, std::move(ordinal)};
}

void SetNumber(int32_t row, const char* number) {
  CallVoid(&SetCellText, AccountList(), Arg::Int(row), Arg::Int(1), Arg::Text(number));
}

}  // namespace

void AppendAccountRow(const char* number) {
  const NumberedRow row = InsertNumberedRow();
  SetNumber(row.index, number);
}

namespace {

// Appends one row per piece, in order.
void AppendRows(const TextArrayOwner& lines) {
  if (!lines) return;
  const ArrayBlock array(lines.get());
  // A visible list repaints after every row it takes; held, it repaints once at the end.
  const RedrawHold hold(kMainWindowId, kAccountListUnit);
  for (size_t i = 0; i < array.ElementCount(); ++i) AppendAccountRow(array.At<char*>(i));
}

TextArrayOwner SplitLines(const char* text) {
  return CallTextArray(&SplitText, Arg::Text(text), Arg::Text(texts::kLineEnd));
}

}  // namespace

void ImportNumbers(const char* text) { AppendRows(SplitLines(text)); }

void ImportFile(const char* path) {
  // ImportNumbers on the file's text, with each copy released once the next step has
  // made its own: a million lines come to tens of megabytes, which the list's rows
  // would otherwise sit on top of.
  TextArrayOwner lines;
  {
    TextOwner text;
    {
      const HeapPtr<uint8_t> bytes = CallByteSet(&ReadFileBytes, Arg::Text(path));
      text = CallText(&ToText, Arg::ByteSet(bytes.get()));
    }
    lines = SplitLines(text.get());
  }
  AppendRows(lines);
}

HandlerResult OnAddClicked(std::span<const uint32_t>) {
  // The box is read after the row exists, just before its number is set.
  const NumberedRow row = InsertNumberedRow();
  const TextOwner number = EditBoxContent(kAddBoxUnit);
  SetNumber(row.index, number.get());
  return {};
}

HandlerResult OnImportClicked(std::span<const uint32_t>) {
  const TextOwner path = CallText(&BrowseFolder, Arg::Text(texts::kChooseFile), Arg::Logical(true));
  if (!path) return {};
  // Any path holding ".txt" (exactly so) is taken; anything else is ignored silently.
  if (CallInt(&FindText, Arg::Text(path.get()), Arg::Text(texts::kTextFileMark), Arg::Omitted(),
              Arg::Logical(false)) == -1) {
    return {};
  }
  ImportFile(path.get());
  return {};
}

HandlerResult OnClearClicked(std::span<const uint32_t>) {
  CallVoid(&DeleteAllRows, AccountList());
  LogLine(texts::kAccountsCleared);
  return {};
}

}  // namespace zl::app
