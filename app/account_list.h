// The account list: the QQ numbers a run likes, kept only in the main window's list view.
#pragma once

#include <span>

#include "runtime/core/program_descriptor.h"

namespace zl::app {

// Appends a row: the next ordinal in column 0, the number in column 1.
void AppendAccountRow(const char* number);
// Appends one row per line of a text (lines end with "\r\n").
void ImportNumbers(const char* text);
// Appends one row per line of a text file, as the import button does.
void ImportFile(const char* path);

// Click handlers of the add, import and clear buttons.
HandlerResult OnAddClicked(std::span<const uint32_t>);
HandlerResult OnImportClicked(std::span<const uint32_t>);
HandlerResult OnClearClicked(std::span<const uint32_t>);

}  // namespace zl::app
