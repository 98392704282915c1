#include "runtime/ui/edit_box_input.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "runtime/lib/blocks.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/ui/edit_box_schema.h"

namespace zl {
namespace {

// Date and time unit marks of the system's own date-time text form.
constexpr std::string_view kYearMark = "年";
constexpr std::string_view kMonthMark = "月";
constexpr std::string_view kDayMark = "日";
constexpr std::string_view kHourMark = "时";
constexpr std::string_view kMinuteMark = "分";
constexpr std::string_view kSecondMark = "秒";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads a decimal integer as atoi does (leading white space, optional sign, digits up to
// the first other character); beyond 64 bits the value saturates.
int64_t ReadInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  uint64_t magnitude = 0;
  constexpr uint64_t kCap = uint64_t{1} << 63;  // one past INT64_MAX: enough for INT64_MIN
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
    if (magnitude >= kCap) {
      magnitude = kCap;
      // The rest of the digits cannot bring it back.
      while (i < text.size() && IsDigit(text[i])) ++i;
      break;
    }
  }
  if (negative) return magnitude == kCap ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
  return magnitude >= kCap ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(magnitude);
}

// Reads a decimal number (digits, an optional point and fraction, an optional exponent);
// words such as "inf" or "nan" and hexadecimal forms read as 0, overflow saturates.
double ReadDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  const std::string number(text.substr(start, i - start));
  const double value = std::strtod(number.c_str(), nullptr);
  return std::clamp(value, -DBL_MAX, DBL_MAX);
}

std::string Formatted(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// A number's text, with 0 shown as empty text.
std::string UnlessZero(std::string text) { return text == "0" ? std::string() : text; }

// Reads an unsigned decimal field; false when there are no digits or too many.
bool ReadField(std::string_view text, size_t& i, int& out) {
  const size_t start = i;
  int value = 0;
  while (i < text.size() && IsDigit(text[i]) && i - start < 5) value = value * 10 + (text[i++] - '0');
  if (i == start || (i < text.size() && IsDigit(text[i]))) return false;
  out = value;
  return true;
}

// Skips one separator: any of `marks` or one of the single-byte characters `singles`.
bool Skip(std::string_view text, size_t& i, std::string_view mark, std::string_view singles) {
  if (!mark.empty() && text.substr(i, mark.size()) == mark) {
    i += mark.size();
    return true;
  }
  if (i < text.size() && singles.find(text[i]) != std::string_view::npos) {
    ++i;
    return true;
  }
  return false;
}

// Days from 1899-12-30 (day 0 of OLE Automation dates) to a Gregorian date.
int64_t DayNumber(int year, int month, int day) {
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  constexpr int64_t kUnixEpochDay = 25569;  // 1970-01-01
  return era * 146097 + dayOfEra - 719468 + kUnixEpochDay;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

bool InputAccepts(int32_t inputMode, unsigned char character) {
  if (character < 32) return true;
  const bool digit = character >= '0' && character <= '9';
  switch (inputMode) {
    case kInputIntegerText:
    case kInputShortInt:
    case kInputInt:
    case kInputLongInt:
      return digit || character == '-';
    case kInputDecimalText:
    case kInputFloat:
    case kInputDouble:
      return digit || character == '-' || character == '.';
    case kInputByte:
      return digit;
    default:
      return true;
  }
}

std::optional<std::string> NormaliseInput(int32_t inputMode, std::string_view text) {
  switch (inputMode) {
    case kInputByte:
      return UnlessZero(std::to_string(std::clamp<int64_t>(ReadInteger(text), 0, 255)));
    case kInputShortInt:
      return UnlessZero(std::to_string(std::clamp<int64_t>(ReadInteger(text), -32768, 32767)));
    case kInputInt:
      return UnlessZero(std::to_string(std::clamp<int64_t>(ReadInteger(text), INT32_MIN, INT32_MAX)));
    case kInputLongInt:
      return UnlessZero(std::to_string(ReadInteger(text)));
    case kInputFloat: {
      const double value = std::clamp(ReadDecimal(text), -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX));
      return UnlessZero(Formatted("%.6g", static_cast<double>(static_cast<float>(value))));
    }
    case kInputDouble:
      return UnlessZero(Formatted("%.13g", ReadDecimal(text)));
    case kInputDateTime: {
      const auto date = ParseDateTimeText(text);
      if (!date || *date == 0.0) return std::string();
      const TextOwner formatted(FormatDateTime(*date));
      return formatted ? std::string(formatted.get()) : std::string();
    }
    default:
      return std::nullopt;
  }
}

std::optional<double> ParseDateTimeText(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  size_t i = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  // The date: year, month and day, each ended by its mark or a date separator.
  if (!ReadField(text, i, year) || !Skip(text, i, kYearMark, "-/.")) return std::nullopt;
  if (!ReadField(text, i, month) || !Skip(text, i, kMonthMark, "-/.")) return std::nullopt;
  if (!ReadField(text, i, day)) return std::nullopt;
  Skip(text, i, kDayMark, "");
  // The time of day, optional: hours, then minutes and seconds, by marks or colons.
  while (i < text.size() && (IsSpace(text[i]) || text[i] == 'T')) ++i;
  if (i < text.size()) {
    if (!ReadField(text, i, hour)) return std::nullopt;
    if (Skip(text, i, kHourMark, ":") && i < text.size()) {
      if (!ReadField(text, i, minute)) return std::nullopt;
      if (Skip(text, i, kMinuteMark, ":") && i < text.size()) {
        if (!ReadField(text, i, second)) return std::nullopt;
        Skip(text, i, kSecondMark, "");
      }
    }
    if (i != text.size()) return std::nullopt;
  }
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
      hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  const int64_t days = DayNumber(year, month, day);
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  // Before day 0 the time of day still counts away from zero.
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

}  // namespace zl
