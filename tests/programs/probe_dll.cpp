// A small library for binding tests: one export by name and by ordinal 5.
#include <windows.h>

extern "C" __declspec(dllexport) int __stdcall ProbeValue() { return 1234; }
extern "C" __declspec(dllexport) int __stdcall ProbeOther() { return 5678; }
