// Event ledger of the stand-in client: one ASCII line per event.
//
// Lines (fields separated by one space, each line ends with "\n"):
//   start PID
//   open UIN HWND          HWND as lowercase hex without a "0x" prefix; an odd window
//                          (options.h) has its name in place of UIN in all its lines
//   reject URI             URI bytes outside '!'..'~' written as %XX (UTF-8)
//   msg UIN NAME WPARAM X Y / msg panel NAME WPARAM X Y
//                          NAME is WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP
//                          or the message number in decimal; WPARAM decimal;
//                          X and Y are the signed 16-bit halves of lParam
//   like UIN N
//   close UIN LIKES
//   closepanel
#pragma once

#include "tools/qq/handles.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace qq {

// Name used in `msg` lines for the main panel.
inline constexpr std::string_view kPanelLedgerName = "panel";

// Formats the hex form of a window handle used in the ledger.
std::string FormatHwnd(std::uintptr_t handleValue);

// Names a mouse message for a `msg` line.
std::string MouseMessageName(UINT message);

// Turns a UTF-16 text into one ASCII ledger field.
std::string EscapeLedgerField(std::wstring_view text);

// Builds the `start` line.
std::string FormatStart(unsigned long processId);

// Builds the `open` line for a card shown for uin.
std::string FormatOpen(std::string_view uin, std::uintptr_t handleValue);

// Builds the `reject` line for a URI that opens no card.
std::string FormatReject(std::wstring_view uri);

// Builds the `msg` line for a mouse message received by window `who`.
std::string FormatMouse(std::string_view who, UINT message, WPARAM wParam, LPARAM lParam);

// Builds the `like` line after the count-th like on a card.
std::string FormatLike(std::string_view uin, unsigned count);

// Builds the `close` line for a card that closes with likes counted.
std::string FormatClose(std::string_view uin, unsigned likes);

// Builds the `closepanel` line.
std::string FormatClosePanel();

// Append-only ledger file; does nothing when no path was given.
class Ledger {
 public:
  // Opens (creating if needed) the ledger at path for appending.
  bool Open(const std::wstring& path);

  // Writes one line and its "\n" straight to the file.
  void Write(std::string_view line);

 private:
  UniqueFile m_file;
};

}  // namespace qq
