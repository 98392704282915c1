#include "runtime/lib/conversion_commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "runtime/lib/command_args.h"
#include "runtime/lib/dbcs.h"
#include "runtime/lib/library_texts.h"

namespace zl {
namespace {

// OLE Automation dates are clamped to the years 100 to 9999.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958465.0;
// Day number of 1970-01-01 in OLE Automation dates.
constexpr int64_t kUnixEpochDay = 25569;
constexpr int64_t kSecondsPerDay = 86400;

struct CivilDate {
  int64_t year;
  int month;
  int day;
};

// The Gregorian date of a day counted from 1970-01-01.
CivilDate DateOfDay(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // March = 0
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

}  // namespace

int32_t TruncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v <= -2147483649.0) return INT32_MIN;
  if (v >= 2147483648.0) return INT32_MAX;
  return static_cast<int32_t>(v);
}

namespace {

// Character of a text after the full-width conversion, or one of these markers.
constexpr int kEndOfText = -1;   // the end, or a lead byte before the terminator
constexpr int kOtherChar = -2;   // a double-byte character kept as it is

// The character at offset i made half-width; i moves past it.
int NextHalfWidth(std::string_view t, size_t& i) {
  if (i >= t.size()) return kEndOfText;
  const auto lead = static_cast<unsigned char>(t[i]);
  if (!IsLeadByte(lead)) {
    ++i;
    return lead;
  }
  if (i + 1 >= t.size()) return kEndOfText;
  const auto trail = static_cast<unsigned char>(t[i + 1]);
  i += 2;
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return trail & 0x7F;
  if (lead == 0xA1) {
    if (trail == 0xA1) return ' ';
    if (trail == 0xAB) return '~';
    if (trail == 0xEE || trail == 0xEF) return '*';
  }
  return kOtherChar;
}

bool IsAtoiSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Bytes of a byte set or a numeric array for ToText; false for other values.
bool DataBytes(const ArgRecord& value, const uint8_t*& data, size_t& size) {
  data = nullptr;
  size = 0;
  const auto* block = value.Pointer<const uint8_t>();
  if (value.type == kTypeByteSet) {
    data = ByteSetData(block);
    size = ByteSetLength(block);
    return true;
  }
  if (!(value.type & kTypeArrayFlag)) return false;
  const TypeCode element = value.type & kTypeElementMask;
  if (!IsNumericType(element)) return true;  // a non-numeric array: the empty text
  if (!block) return true;
  ArrayBlock array(const_cast<uint8_t*>(block));
  if (array.Dimensions() == 0) return true;
  data = array.Data();
  size = array.ElementCount() * NumericSize(element);
  return true;
}

}  // namespace

Text FormatDateTime(double date) {
  if (std::isnan(date)) return nullptr;
  if (date < kFirstDate) date = kFirstDate;
  if (date > kLastDate) date = kLastDate;
  // The whole days name the date; the fraction (of either sign) is the time of that day.
  int64_t day = static_cast<int64_t>(date);
  int64_t seconds = std::llround(std::fabs(date - static_cast<double>(day)) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    ++day;
  }
  const CivilDate civil = DateOfDay(day - kUnixEpochDay);
  const int hour = static_cast<int>(seconds / 3600);
  const int minute = static_cast<int>(seconds / 60 % 60);
  const int second = static_cast<int>(seconds % 60);
  char buffer[100];
  int n = std::snprintf(buffer, sizeof buffer, texts::kDateFormat, static_cast<int>(civil.year), civil.month,
                        civil.day);
  char* rest = buffer + n;
  const size_t room = sizeof buffer - static_cast<size_t>(n);
  if (second != 0) {
    std::snprintf(rest, room, texts::kTimeSecondsFormat, hour, minute, second);
  } else if (minute != 0) {
    std::snprintf(rest, room, texts::kTimeMinutesFormat, hour, minute);
  } else if (hour != 0) {
    std::snprintf(rest, room, texts::kTimeHoursFormat, hour);
  }
  return CopyText(buffer);
}

Text FormatValue(const ArgRecord& value) {
  char buffer[100];
  switch (value.type) {
    case kTypeByte: std::snprintf(buffer, sizeof buffer, "%u", value.low & 0xFFu); break;
    case kTypeShortInt: std::snprintf(buffer, sizeof buffer, "%d", static_cast<int16_t>(value.low)); break;
    case kTypeInt: std::snprintf(buffer, sizeof buffer, "%d", value.Int()); break;
    case kTypeLongInt:
      std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value.Value64()));
      break;
    case kTypeFloat: std::snprintf(buffer, sizeof buffer, "%.6g", static_cast<double>(value.Float())); break;
    case kTypeDouble: {
      // "%.13g" prints a whole number of at most 13 digits as its digits alone; an
      // import numbers every line it reads, so those skip the general formatter.
      const double v = value.Double();
      if (v == std::trunc(v) && std::fabs(v) < 1e13 && !(v == 0 && std::signbit(v))) {
        *std::to_chars(buffer, buffer + sizeof buffer - 1, static_cast<int64_t>(v)).ptr = '\0';
      } else {
        std::snprintf(buffer, sizeof buffer, "%.13g", v);
      }
      break;
    }
    case kTypeLogical: return CopyText(value.low != 0 ? texts::kLogicalTrue : texts::kLogicalFalse);
    case kTypeDateTime: return FormatDateTime(value.Double());
    case kTypeText: return CopyText(value.Pointer<const char>());
    default: return nullptr;
  }
  return CopyText(buffer);
}

int32_t TextToInt(const char* text) {
  const std::string_view t = text ? std::string_view(text) : std::string_view();
  size_t i = 0;
  int c = NextHalfWidth(t, i);
  while (IsAtoiSpace(c)) c = NextHalfWidth(t, i);
  const bool negative = c == '-';
  if (c == '-' || c == '+') c = NextHalfWidth(t, i);
  // Accumulate the magnitude, held at 2^31 once it goes beyond 32 bits.
  constexpr int64_t kCap = int64_t{1} << 31;
  int64_t magnitude = 0;
  for (; c >= '0' && c <= '9'; c = NextHalfWidth(t, i)) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kCap) magnitude = kCap;
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return magnitude >= kCap ? INT32_MAX : static_cast<int32_t>(magnitude);
}

void ToText(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgRecord value = ArgList(count, args)[0];
  const uint8_t* data;
  size_t size;
  if (DataBytes(value, data, size)) {
    const void* zero = size ? std::memchr(data, 0, size) : nullptr;
    if (zero) size = static_cast<size_t>(static_cast<const uint8_t*>(zero) - data);
    SetPointerResult(result, MakeText(reinterpret_cast<const char*>(data), static_cast<ptrdiff_t>(size)));
    return;
  }
  SetPointerResult(result, FormatValue(value));
}

void ToInt(ResultRecord* result, int32_t count, ArgRecord* args) {
  if (!result) return;
  const ArgRecord value = ArgList(count, args)[0];
  int32_t n = 0;
  switch (value.type) {
    case kTypeLogical:
    case kTypeInt:
    case kTypeSubprogramPointer:
    case kTypeLongInt: n = value.Int(); break;
    case kTypeByte: n = static_cast<int32_t>(value.low & 0xFF); break;
    case kTypeShortInt: n = static_cast<int16_t>(value.low); break;
    case kTypeFloat: n = TruncateToInt(value.Float()); break;
    case kTypeDouble: n = TruncateToInt(value.Double()); break;
    case kTypeText: n = TextToInt(value.Pointer<const char>()); break;
    default: break;
  }
  SetIntResult(result, n);
}

}  // namespace zl
