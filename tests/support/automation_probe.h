// The automation probe (automation_probe.idl): an automation object of our own that
// the automation command tests call. It lives in the test process: its class object
// is registered there, its ProgID in the registry, and its type library is the
// one widl compiles next to the tests. It counts its live instances and the
// references held on them, and records the last call it received.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace zl::test {

inline constexpr char kProbeProgId[] = "Zanlark.Probe";
inline constexpr char kProbeClassName[] = "ZanlarkProbe";  // the coclass in the type library

// Member identifiers of the probe (as in the IDL).
enum ProbeMember : DISPID {
  kProbeName = 1,
  kProbeNumber = 2,
  kProbePartner = 3,
  kProbeSplit = 10,
  kProbeDescribe = 11,
  kProbeSum = 12,
  kProbeMakeChild = 13,
  kProbeFriend = 14,
  kProbeFail = 15,
  kProbeSwap = 16,
  kProbeTakeOut = 17,
  kProbeCell = 18,
  kProbeEcho = 19,
  kProbeTwice = 20,
};

// Live probe objects and the references held on them.
struct ProbeCounts {
  long instances = 0;
  long references = 0;
  bool operator==(const ProbeCounts&) const = default;
};
ProbeCounts CurrentProbeCounts();
void PrintTo(const ProbeCounts& counts, std::ostream* os);

// The last call a probe received: its arguments' types in declaration order (for a
// property put the value comes last), and the error code of each VT_ERROR argument.
struct ProbeCall {
  DISPID member = DISPID_UNKNOWN;
  WORD flags = 0;
  UINT namedCount = 0;
  DISPID named = DISPID_UNKNOWN;
  std::vector<VARTYPE> types;
  std::vector<SCODE> errors;
};
const ProbeCall& LastProbeCall();

// The type library file of the probe.
std::string ProbeTypeLibraryPath();
// The probe's class identifier, from its type library.
CLSID ProbeClassId();
// Whether the probe's type library is registered; registering it under its file, and
// removing its registration.
bool ProbeTypeLibraryRegistered();
void RegisterProbeTypeLibrary();
void UnregisterProbeTypeLibrary();

// Registers the probe in this process and its ProgID in the registry; undone
// on destruction. COM must be initialised on the thread.
class ProbeRegistration {
 public:
  ProbeRegistration();
  ProbeRegistration(const ProbeRegistration&) = delete;
  ProbeRegistration& operator=(const ProbeRegistration&) = delete;
  ~ProbeRegistration();
  bool Ok() const { return m_cookie != 0 && m_progIdRegistered; }

 private:
  DWORD m_cookie = 0;
  bool m_progIdRegistered = false;
};

}  // namespace zl::test
