// The running stand-in client: main panel, contact cards and the hidden
// listener window that takes URIs from the protocol handler.
#pragma once

#include "tools/qq/card_window.h"
#include "tools/qq/ledger.h"
#include "tools/qq/options.h"
#include "tools/qq/panel_window.h"
#include "tools/qq/window.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qq {

// Owns all windows of one client process; is itself the listener window.
class Client : public Window {
 public:
  // Prepares a client for the parsed command line; Run() starts it.
  explicit Client(const Options& options);
  // Closes the cards still open, so each logs its close.
  ~Client() override;

  // Runs the client until its panel is destroyed; returns the exit code.
  int Run();

 private:
  // Takes URIs (WM_COPYDATA) and the card delay timers (WM_TIMER).
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Takes a URI from the protocol handler: schedules its card or rejects it.
  void OnUri(const std::wstring& uri);

  // Shows the card whose timer fired.
  void OnCardTimer(UINT_PTR timerId);

  // Shows the odd windows the command line asked for.
  bool OpenOddWindows();

  // Returns where the next card goes.
  POINT NextCardPosition();

  // Destroys all cards still open, so each logs its close.
  void CloseAllCards();

  Options m_options;
  Ledger m_ledger;
  PanelWindow m_panel;
  std::vector<std::unique_ptr<CardWindow>> m_cards;
  std::map<UINT_PTR, std::string> m_pendingCards;  // timer id -> QQ number
  UINT_PTR m_nextTimerId = 1;
  unsigned m_cardsShown = 0;
};

}  // namespace qq
