#include "app/like_run.h"

#include "app/app_texts.h"
#include "app/card_uri.h"
#include "app/card_windows.h"
#include "app/log_line.h"
#include "app/main_window.h"
#include "runtime/core/entry_table.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/shell_library.h"
#include "runtime/lib/system_commands.h"
#include "runtime/lib/thread_library.h"
#include "runtime/ui/list_view_commands.h"

namespace zl::app {
namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

// A setting of the main window: the edit box's Content as an integer (empty or not a
// number: 0).
int32_t Setting(uint32_t unitId) {
  const TextOwner content = EditBoxContent(unitId);
  return CallInt(&ToInt, Arg::Text(content.get()));
}

int32_t RowCount() { return CallInt(&GetRowCount, AccountList()); }

// Waits milliseconds computed in double precision: the product truncated toward zero
// to 64 bits, of which the low 32 bits count as a signed value (negative: no wait).
void DelaySeconds(int32_t seconds) {
  const auto milliseconds = static_cast<int64_t>(seconds * kMillisecondsPerSecond);
  CallVoid(&Delay, Arg::Int(static_cast<int32_t>(static_cast<uint32_t>(milliseconds))));
}

uint32_t RunThread(uint32_t) {
  LikeRun();
  return 0;
}

}  // namespace

void LikeRun() {
  int32_t row = 0;
  const int32_t passes = RowCount();
  for (int32_t pass = 0; pass < passes; ++pass) {
    // The group size holds for the whole pass; the interval is read after every opening.
    const int32_t groupSize = Setting(kGroupBoxUnit);
    for (int32_t i = 0; i < groupSize; ++i) {
      const TextOwner number = CallText(&GetCellText, AccountList(), Arg::Int(row), Arg::Int(1));
      const std::string uri = CardUri(TextView(number.get()));
      CallVoid(&ShellOpen, Arg::Omitted(), Arg::Text(uri.c_str()), Arg::Omitted(), Arg::Omitted(),
               Arg::Omitted());
      DelaySeconds(Setting(kIntervalBoxUnit));
      ++row;
    }
    LogLine(texts::kCardsOpened);
    for (HWND card : CollectCardWindows()) {
      for (int click = 0; click < kClicksPerCard; ++click) {
        PostMouseClick(card, kLikeX, kLikeY);
        CallVoid(&Delay, Arg::Int(kClickPauseMs));
      }
      LogLine(texts::kGroupLiked);
      PostClose(card);
    }
    if (row >= RowCount()) break;
  }
  LogLine(texts::kRunDone);
}

HandlerResult OnStartClicked(std::span<const uint32_t>) {
  // No handle is asked for, so the new thread's handle is closed at once.
  CallVoid(&StartThread, ArgRecord::OfPointer(kTypeSubprogramPointer, reinterpret_cast<void*>(&RunThread)),
           Arg::Omitted(), Arg::Omitted());
  return {};
}

HandlerResult OnStopClicked(std::span<const uint32_t>) {
  g_runtimeEntries.endProgram(0);  // ends every run with the program; does not return
  return {};
}

}  // namespace zl::app
