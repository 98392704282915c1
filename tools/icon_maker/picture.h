// A small picture described in text, for the program's icon and cursors: a size, a
// palette of one-character colours (or "transparent") and one line of characters per
// row. Portable.
//
//   size 32 32
//   hotspot 6 1                 # cursors only: the point that clicks
//   colour R 0xD03040           # 0xRRGGBB
//   colour . transparent
//   row ....RRRR....
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zl::tools {

struct Picture {
  int width = 0;
  int height = 0;
  int hotspotX = 0;
  int hotspotY = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, row by row from the top; alpha 0 or 255
};

// Reads a picture; nothing (with a message naming the line) when it is wrong.
std::optional<Picture> ReadPicture(std::string_view text, std::string& error);
// The picture at half its size (each 2 × 2 block: opaque when most of it is, its colour
// the mean of its opaque pixels).
Picture HalfSize(const Picture& picture);
// An icon file (type 1) or a cursor file (type 2, with the picture's hotspot) holding
// the pictures as 32-bit images with their masks.
std::vector<uint8_t> IconFile(const std::vector<Picture>& pictures, bool cursor);

}  // namespace zl::tools
