// The runtime core's own texts (GBK at run time), each kept once.
#pragma once

namespace zl::texts {

inline constexpr char kErrorCaption[] = "错误";
inline constexpr char kErrorHeading[] = "运行时出错!\r\n\r\n";
inline constexpr char kErrorCodeLabel[] = "错误代码：";
inline constexpr char kErrorInfoLabel[] = "错误信息：";
inline constexpr char kTemplateLoadFailed[] = "载入窗口模板数据段出错!";
inline constexpr char kStartWindowLoadFailed[] = "载入启动窗口失败";
inline constexpr char kAllocFailedFormat[] = "分配 %llu 字节内存失败!";
inline constexpr char kExportNotFoundInLibrary[] = "无法找到指定DLL库文件“%s”中的输出命令“%s”";
inline constexpr char kExportNotFound[] = "无法找到指定DLL库文件中的输出命令“%s”";
inline constexpr char kNotNumeric[] = "欲转换数据类型不是数值";
inline constexpr char kHideOwnerClass[] = "_RT_HideOwner";

// Messages of the numbered run-time errors 1-11.
inline constexpr const char* kNumberedErrors[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

}  // namespace zl::texts
