// A contact card: shows a QQ number and a like control that counts clicks.
#pragma once

#include "tools/qq/ledger.h"
#include "tools/qq/like_counter.h"
#include "tools/qq/options.h"
#include "tools/qq/window.h"

#include <optional>
#include <string>

namespace qq {

// Like control in card client coordinates; its centre is (278, 278).
inline constexpr RECT kLikeControlRect{238, 258, 318, 298};

// One contact card window; closes itself on WM_CLOSE unless told to ignore it.
class CardWindow : public Window {
 public:
  // Prepares a card for uin; Open() creates its window.
  CardWindow(std::string uin, Ledger& ledger, std::optional<unsigned> likesLimit, bool ignoreClose);

  // Creates the card at topLeft and shows it without activating it; an odd window
  // takes its own client size and title.
  bool Open(POINT topLeft, const OddWindow* odd = nullptr);

  // Returns the QQ number the card shows.
  const std::string& Uin() const { return m_uin; }

 private:
  // Logs mouse messages, counts likes, paints, and closes unless told not to.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Handles a left button press or release at the point in lParam.
  void OnLeftButton(bool down, LPARAM lParam);

  // Draws the card.
  void Paint();

  std::string m_uin;
  Ledger& m_ledger;
  bool m_ignoreClose;
  LikeCounter m_likes;
  UniqueGdiObject m_titleFont;
  UniqueGdiObject m_textFont;
  UniqueGdiObject m_headerBrush;
  UniqueGdiObject m_likeBrush;
  UniqueGdiObject m_likePressedBrush;
};

}  // namespace qq
