#include "runtime/lib/text_commands.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "runtime/lib/blocks.h"
#include "runtime/lib/command_args.h"
#include "runtime/lib/dbcs.h"
#include "runtime/lib/text_builder.h"

namespace zl {
namespace {

constexpr size_t kNotFound = std::string_view::npos;

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Offset of the character after the one at i, or npos when a lead byte stands last
// (a lead byte before the terminator ends every scan).
size_t NextChar(std::string_view t, size_t i) {
  if (!IsLeadByte(static_cast<unsigned char>(t[i]))) return i + 1;
  return i + 1 < t.size() ? i + 2 : kNotFound;
}

// Compares s with the bytes of t at offset i, byte for byte or with only the ASCII
// letters folded; a double-byte character of t is compared whole and never folded.
bool MatchesAt(std::string_view t, size_t i, std::string_view s, bool ignoreCase) {
  if (t.size() - i < s.size()) return false;
  // A match ends on a character boundary of t: half a character never matches, and
  // a lead byte standing last ends the scan.
  size_t end = i;
  while (end < i + s.size()) {
    end = NextChar(t, end);
    if (end == kNotFound) return false;
  }
  if (end != i + s.size()) return false;
  const char* p = t.data() + i;
  if (!ignoreCase) return std::memcmp(p, s.data(), s.size()) == 0;
  for (size_t k = 0; k < s.size();) {
    if (IsLeadByte(static_cast<unsigned char>(p[k])) && k + 1 < s.size()) {
      if (p[k] != s[k] || p[k + 1] != s[k + 1]) return false;
      k += 2;
    } else {
      if (FoldAscii(p[k]) != FoldAscii(s[k])) return false;
      ++k;
    }
  }
  return true;
}

// A 1-based start position argument as a 0-based offset: max(value - 1, 0).
size_t StartOffset(const ArgList& a, int32_t i) {
  if (!a.Given(i)) return 0;
  const int64_t start = int64_t{a.Int(i)} - 1;
  return start > 0 ? static_cast<size_t>(start) : 0;
}

// Calls emit(piece) for each piece of the split, in order; answers the piece count.
template <class Emit>
size_t ForEachPiece(std::string_view t, std::string_view delimiter, int64_t limit, Emit emit) {
  size_t pieces = 0;
  size_t cut = 0;
  // Only a character that starts like the delimiter is compared with it: an import
  // splits megabytes of text, and most characters are settled by one byte.
  const char first = delimiter.front();
  for (size_t i = 0; i < t.size();) {
    if (t[i] == first && MatchesAt(t, i, delimiter, false)) {
      emit(t.substr(cut, i - cut));
      ++pieces;
      i += delimiter.size();
      cut = i;
      if (limit != -1 && --limit == 0) break;
      continue;
    }
    i = NextChar(t, i);
    if (i == kNotFound) break;
  }
  if (cut < t.size() && limit != 0) {
    emit(t.substr(cut));
    ++pieces;
  }
  return pieces;
}

}  // namespace

void ToLower(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const std::string_view t = ArgList(count, args).Text(0);
  Text lower = MakeText(t);
  for (size_t i = 0; i < t.size();) {
    lower[i] = FoldAscii(lower[i]);
    i = NextChar(t, i);
    if (i == kNotFound) break;
  }
  SetPointerResult(result, lower);
}

void FindText(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  SetIntResult(result, -1);
  const ArgList a(count, args);
  const std::string_view t = a.Text(0);
  const std::string_view sought = a.Text(1);
  const size_t start = StartOffset(a, 2);
  if (start > 0 && start >= t.size()) return;
  if (sought.empty()) {
    if (start < t.size()) SetIntResult(result, 1);
    return;
  }
  const bool ignoreCase = a.Given(3) && a[3].low == 1;
  for (size_t i = start; t.size() - i >= sought.size();) {
    if (MatchesAt(t, i, sought, ignoreCase)) {
      SetIntResult(result, static_cast<int32_t>(i + 1));
      return;
    }
    i = NextChar(t, i);
    if (i == kNotFound) return;
  }
}

void SplitText(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgList a(count, args);
  const std::string_view t = a.Text(0);
  const std::string_view delimiter = a.Given(1) ? a.Text(1) : std::string_view(",");
  const int64_t limit = a.Given(2) ? std::max(a.Int(2), 0) : -1;
  if (t.empty() || limit == 0) {
    SetPointerResult(result, MakeTextArray(nullptr, 0));
    return;
  }
  if (delimiter.empty()) {
    Text whole = MakeText(t);
    SetPointerResult(result, MakeTextArray(&whole, 1));
    return;
  }
  // Count first, then fill: the array block is the only allocation besides the pieces.
  const size_t pieces = ForEachPiece(t, delimiter, limit, [](std::string_view) {});
  uint8_t* array = MakeArray(pieces, sizeof(Text));
  ArrayBlock view(array);
  size_t next = 0;
  ForEachPiece(t, delimiter, limit, [&](std::string_view piece) { view.At<Text>(next++) = MakeText(piece); });
  SetPointerResult(result, array);
}

void ReplaceText(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgList a(count, args);
  const std::string_view t = a.Text(0);
  const std::string_view sought = a.Text(1);
  const std::string_view replacement = a.Text(2);
  const size_t start = StartOffset(a, 3);
  // Any negative limit means no limit (the count of a negative limit never reaches 0).
  int64_t limit = a.Given(4) ? a.Int(4) : -1;
  const bool ignoreCase = !(a.Given(5) && a[5].low != 0);
  if (t.empty() || sought.empty() || start >= t.size() || limit == 0) {
    SetPointerResult(result, MakeText(t));
    return;
  }
  TextBuilder out;
  out.Reserve(t.size());
  out.Append(t.substr(0, start));
  size_t i = start;
  while (t.size() - i >= sought.size()) {
    if (MatchesAt(t, i, sought, ignoreCase)) {
      out.Append(replacement);
      i += sought.size();
      if (limit > 0 && --limit == 0) break;
      continue;
    }
    const size_t next = NextChar(t, i);
    if (next == kNotFound) break;
    out.Append(t.substr(i, next - i));
    i = next;
  }
  out.Append(t.substr(i));
  SetPointerResult(result, out.Finish());
}

void Spaces(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const int32_t n = ArgList(count, args).Int(0);
  if (n < 1) return;
  auto* text = static_cast<char*>(RtAlloc(static_cast<size_t>(n) + 1));
  std::memset(text, ' ', static_cast<size_t>(n));
  text[n] = '\0';
  SetPointerResult(result, text);
}

}  // namespace zl
