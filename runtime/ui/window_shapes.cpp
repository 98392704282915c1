#include "runtime/ui/window_shapes.h"

namespace zl {
namespace {

constexpr uint16_t E = kOutlineEnd;

// 4 triangle pointing up
constexpr uint16_t kTriangleUp[] = {16383, 0, 32767, 32767, 0, 32767, 16383, 0, E};
// 5 triangle pointing down
constexpr uint16_t kTriangleDown[] = {0, 0, 32767, 0, 16383, 32767, E};
// 6 triangle pointing left
constexpr uint16_t kTriangleLeft[] = {0, 16383, 32767, 0, 32767, 32767, E};
// 7 triangle pointing right
constexpr uint16_t kTriangleRight[] = {0, 0, 32767, 16383, 0, 32767, E};
// 8 pentagon
constexpr uint16_t kPentagon[] = {16383, 0, 32767, 12516, 25251, 32767, 7516, 32767, 0, 12516, E};
// 9 right triangle, the right angle at the bottom left
constexpr uint16_t kRightTriangle[] = {0, 0, 32767, 32767, 0, 32767, E};
// 10 hexagon
constexpr uint16_t kHexagon[] = {8191, 0, 24576, 0, 32767, 16383, 24576, 32767, 8191, 32767, 0, 16383, E};
// 11 octagon
constexpr uint16_t kOctagon[] = {9597,  0,     23170, 0, 32767, 9597, 32767, 23170,
                                 23170, 32767, 9597, 32767, 0,     23170, 0,     9597, E};
// 12 diamond
constexpr uint16_t kDiamond[] = {16383, 0, 32767, 16383, 16383, 32767, 0, 16383, E};
// 13 parallelogram leaning right
constexpr uint16_t kParallelogram[] = {8191, 0, 32767, 0, 24576, 32767, 0, 32767, E};
// 14 trapezoid, the short side at the top
constexpr uint16_t kTrapezoid[] = {8191, 0, 24576, 0, 32767, 32767, 0, 32767, E};
// 15 five-pointed star
constexpr uint16_t kStar5[] = {16383, 0,     20239, 12516, 32767, 12516, 22631, 20251, 26503, 32767,
                               16383, 24999, 6264,  32767, 10135, 20251, 0,     12516, 12527, 12516, E};
// 16 cross
constexpr uint16_t kCross[] = {10922, 0,     21845, 0,     21845, 10922, 32767, 10922, 32767, 21845, 21845, 21845,
                               21845, 32767, 10922, 32767, 10922, 21845, 0,     21845, 0,     10922, 10922, 10922, E};
// 17 arrow pointing right
constexpr uint16_t kArrowRight[] = {0, 8191, 19660, 8191, 19660, 0, 32767, 16383, 19660, 32767, 19660, 24576, 0, 24576, E};
// 18 arrow pointing left
constexpr uint16_t kArrowLeft[] = {32767, 8191, 13107, 8191, 13107, 0, 0, 16383, 13107, 32767, 13107, 24576, 32767, 24576, E};
// 19 arrow pointing up
constexpr uint16_t kArrowUp[] = {8191, 32767, 8191, 13107, 0, 13107, 16383, 0, 32767, 13107, 24576, 13107, 24576, 32767, E};
// 20 arrow pointing down
constexpr uint16_t kArrowDown[] = {8191, 0, 24576, 0, 24576, 19660, 32767, 19660, 16383, 32767, 0, 19660, 8191, 19660, E};
// 21 chevron pointing right
constexpr uint16_t kChevron[] = {0, 0, 22937, 0, 32767, 16383, 22937, 32767, 0, 32767, 9830, 16383, E};
// 22 house: a roof over a square
constexpr uint16_t kHouse[] = {16383, 0, 32767, 13107, 32767, 32767, 0, 32767, 0, 13107, E};
// 23 four-pointed star
constexpr uint16_t kStar4[] = {16383, 0, 20479, 12287, 32767, 16383, 20479, 20479, 16383, 32767, 12287, 20479,
                               0, 16383, 12287, 12287, E};
// 24 trapezoid, the short side at the bottom
constexpr uint16_t kTrapezoidDown[] = {0, 0, 32767, 0, 24576, 32767, 8191, 32767, E};
// 25 parallelogram leaning left
constexpr uint16_t kParallelogramLeft[] = {0, 0, 24576, 0, 32767, 32767, 8191, 32767, E};
// 26 pennant: a flag notched on the right
constexpr uint16_t kPennant[] = {0, 0, 32767, 0, 22937, 16383, 32767, 32767, 0, 32767, E};
// 27 tag: a rectangle pointed on the right
constexpr uint16_t kTag[] = {0, 0, 24576, 0, 32767, 16383, 24576, 32767, 0, 32767, E};
// 28 speech bubble: a rectangle with a tail at the bottom left
constexpr uint16_t kBubble[] = {0, 0, 32767, 0, 32767, 24576, 13107, 24576, 4095, 32767, 6553, 24576, 0, 24576, E};
// 29 six-pointed star
constexpr uint16_t kStar6[] = {16383, 0,     20479, 8191,  30574, 8191,  24576, 16383, 30574, 24576, 20479, 24576,
                               16383, 32767, 12287, 24576, 2192,  24576, 8191,  16383, 2192,  8191,  12287, 8191, E};

constexpr std::span<const uint16_t> kOutlines[] = {
    kTriangleUp, kTriangleDown, kTriangleLeft, kTriangleRight, kPentagon, kRightTriangle, kHexagon,
    kOctagon, kDiamond, kParallelogram, kTrapezoid, kStar5, kCross, kArrowRight, kArrowLeft, kArrowUp,
    kArrowDown, kChevron, kHouse, kStar4, kTrapezoidDown, kParallelogramLeft, kPennant, kTag, kBubble, kStar6,
};
static_assert(std::size(kOutlines) == kLastOutlineShape - kFirstOutlineShape + 1);

}  // namespace

std::span<const uint16_t> ShapeOutline(int32_t shape) {
  if (shape < kFirstOutlineShape || shape > kLastOutlineShape) return {};
  return kOutlines[shape - kFirstOutlineShape];
}

}  // namespace zl
