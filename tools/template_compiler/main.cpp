// zl_template_compiler: window descriptions (TOML, one file per window) in, the
// stored window template out, as raw bytes or as a C++ source to embed; and the
// reverse, a template back into descriptions that rebuild it byte for byte.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tools/template_compiler/decompiler.h"
#include "tools/template_compiler/description.h"
#include "tools/template_compiler/routine_list.h"

namespace {

constexpr char kUsage[] =
    "usage: zl_template_compiler [--routines FILE] [--header NAME] -o OUTPUT DESCRIPTION...\n"
    "       zl_template_compiler --decompile TEMPLATE [--routines FILE] [--out DIR]\n"
    "\n"
    "Compiles window descriptions (TOML, one file per window, windows in the order\n"
    "given) into a window template; with --decompile, writes a template back as one\n"
    "description per window that compiles to the same bytes.\n"
    "\n"
    "  --routines FILE       the application's routine list (lines ZL_ROUTINE(Name));\n"
    "                        a handler name stands for its position in this list.\n"
    "                        Without it, --decompile writes handler_offset = N\n"
    "  --header NAME         write a C++ source defining NAME[] and NAME_size\n"
    "                        instead of the raw template bytes\n"
    "  -o OUTPUT             the file to write\n"
    "  --decompile TEMPLATE  read a template (raw bytes) and write its descriptions:\n"
    "                        readable properties for types the runtime describes,\n"
    "                        blob_hex for the rest\n"
    "  --out DIR             where --decompile writes them, as POSITION_WINDOWID.toml\n"
    "                        (without it, a one-window template goes to standard\n"
    "                        output)\n"
    "  --help                show this text\n"
    "\n"
    "A decompiled template is compiled back at once and compared with the original;\n"
    "if the descriptions cannot rebuild it byte for byte (a text outside code page\n"
    "936, bytes outside any record), they are still written, each loss is reported,\n"
    "and the exit status is 1.\n";

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

// Writes a template's descriptions and checks that they rebuild it; the exit status.
int Decompile(const std::string& templatePath, const zl::tools::RoutineList& routines, const std::string& outDir) {
  std::ifstream in(templatePath, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: error: cannot read the template\n", templatePath.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string problem;
  auto decompiled = zl::tools::DecompileTemplate(bytes, routines, problem);
  if (!decompiled) {
    std::fprintf(stderr, "%s: error: %s\n", templatePath.c_str(), problem.c_str());
    return 1;
  }
  if (outDir.empty() && decompiled->windows.size() != 1) {
    return Usage(("the template has " + std::to_string(decompiled->windows.size()) +
                  " windows: give --out DIR for their descriptions").c_str());
  }
  for (zl::tools::DescriptionText& window : decompiled->windows) {
    if (outDir.empty()) {
      std::fputs(window.text.c_str(), stdout);
      continue;
    }
    window.fileName = (std::filesystem::path(outDir) / window.fileName).string();
    std::ofstream out(window.fileName, std::ios::binary | std::ios::trunc);
    out << window.text;
    out.close();
    if (!out) {
      std::fprintf(stderr, "%s: error: cannot write the description\n", window.fileName.c_str());
      return 1;
    }
  }
  for (const std::string& loss : decompiled->losses) {
    std::fprintf(stderr, "%s: error: %s\n", templatePath.c_str(), loss.c_str());
  }
  std::vector<zl::tools::CompileError> errors;
  const auto rebuilt = zl::tools::CompileTemplateTexts(decompiled->windows, routines, errors);
  if (decompiled->losses.empty() && (!rebuilt || *rebuilt != bytes)) {
    for (const auto& error : errors) std::fprintf(stderr, "%s\n", error.Text().c_str());
    std::fprintf(stderr, "%s: error: the descriptions do not rebuild the template byte for byte\n",
                 templatePath.c_str());
  }
  return decompiled->losses.empty() && rebuilt && *rebuilt == bytes ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string routinesPath, headerName, outputPath, decompilePath, outDir;
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
    } else if (arg == "--decompile") {
      if (!value(decompilePath)) return Usage("--decompile needs a template file");
    } else if (arg == "--out") {
      if (!value(outDir)) return Usage("--out needs a folder");
    } else if (arg.starts_with("-")) {
      return Usage(("unknown option " + std::string(arg)).c_str());
    } else {
      descriptions.emplace_back(arg);
    }
  }
  if (!decompilePath.empty()) {
    if (!outputPath.empty() || !headerName.empty() || !descriptions.empty()) {
      return Usage("--decompile takes no descriptions, -o or --header");
    }
  } else {
    if (!outDir.empty()) return Usage("--out goes with --decompile");
    if (outputPath.empty()) return Usage("no output file (-o)");
    if (descriptions.empty()) return Usage("no window description given");
  }

  std::vector<zl::tools::CompileError> errors;
  zl::tools::RoutineList routines;
  if (!routinesPath.empty()) zl::tools::ReadRoutineList(routinesPath, routines, errors);
  if (!decompilePath.empty()) {
    for (const auto& error : errors) std::fprintf(stderr, "%s\n", error.Text().c_str());
    return errors.empty() ? Decompile(decompilePath, routines, outDir) : 1;
  }
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
