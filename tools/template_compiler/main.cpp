// zl_template_compiler: window descriptions (TOML, one file per window) in, the
// stored window template out, as raw bytes or as a C++ source to embed.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/template_compiler/description.h"
#include "tools/template_compiler/routine_list.h"

namespace {

constexpr char kUsage[] =
    "usage: zl_template_compiler [--routines FILE] [--header NAME] -o OUTPUT DESCRIPTION...\n"
    "\n"
    "Compiles window descriptions (TOML, one file per window, windows in the order\n"
    "given) into a window template.\n"
    "\n"
    "  --routines FILE  the application's routine list (lines ZL_ROUTINE(Name)); a\n"
    "                   handler name stands for its position in this list\n"
    "  --header NAME    write a C++ source defining NAME[] and NAME_size instead of\n"
    "                   the raw template bytes\n"
    "  -o OUTPUT        the file to write\n"
    "  --help           show this text\n";

bool IsIdentifier(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name) {
    if (!(c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

int Usage(const char* problem) {
  std::fprintf(stderr, "zl_template_compiler: %s\n\n%s", problem, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string routinesPath, headerName, outputPath;
  std::vector<std::string> descriptions;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--routines") {
      if (!value(routinesPath)) return Usage("--routines needs a file");
    } else if (arg == "--header") {
      if (!value(headerName) || !IsIdentifier(headerName)) return Usage("--header needs a C++ identifier");
    } else if (arg == "-o") {
      if (!value(outputPath)) return Usage("-o needs a file");
    } else if (arg.starts_with("-")) {
      return Usage(("unknown option " + std::string(arg)).c_str());
    } else {
      descriptions.emplace_back(arg);
    }
  }
  if (outputPath.empty()) return Usage("no output file (-o)");
  if (descriptions.empty()) return Usage("no window description given");

  std::vector<zl::tools::CompileError> errors;
  zl::tools::RoutineList routines;
  if (!routinesPath.empty()) zl::tools::ReadRoutineList(routinesPath, routines, errors);
  std::optional<std::vector<uint8_t>> bytes;
  if (errors.empty()) bytes = zl::tools::CompileTemplateFiles(descriptions, routines, errors);
  for (const auto& error : errors) std::fprintf(stderr, "%s\n", error.Text().c_str());
  if (!bytes) return 1;

  std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
  if (headerName.empty()) {
    out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  } else {
    out << zl::tools::TemplateCppSource(headerName, *bytes);
  }
  out.close();
  if (!out) {
    std::fprintf(stderr, "%s: error: cannot write the output\n", outputPath.c_str());
    return 1;
  }
  return 0;
}
