#include "tools/icon_maker/picture.h"

#include <map>
#include <sstream>

#include "runtime/core/byte_stream.h"

namespace zl::tools {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

void U16(ByteWriter& out, uint32_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  out.Bytes(bytes);
}

// One image as an icon resource stores it: a BITMAPINFOHEADER of double height, the
// 32-bit pixels bottom-up, then the 1-bit mask (set where transparent) bottom-up.
std::vector<uint8_t> ImageBytes(const Picture& picture) {
  ByteWriter out;
  out.U32(40);
  out.U32(static_cast<uint32_t>(picture.width));
  out.U32(static_cast<uint32_t>(picture.height * 2));
  U16(out, 1);
  U16(out, 32);
  for (int i = 0; i < 6; ++i) out.U32(0);  // no compression, sizes and colours unused
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) out.U32(picture.pixels[static_cast<size_t>(y * picture.width + x)]);
  }
  const int stride = (picture.width + 31) / 32 * 4;
  for (int y = picture.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
    for (int x = 0; x < picture.width; ++x) {
      if (!(picture.pixels[static_cast<size_t>(y * picture.width + x)] & kOpaque)) {
        row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
      }
    }
    out.Bytes(row);
  }
  return out.Take();
}

}  // namespace

std::optional<Picture> ReadPicture(std::string_view text, std::string& error) {
  Picture picture;
  std::map<char, uint32_t> palette;
  std::istringstream lines{std::string(text)};
  std::string line;
  int number = 0;
  int rows = 0;
  auto fail = [&](const std::string& message) {
    error = "line " + std::to_string(number) + ": " + message;
    return std::nullopt;
  };
  while (std::getline(lines, line)) {
    ++number;
    if (const size_t hash = line.find('#'); hash != std::string::npos && line.rfind("row", 0) != 0) line.resize(hash);
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    if (word == "size") {
      if (!(words >> picture.width >> picture.height) || picture.width <= 0 || picture.height <= 0 ||
          picture.width > 256 || picture.height > 256) {
        return fail("size needs a width and a height from 1 to 256");
      }
      picture.pixels.assign(static_cast<size_t>(picture.width * picture.height), 0);
    } else if (word == "hotspot") {
      if (!(words >> picture.hotspotX >> picture.hotspotY)) return fail("hotspot needs x and y");
    } else if (word == "colour") {
      std::string key, value;
      if (!(words >> key >> value) || key.size() != 1) return fail("colour needs one character and a value");
      if (value == "transparent") {
        palette[key[0]] = 0;
      } else {
        try {
          palette[key[0]] = kOpaque | (static_cast<uint32_t>(std::stoul(value, nullptr, 0)) & 0xFFFFFF);
        } catch (...) {
          return fail("a colour is 0xRRGGBB or transparent");
        }
      }
    } else if (word == "row") {
      std::string row;
      words >> row;
      if (picture.width == 0) return fail("size comes before the rows");
      if (static_cast<int>(row.size()) != picture.width || rows >= picture.height) {
        return fail("a row has exactly the picture's width, and there are as many rows as its height");
      }
      for (int x = 0; x < picture.width; ++x) {
        const auto colour = palette.find(row[static_cast<size_t>(x)]);
        if (colour == palette.end()) return fail(std::string("no colour '") + row[static_cast<size_t>(x)] + "'");
        picture.pixels[static_cast<size_t>(rows * picture.width + x)] = colour->second;
      }
      ++rows;
    } else {
      return fail("unknown word '" + word + "'");
    }
  }
  if (picture.width == 0 || rows != picture.height) {
    error = "the picture needs a size and all its rows";
    return std::nullopt;
  }
  return picture;
}

Picture HalfSize(const Picture& picture) {
  Picture half;
  half.width = picture.width / 2;
  half.height = picture.height / 2;
  half.hotspotX = picture.hotspotX / 2;
  half.hotspotY = picture.hotspotY / 2;
  half.pixels.assign(static_cast<size_t>(half.width * half.height), 0);
  for (int y = 0; y < half.height; ++y) {
    for (int x = 0; x < half.width; ++x) {
      uint32_t r = 0, g = 0, b = 0, opaque = 0;
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
          const uint32_t p = picture.pixels[static_cast<size_t>((2 * y + dy) * picture.width + 2 * x + dx)];
          if (!(p & kOpaque)) continue;
          ++opaque;
          r += (p >> 16) & 0xFF;
          g += (p >> 8) & 0xFF;
          b += p & 0xFF;
        }
      }
      if (opaque >= 2) {
        half.pixels[static_cast<size_t>(y * half.width + x)] =
            kOpaque | (r / opaque) << 16 | (g / opaque) << 8 | (b / opaque);
      }
    }
  }
  return half;
}

std::vector<uint8_t> IconFile(const std::vector<Picture>& pictures, bool cursor) {
  ByteWriter out;
  U16(out, 0);
  U16(out, cursor ? 2 : 1);
  U16(out, static_cast<uint32_t>(pictures.size()));
  std::vector<std::vector<uint8_t>> images;
  for (const Picture& picture : pictures) images.push_back(ImageBytes(picture));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    const Picture& picture = pictures[i];
    const uint8_t size[4] = {static_cast<uint8_t>(picture.width & 0xFF), static_cast<uint8_t>(picture.height & 0xFF),
                             0, 0};
    out.Bytes(size);
    // An icon names its planes and bit count here; a cursor its hotspot.
    U16(out, cursor ? static_cast<uint32_t>(picture.hotspotX) : 1);
    U16(out, cursor ? static_cast<uint32_t>(picture.hotspotY) : 32);
    out.U32(static_cast<uint32_t>(images[i].size()));
    out.U32(offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.Bytes(image);
  return out.Take();
}

}  // namespace zl::tools
