#include "tools/template_compiler/routine_list.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace zl::tools {
namespace {

constexpr std::string_view kMacro = "ZL_ROUTINE(";

bool IsIdentifier(std::string_view name) {
  auto identStart = [](char c) { return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  auto identChar = [&](char c) { return identStart(c) || (c >= '0' && c <= '9'); };
  return !name.empty() && identStart(name[0]) && std::all_of(name.begin(), name.end(), identChar);
}

std::string_view Trim(std::string_view s) {
  const size_t start = s.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return {};
  return s.substr(start, s.find_last_not_of(" \t\r") - start + 1);
}

}  // namespace

std::optional<int32_t> RoutineList::OffsetOf(std::string_view name) const {
  const auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) return std::nullopt;
  return static_cast<int32_t>(it - names.begin());
}

bool ParseRoutineList(std::string_view text, const std::string& fileName, RoutineList& list,
                      std::vector<CompileError>& errors) {
  const size_t errorsBefore = errors.size();
  uint32_t lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (const size_t comment = line.find("//"); comment != std::string_view::npos) {
      line = Trim(line.substr(0, comment));
    }
    if (line.empty()) continue;
    const size_t close = line.find(')');
    if (!line.starts_with(kMacro) || close == std::string_view::npos || Trim(line.substr(close + 1)) != "") {
      errors.push_back({fileName, lineNumber, 0, "expected ZL_ROUTINE(Name)"});
      continue;
    }
    const std::string_view name = Trim(line.substr(kMacro.size(), close - kMacro.size()));
    if (!IsIdentifier(name)) {
      errors.push_back({fileName, lineNumber, 0, "routine name '" + std::string(name) + "' is not an identifier"});
    } else if (list.OffsetOf(name)) {
      errors.push_back({fileName, lineNumber, 0, "routine '" + std::string(name) + "' is listed twice"});
    } else {
      list.names.emplace_back(name);
    }
  }
  return errors.size() == errorsBefore;
}

bool ReadRoutineList(const std::string& path, RoutineList& list, std::vector<CompileError>& errors) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    errors.push_back({path, 0, 0, "cannot read the routine list"});
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return ParseRoutineList(text.str(), path, list, errors);
}

}  // namespace zl::tools
