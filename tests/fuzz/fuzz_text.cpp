// Feeds random texts, patterns and numbers to every text and conversion command
// and checks what must hold for any input: no crash or leak, empty results are
// null, split pieces put back together give the text, replacing a text by itself
// (case-sensitively) changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/lib/command_call.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/lib/text_commands.h"

namespace {

using namespace zl;

// Reads the fuzz input as a few zero-separated texts and small numbers.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  std::string NextText() {
    std::string s;
    while (m_pos < m_size && m_data[m_pos] != 0) s.push_back(static_cast<char>(m_data[m_pos++]));
    if (m_pos < m_size) ++m_pos;
    return s;
  }
  int32_t NextInt() {
    uint32_t v = 0;
    for (int i = 0; i < 4 && m_pos < m_size; ++i) v = (v << 8) | m_data[m_pos++];
    return static_cast<int32_t>(v);
  }
  uint8_t NextByte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

 private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_pos = 0;
};

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// A text result: null or non-empty.
std::string Owned(const TextOwner& t) {
  Check(!t || *t.get() != '\0', "an empty text result is null");
  return t ? std::string(t.get()) : std::string();
}

// An optional argument: omitted or an Int, chosen by one input byte.
ArgRecord MaybeInt(uint8_t choice, int32_t value) { return choice & 1 ? Arg::Int(value) : Arg::Omitted(); }

void FuzzSplit(const std::string& text, const std::string& delimiter, uint8_t choice, int32_t limit) {
  const ArgRecord d = choice & 2 ? Arg::Text(delimiter.c_str()) : Arg::Omitted();
  const std::string used = choice & 2 ? delimiter : ",";
  TextArrayOwner array = CallTextArray(&SplitText, Arg::Text(text.c_str()), d, MaybeInt(choice, limit));
  Check(array != nullptr, "SplitText always gives an array");
  ArrayBlock view(array.get());
  Check(view.Dimensions() == 1, "one dimension");
  std::string joined;
  for (size_t i = 0; i < view.ElementCount(); ++i) {
    const Text piece = view.At<Text>(i);
    Check(!piece || *piece, "an empty piece is null");
    if (i) joined += used;
    if (piece) joined += piece;
  }
  if (!(choice & 1) && !used.empty()) {
    Check(joined == text || joined + used == text, "pieces joined give the text");
  }
  if (!(choice & 1) && used.empty()) Check(joined == text, "no delimiter: the whole text");
}

void FuzzReplace(const std::string& text, const std::string& sought, const std::string& replacement,
                 uint8_t choice, int32_t start, int32_t limit) {
  const ArgRecord startArg = MaybeInt(choice, start);
  const ArgRecord limitArg = MaybeInt(choice >> 1, limit);
  const std::string same = Owned(CallText(&ReplaceText, Arg::Text(text.c_str()), Arg::Text(sought.c_str()),
                                          Arg::Text(sought.c_str()), startArg, limitArg, Arg::Logical(true)));
  Check(same == text, "replacing a text by itself changes nothing");
  const std::string replaced =
      Owned(CallText(&ReplaceText, Arg::Text(text.c_str()), Arg::Text(sought.c_str()),
                     Arg::Text(replacement.c_str()), startArg, limitArg, MaybeInt(choice >> 2, choice >> 3)));
  if (sought.empty()) Check(replaced == text, "an empty pattern changes nothing");
  const std::string removed = Owned(CallText(&ReplaceText, Arg::Text(text.c_str()), Arg::Text(sought.c_str())));
  Check(removed.size() <= text.size(), "removing never grows the text");
}

void FuzzFind(const std::string& text, const std::string& sought, uint8_t choice, int32_t start) {
  const int32_t at = CallInt(&FindText, Arg::Text(text.c_str()), Arg::Text(sought.c_str()),
                             MaybeInt(choice, start), MaybeInt(choice >> 1, choice >> 2));
  Check(at == -1 || (at >= 1 && static_cast<size_t>(at) <= text.size() + 1), "position in range or -1");
  if (at > 0 && !sought.empty()) {
    Check(static_cast<size_t>(at - 1) + sought.size() <= text.size(), "the match lies inside the text");
    if (!(choice & 2) || (choice >> 2) != 1) {
      Check(text.compare(static_cast<size_t>(at - 1), sought.size(), sought) == 0, "exact match");
    }
  }
}

void FuzzConversions(const std::string& text, Input& in) {
  CallInt(&ToInt, Arg::Text(text.c_str()));
  const std::string lower = Owned(CallText(&ToLower, Arg::Text(text.c_str())));
  Check(lower.size() == text.size(), "ToLower keeps the length");
  Check(Owned(CallText(&ToText, Arg::Text(text.c_str()))) == text, "ToText of a text is a copy");
  const int32_t n = in.NextInt();
  Owned(CallText(&Spaces, Arg::Int(n % 4096)));
  uint64_t bits = (uint64_t{static_cast<uint32_t>(n)} << 32) | static_cast<uint32_t>(in.NextInt());
  double d;
  std::memcpy(&d, &bits, sizeof d);
  Owned(CallText(&ToText, Arg::DateTime(d)));
  Owned(CallText(&ToText, Arg::Double(d)));
  Owned(CallText(&ToText, ArgRecord::Of(kTypeFloat, bits & 0xFFFFFFFFu)));
  CallInt(&ToInt, ArgRecord::Of(kTypeFloat, bits & 0xFFFFFFFFu));
  CallInt(&ToInt, Arg::Double(d));
  // A byte set and a numeric array made of the text's bytes stop at the same place.
  HeapPtr<uint8_t> set(MakeByteSet(text.data(), text.size()));
  Check(Owned(CallText(&ToText, Arg::ByteSet(set.get()))) == text, "ToText of a byte set");
  static constexpr TypeCode kNumeric[] = {kTypeByte, kTypeShortInt, kTypeInt, kTypeLongInt, kTypeFloat, kTypeDouble};
  const TypeCode element = kNumeric[in.NextByte() % 6];
  const size_t count = text.size() / NumericSize(element);
  HeapPtr<uint8_t> array(MakeArray(count, NumericSize(element)));
  if (count) std::memcpy(ArrayBlock(array.get()).Data(), text.data(), count * NumericSize(element));
  const std::string arrayText = Owned(CallText(&ToText, Arg::Array(element, array.get())));
  Check(text.compare(0, arrayText.size(), arrayText) == 0, "ToText of an array is a prefix of its bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  const std::string text = in.NextText();
  const std::string pattern = in.NextText();
  const std::string other = in.NextText();
  const uint8_t choice = in.NextByte();
  const int32_t a = in.NextInt();
  const int32_t b = in.NextInt();
  FuzzFind(text, pattern, choice, a);
  FuzzSplit(text, pattern, choice, a);
  FuzzReplace(text, pattern, other, choice, a, b);
  FuzzConversions(text, in);
  return 0;
}
