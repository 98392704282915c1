// The core library's own texts (GBK at run time), each kept once.
#pragma once

namespace zl::texts {

inline constexpr char kMessageBoxCaption[] = "信息：";
inline constexpr char kLogicalTrue[] = "真";
inline constexpr char kLogicalFalse[] = "假";
inline constexpr char kDateFormat[] = "%d年%d月%d日";
inline constexpr char kTimeSecondsFormat[] = "%d时%d分%d秒";
inline constexpr char kTimeMinutesFormat[] = "%d时%d分";
inline constexpr char kTimeHoursFormat[] = "%d时";

}  // namespace zl::texts
