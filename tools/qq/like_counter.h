// Click logic of a card's like control, kept apart from the window.
#pragma once

#include <optional>

namespace qq {

// Counts one like per left button press and release both inside the control.
class LikeCounter {
 public:
  // Counts at most limit likes (no limit when empty).
  explicit LikeCounter(std::optional<unsigned> limit) : m_limit(limit) {}

  // Notes a left button press, inside the control or not.
  void ButtonDown(bool inside) { m_pressedInside = inside; }

  // Notes a left button release; returns true when it counted a like.
  bool ButtonUp(bool inside) {
    const bool click = m_pressedInside && inside;
    m_pressedInside = false;
    if (!click || (m_limit && m_likes >= *m_limit)) {
      return false;
    }
    ++m_likes;
    return true;
  }

  // Tells whether a press inside the control is waiting for its release.
  bool IsPressed() const { return m_pressedInside; }

  // Returns the likes counted so far.
  unsigned Likes() const { return m_likes; }

 private:
  std::optional<unsigned> m_limit;
  unsigned m_likes = 0;
  bool m_pressedInside = false;
};

}  // namespace qq
