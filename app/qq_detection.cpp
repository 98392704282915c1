#include "app/qq_detection.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "app/externals.h"
#include "app/log_line.h"
#include "app/regex_object.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/system_commands.h"
#include "runtime/lib/text_commands.h"
#include "runtime/lib/thread_library.h"

namespace zl::app {
namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using CloseHandleFn = BOOL(WINAPI*)(HANDLE);

// The platform's process entry, with its size member set as Toolhelp requires.
using ProcessEntry = PROCESSENTRY32;
constexpr size_t kImageNameBytesRead = 256;
constexpr UINT kNoClientBoxStyle = MB_ICONHAND;

constexpr char kSeveralClients[] = "本机运行了多个QQ客户端，请关闭到一个后运行本软件";
constexpr char kClientRuns[] = "QQ进程存在，请在本软件添加QQ";
constexpr char kNoClient[] = "QQ进程不存在，请登陆QQ客户端后运行本软件";

// The image name of an entry: the text before its first zero byte, at most 256 bytes.
std::string ImageName(const ProcessEntry& entry) {
  const size_t limit = std::min(kImageNameBytesRead, sizeof entry.szExeFile);
  return std::string(entry.szExeFile, strnlen(entry.szExeFile, limit));
}

// A snapshot of all processes, or null. Toolhelp reports failure as
// INVALID_HANDLE_VALUE, which would otherwise be walked (and closed) as a snapshot.
HANDLE TakeSnapshot() {
  const HANDLE snapshot = External<CreateSnapshotFn>(kCreateToolhelp32Snapshot)(TH32CS_SNAPALL, 0);
  return snapshot == INVALID_HANDLE_VALUE ? nullptr : snapshot;
}

}  // namespace

bool ProcessExists(const char* imageName) {
  const HANDLE snapshot = TakeSnapshot();
  if (!snapshot) return false;
  ProcessEntry entry{};
  entry.dwSize = sizeof entry;
  BOOL more = External<ProcessWalkFn>(kProcess32First)(snapshot, &entry);
  const TextOwner sought = CallText(&ToLower, Arg::Text(imageName));
  bool found = false;
  while (more && !found) {
    const TextOwner name = CallText(&ToLower, Arg::Text(ImageName(entry).c_str()));
    found = TextView(name.get()) == TextView(sought.get());
    if (!found) more = External<ProcessWalkFn>(kProcess32Next)(snapshot, &entry);
  }
  External<CloseHandleFn>(kCloseHandle)(snapshot);
  return found;
}

int32_t ListProcesses(std::vector<std::string>& names) {
  const HANDLE snapshot = TakeSnapshot();
  if (!snapshot) return 0;
  names.clear();
  ProcessEntry entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = External<ProcessWalkFn>(kProcess32First)(snapshot, &entry); more;
       more = External<ProcessWalkFn>(kProcess32Next)(snapshot, &entry)) {
    names.push_back(ImageName(entry));
  }
  External<CloseHandleFn>(kCloseHandle)(snapshot);
  return static_cast<int32_t>(names.size());
}

HandlerResult OnWindowCreated(std::span<const uint32_t>) {
  CallVoid(&StartThread, ArgRecord::OfPointer(kTypeSubprogramPointer, reinterpret_cast<void*>(&MatchCollector)),
           Arg::Omitted(), Arg::Omitted());
  if (ProcessExists(kClientImageName)) {
    std::vector<std::string> names;
    ListProcesses(names);
    const auto exact = std::count(names.begin(), names.end(), kClientImageName);
    LogLine(exact > 1 ? kSeveralClients : kClientRuns);
  } else {
    LogLine(kNoClient);
    CallVoid(&MsgBox, Arg::Text(kNoClient), Arg::Int(kNoClientBoxStyle));
  }
  return {};
}

}  // namespace zl::app
