// The unit manager's own texts (GBK at run time), each kept once.
#pragma once

namespace zl::texts {

inline constexpr char kComponentNotLoaded[] = "指定窗口或窗口组件不存在或尚未载入";
inline constexpr char kEventWindowNotFound[] = "未找到引发事件的窗口";
inline constexpr char kEventUnitNotFound[] = "未找到引发事件的窗口组件";
inline constexpr char kEventUnitInvalid[] = "引发事件的窗口组件无效";
inline constexpr char kPropertyWindowNotLoaded[] = "未载入欲访问窗口组件所在的窗口";
inline constexpr char kWindowNotLoaded[] = "指定窗口尚未载入";

}  // namespace zl::texts
