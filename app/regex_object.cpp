#include "app/regex_object.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "app/account_list.h"
#include "app/externals.h"
#include "app/main_window.h"
#include "runtime/lib/automation_commands.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/text_commands.h"
#include "runtime/lib/variant_commands.h"
#include "runtime/ui/list_view_commands.h"

namespace zl::app {
namespace {

using CoInitializeFn = HRESULT(WINAPI*)(void*);
using CoUninitializeFn = void(WINAPI*)();

constexpr char kEngineProgId[] = "VBScript.RegExp";
constexpr char kQuotePlaceholder[] = "#引号";
constexpr int32_t kMostMatchesHandled = 200;  // after handling k, stop once k exceeds this

ArgRecord ObjectArg(const ComObjectOwner& holder) { return ArgRecord::OfPointer(kTypeComObject, holder.get()); }
ArgRecord VariantArg(const VariantOwner& holder) { return ArgRecord::OfPointer(kTypeVariant, holder.get()); }
ComObjectOwner ObjectResult(const ResultRecord& result) { return ComObjectOwner(result.Pointer<ComObjectBlock>()); }
VariantOwner VariantResult(const ResultRecord& result) { return VariantOwner(result.Pointer<VariantBlock>()); }

TextOwner TextOfVariant(const VariantOwner& value) { return CallText(&VarGetText, VariantArg(value)); }

// The bytes of the character at `offset`: a lead byte of the system code page and
// its trail byte are one character to the engine, as the text's conversion makes them.
size_t CharacterBytes(std::string_view text, size_t offset) {
  return IsDBCSLeadByte(static_cast<BYTE>(text[offset])) && offset + 1 < text.size() ? 2 : 1;
}

}  // namespace

RegexObject::RegexObject()
    : m_engine(MakeComObject(nullptr)), m_matches(MakeComObject(nullptr)), m_subject(MakeVariantHolder(nullptr)) {
  External<CoInitializeFn>(kCoInitialize)(nullptr);
}

RegexObject::RegexObject(const RegexObject& source) : RegexObject() {
  CallVoid(&ObjCopy, ObjectArg(m_engine), ObjectArg(source.m_engine));
  CallVoid(&ObjCopy, ObjectArg(m_matches), ObjectArg(source.m_matches));
  CallVoid(&VarCopy, VariantArg(m_subject), VariantArg(source.m_subject));
}

RegexObject::~RegexObject() {
  CallVoid(&ObjClear, ObjectArg(m_engine));
  CallVoid(&ObjClear, ObjectArg(m_matches));
  CallVoid(&VarReset, VariantArg(m_subject));
  // The holders go before COM does on this thread.
  m_engine.reset();
  m_matches.reset();
  m_subject.reset();
  External<CoUninitializeFn>(kCoUninitialize)();
}

bool RegexObject::Create(const char* pattern, const char* subject, std::optional<bool> caseSensitive,
                         std::optional<bool> multiLine, std::optional<bool> global,
                         std::optional<bool> quotePlaceholder) {
  const bool ignoreCase = !caseSensitive.value_or(false);
  CallVoid(&ObjClear, ObjectArg(m_engine));
  CallVoid(&ObjClear, ObjectArg(m_matches));
  CallVoid(&ObjCreate, ObjectArg(m_engine), Arg::Text(kEngineProgId));
  // Each write may fail (the engine has no "Singleline"); failures are ignored.
  CallVoid(&ObjSetProperty, ObjectArg(m_engine), Arg::Text("IgnoreCase"), Arg::Logical(ignoreCase));
  CallVoid(&ObjSetProperty, ObjectArg(m_engine), Arg::Text("Multiline"), Arg::Logical(multiLine.value_or(true)));
  CallVoid(&ObjSetProperty, ObjectArg(m_engine), Arg::Text("Singleline"), Arg::Logical(true));
  CallVoid(&ObjSetProperty, ObjectArg(m_engine), Arg::Text("Global"), Arg::Logical(global.value_or(true)));
  TextOwner replaced;
  if (quotePlaceholder.value_or(false)) {
    replaced = CallText(&ReplaceText, Arg::Text(pattern), Arg::Text(kQuotePlaceholder), Arg::Text("\""),
                        Arg::Omitted(), Arg::Omitted(), Arg::Logical(true));
  }
  CallVoid(&ObjSetProperty, ObjectArg(m_engine), Arg::Text("Pattern"),
           Arg::Text(quotePlaceholder.value_or(false) ? replaced.get() : pattern));
  CallVoid(&VarSet, VariantArg(m_subject), Arg::Text(subject));
  ComObjectOwner matches = ObjectResult(CallCommand(&ObjCallObject, ObjectArg(m_engine), Arg::Text("Execute"),
                                                    VariantArg(m_subject)));
  if (matches) m_matches = std::move(matches);  // the previous collection goes
  return !CallLogical(&ObjIsEmpty, ObjectArg(m_matches));
}

TextOwner RegexObject::GetPattern() const {
  if (CallLogical(&ObjIsEmpty, ObjectArg(m_engine))) return TextOwner();
  return CallText(&ObjGetText, ObjectArg(m_engine), Arg::Text("Pattern"));
}

TextOwner RegexObject::Replace(const char* replacement) const {
  VariantOwner with(MakeVariantHolder(nullptr));
  CallVoid(&VarSet, VariantArg(with), Arg::Text(replacement));
  return CallText(&ObjCallText, ObjectArg(m_engine), Arg::Text("Replace"), VariantArg(m_subject),
                  VariantArg(with));
}

int32_t RegexObject::MatchCount() const {
  return static_cast<int32_t>(CallCommand(&ObjGetNumber, ObjectArg(m_matches), Arg::Text("Count")).Double());
}

int32_t RegexObject::ByteOffset(const ComObjectOwner& match, const char* text) const {
  const double first = CallCommand(&ObjGetNumber, ObjectArg(match), Arg::Text("FirstIndex")).Double();
  if (LastAutomationResult() != 0 || !(first >= 0)) return -2;
  const TextOwner subjectText = TextOfVariant(m_subject);
  const std::string_view subject = TextView(subjectText.get());
  const std::string_view sought = TextView(text);
  size_t offset = 0;
  for (auto counted = static_cast<size_t>(first); counted > 0 && offset < subject.size(); --counted) {
    offset += CharacterBytes(subject, offset);
  }
  // Only at character boundaries: a trail byte may equal a letter of the text.
  for (; offset + sought.size() <= subject.size(); offset += CharacterBytes(subject, offset)) {
    if (subject.compare(offset, sought.size(), sought) == 0) return static_cast<int32_t>(offset);
  }
  return -2;
}

TextOwner RegexObject::MatchText(int32_t k, int32_t* position) const {
  const ComObjectOwner match = ObjectResult(
      CallCommand(&ObjGetObject, ObjectArg(m_matches), Arg::Text("Item"), Arg::Double(k - 1.0)));
  const VariantOwner value = VariantResult(CallCommand(&ObjGetVariant, ObjectArg(match), Arg::Text("Value")));
  TextOwner text = TextOfVariant(value);
  // An empty match has a place too: where the engine found it.
  if (position) *position = ByteOffset(match, text.get());
  return text;
}

TextOwner RegexObject::SubMatchText(int32_t k, int32_t j, int32_t* position) const {
  const ComObjectOwner match = ObjectResult(
      CallCommand(&ObjGetObject, ObjectArg(m_matches), Arg::Text("Item"), Arg::Double(k - 1.0)));
  const ComObjectOwner subs = ObjectResult(CallCommand(&ObjGetObject, ObjectArg(match), Arg::Text("SubMatches")));
  const VariantOwner value =
      VariantResult(CallCommand(&ObjGetVariant, ObjectArg(subs), Arg::Text("Item"), Arg::Double(j - 1.0)));
  TextOwner text = TextOfVariant(value);
  if (position) *position = text ? ByteOffset(match, text.get()) : -2;
  return text;
}

int32_t RegexObject::SubMatchCount() const {
  const ComObjectOwner match =
      ObjectResult(CallCommand(&ObjGetObject, ObjectArg(m_matches), Arg::Text("Item"), Arg::Double(0)));
  const ComObjectOwner subs = ObjectResult(CallCommand(&ObjGetObject, ObjectArg(match), Arg::Text("SubMatches")));
  return static_cast<int32_t>(CallCommand(&ObjGetNumber, ObjectArg(subs), Arg::Text("Count")).Double());
}

uint32_t MatchCollector(uint32_t) {
  {
    const RegexObject regex;
    const int32_t count = regex.MatchCount();
    for (int32_t k = 1; k <= count; ++k) {
      const TextOwner text = regex.MatchText(k);
      if (CallInt(&FindRow, AccountList(), Arg::Text(text.get()), Arg::Omitted(), Arg::Logical(true),
                  Arg::Int(1)) == -1) {
        const TextOwner again = regex.MatchText(k);
        AppendAccountRow(again.get());
      }
      if (k > kMostMatchesHandled) break;
    }
  }
  return 0;
}

}  // namespace zl::app
