// The card-liking run: groups of card openings, then ten clicks on each card window.
#pragma once

#include <span>

#include "runtime/core/program_descriptor.h"

namespace zl::app {

// Ten clicks per card, 200 ms apart, at this point of the card's client area.
inline constexpr int kClicksPerCard = 10;
inline constexpr int32_t kClickPauseMs = 200;
inline constexpr int32_t kLikeX = 278;
inline constexpr int32_t kLikeY = 278;

// The body of a run's thread.
void LikeRun();

// Start starts one more run on a thread of its own; Stop ends the program with 0.
HandlerResult OnStartClicked(std::span<const uint32_t>);
HandlerResult OnStopClicked(std::span<const uint32_t>);

}  // namespace zl::app
