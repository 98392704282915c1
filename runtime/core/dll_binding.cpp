// The kernel's external-function tables: each declared function bound by library and
// export name on its first call, and every bound library freed at the end of the program.
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>

#include "runtime/core/error_report.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/system_texts.h"

namespace zl {
namespace {

// Libraries tried, in order, for an external function declared without a library.
constexpr const char* kDefaultLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                             "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

// The name GetProcAddress takes: an ordinal for "#n" (n modulo 65536), else the name.
LPCSTR ExportKey(const std::string& exportName) {
  if (!exportName.empty() && exportName[0] == '#') {
    const unsigned long ordinal = std::strtoul(exportName.c_str() + 1, nullptr, 10);
    return MAKEINTRESOURCEA(ordinal % 65536);
  }
  return exportName.c_str();
}

// Loads a named library: from the program folder first, then by its bare name;
// a name with a colon (an absolute path) only as given.
HMODULE LoadNamedLibrary(const std::string& library) {
  if (library.find(':') != std::string::npos) return LoadLibraryA(library.c_str());
  const std::string local = Kernel().programFolder + "\\" + library;
  if (HMODULE module = LoadLibraryA(local.c_str())) return module;
  return LoadLibraryA(library.c_str());
}

// The run-time error message for an export that cannot be found.
std::string UnboundMessage(const ExternalFunction& fn) {
  std::string message;
  if (fn.library.empty()) {
    std::vector<char> buffer(fn.exportName.size() + sizeof texts::kExportNotFound);
    std::snprintf(buffer.data(), buffer.size(), texts::kExportNotFound, fn.exportName.c_str());
    message = buffer.data();
  } else {
    std::vector<char> buffer(fn.library.size() + fn.exportName.size() +
                             sizeof texts::kExportNotFoundInLibrary);
    std::snprintf(buffer.data(), buffer.size(), texts::kExportNotFoundInLibrary,
                  fn.library.c_str(), fn.exportName.c_str());
    message = buffer.data();
  }
  return message;
}

std::mutex g_bindMutex;  // guards the tables: one binding per function, and no call while they are emptied

}  // namespace

FARPROC RuntimeKernel::BindExternal(int32_t index) {
  // The tables are emptied at the end of the program, possibly while a worker calls.
  std::unique_lock lock(g_bindMutex);
  if (index < 0 || static_cast<size_t>(index) >= m_externals.size()) {
    lock.unlock();
    // The program is ending and its libraries are gone: this thread ends with the process.
    if (m_shutdownUnderWay && GetCurrentThreadId() != m_mainThreadId) WaitForProgramEnd();
    ReportNumberedError(1);
  }
  ExternalFunction& fn = m_externals[static_cast<size_t>(index)];
  if (fn.address) return fn.address;
  const LPCSTR key = ExportKey(fn.exportName);
  HMODULE module = nullptr;
  FARPROC address = nullptr;
  if (fn.library.empty()) {
    for (const char* library : kDefaultLibraries) {
      module = LoadLibraryA(library);
      if (!module) continue;
      address = GetProcAddress(module, key);
      if (address) break;
      FreeLibrary(module);
      module = nullptr;
    }
  } else {
    module = LoadNamedLibrary(fn.library);
    if (module) address = GetProcAddress(module, key);
  }
  if (address) {
    fn.module = module;
    fn.address = address;
    return address;
  }
  if (module) FreeLibrary(module);
  const std::string failure = UnboundMessage(fn);
  // Reported outside the lock, so other threads' calls are not held up by the box.
  lock.unlock();
  ReportRuntimeError(failure.c_str(), 0);
}

FARPROC RuntimeKernel::RebindExternal(int32_t index, FARPROC address) {
  std::lock_guard lock(g_bindMutex);
  if (index < 0 || static_cast<size_t>(index) >= m_externals.size()) return nullptr;
  return std::exchange(m_externals[static_cast<size_t>(index)].address, address);
}

void RuntimeKernel::ReleaseExternalLibraries() {
  std::lock_guard lock(g_bindMutex);
  for (auto& fn : m_externals) {
    if (fn.module) FreeLibrary(fn.module);
  }
  m_externals.clear();
}

}  // namespace zl
