// The client's main panel. WM_CLOSE is logged as `closepanel` and otherwise
// ignored; the process ends through the panel's exit button (or is killed).
#pragma once

#include "tools/qq/ledger.h"
#include "tools/qq/window.h"

namespace qq {

// Client area of the main panel.
inline constexpr SIZE kPanelClientSize{280, 600};

// Main panel window; destroying it ends the message loop.
class PanelWindow : public Window {
 public:
  // Prepares the panel; Open() creates its window.
  explicit PanelWindow(Ledger& ledger);

  // Creates the panel at the right edge of the work area and shows it.
  bool Open();

 private:
  // Logs mouse messages and close requests, paints, and ends on the exit button.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Draws the panel.
  void Paint();

  Ledger& m_ledger;
  UniqueGdiObject m_headingFont;
  UniqueGdiObject m_textFont;
};

}  // namespace qq
