// The application's regular-expression object: the scripting engine "VBScript.RegExp"
// driven through the automation commands, with the engine's character positions turned
// into byte offsets of the multibyte subject. An object belongs to the thread that
// made it (it initialises COM there).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/lib/automation_values.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/com_object.h"

namespace zl::app {

class RegexObject {
 public:
  RegexObject();
  // A copy holds its own references to the same engine and matches, and a copy of the subject.
  RegexObject(const RegexObject& source);
  RegexObject& operator=(const RegexObject&) = delete;
  ~RegexObject();

  // A new engine with the pattern, run over the subject; true when a match collection
  // was obtained. Omitted options: ignore case, multi-line, global; with
  // quotePlaceholder every "#引号" in the pattern stands for a double quote.
  bool Create(const char* pattern, const char* subject, std::optional<bool> caseSensitive = {},
              std::optional<bool> multiLine = {}, std::optional<bool> global = {},
              std::optional<bool> quotePlaceholder = {});
  // The engine's pattern (empty before Create).
  TextOwner GetPattern() const;
  // The subject of the last Create with the matches replaced (all of them when global).
  TextOwner Replace(const char* replacement) const;
  // The number of matches (0 before Create or after a failed one).
  int32_t MatchCount() const;
  // Match k (1-based); with `position`, its 0-based byte offset in the subject (-2
  // when there is no such match).
  TextOwner MatchText(int32_t k, int32_t* position = nullptr) const;
  // Sub-match j (1-based) of match k; with `position`, the byte offset of the
  // sub-match text searched from the whole match's offset (-2 for an empty or
  // missing sub-match: its text cannot place it).
  TextOwner SubMatchText(int32_t k, int32_t j, int32_t* position = nullptr) const;
  // The number of sub-matches of the first match.
  int32_t SubMatchCount() const;

  // The engine and the last match collection (owned by the object), for callers that
  // read more of them than these operations do.
  const ComObjectBlock* Engine() const { return m_engine.get(); }
  const ComObjectBlock* Matches() const { return m_matches.get(); }

 private:
  // The byte offset of `text` in the subject, searched character by character from
  // where the engine's character index of `match` (its FirstIndex) falls; -2 when it
  // is not there.
  int32_t ByteOffset(const ComObjectOwner& match, const char* text) const;

  ComObjectOwner m_engine;
  ComObjectOwner m_matches;
  VariantOwner m_subject;
};

// The match collector thread's body: adds every match not yet listed to the account
// list (at most 201); constructs and destroys its object on its own thread.
uint32_t MatchCollector(uint32_t parameter);

}  // namespace zl::app
