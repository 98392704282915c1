// zl_icon_maker: writes the program's icon (32 and 16 pixels) or a cursor from a
// picture described in text (tools/icon_maker/picture.h tells the format).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/icon_maker/picture.h"

int main(int argc, char** argv) {
  if (argc != 4 || (std::string(argv[1]) != "--icon" && std::string(argv[1]) != "--cursor")) {
    std::fprintf(stderr, "usage: zl_icon_maker --icon|--cursor PICTURE.txt OUTPUT\n");
    return 2;
  }
  const bool cursor = std::string(argv[1]) == "--cursor";
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "zl_icon_maker: cannot read %s\n", argv[2]);
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string error;
  const auto picture = zl::tools::ReadPicture(text, error);
  if (!picture) {
    std::fprintf(stderr, "%s: %s\n", argv[2], error.c_str());
    return 1;
  }
  std::vector<zl::tools::Picture> pictures{*picture};
  if (!cursor && picture->width >= 32) pictures.push_back(zl::tools::HalfSize(*picture));
  const auto bytes = zl::tools::IconFile(pictures, cursor);
  std::ofstream out(argv[3], std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "zl_icon_maker: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
