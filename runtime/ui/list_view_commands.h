// The extended-interface library's commands: the six row commands of the list view.
// Argument 0 of each is the list view (window id in the low word, unit id in the high
// word, type code 0x00040004); a missing list view ends the program with the run-time
// error of FindComponent. Called from any thread, each runs on the window thread.
// Bad input gives the empty value of the result.
#pragma once

#include <cstdint>

#include "runtime/lib/values.h"

namespace zl {

// Command 0: inserts a row (args: position, title, image index, state image index,
// indent, item data, all optional); the new row's index, -1 on failure. A position
// omitted or below 0 appends.
void InsertRow(ResultRecord* result, int32_t count, ArgRecord* args);
// Command 1: sets the text of a cell (args: row, column (0), text (empty)).
void SetCellText(ResultRecord* result, int32_t count, ArgRecord* args);
// Command 2: the text of a cell (args: row, column (0)) as a new Text; empty for a
// missing row or cell.
void GetCellText(ResultRecord* result, int32_t count, ArgRecord* args);
// Command 3: the number of rows.
void GetRowCount(ResultRecord* result, int32_t count, ArgRecord* args);
// Command 4: deletes every row.
void DeleteAllRows(ResultRecord* result, int32_t count, ArgRecord* args);
// Command 5: the first row from a start row whose text matches (args: text, start row
// (0), exact (true), column); -1 when none. Without a column (or column 0, or outside
// report view) the control's own case-insensitive search of the item texts answers; a
// column 1 .. count-1 is searched byte-wise; column -1 searches the items, then every
// other column row by row.
void FindRow(ResultRecord* result, int32_t count, ArgRecord* args);

inline constexpr uint32_t kListViewCommandCount = 6;
// The extended-interface library's command table, in the order above.
extern const CommandFn g_listViewCommands[kListViewCommandCount];

}  // namespace zl
