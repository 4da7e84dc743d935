// The two regular-expression engines against each other: over any subject, the linear-time
// engine finds exactly the matches and groups that the general engine finds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "match/extract_emails.h"
#include "match/regex_engine.h"

using namespace vantrel;

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "engines differ: %s\n", what);
    std::abort();
  }
}

// Patterns both engines take; the first is the system's own.
const char* const kPatterns[] = {
    EmailPattern,          "a+b*?",   "(\\w+)\\.(\\d{2,3})",
    "[-+.a-c]+|x(?:y|z)*", "\\W\\D.", "(a|ab)(c|bcd)(d*)",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const char* pattern = kPatterns[data[0] % std::size(kPatterns)];
  EngineOptions options{(data[0] & 0x80) != 0, false};
  std::string_view gbk(reinterpret_cast<const char*>(data) + 1, size - 1);

  auto linear = MakeLinearEngine(pattern, options);
  auto general = MakeGeneralEngine(pattern, options);
  Check(linear && general, "pattern not taken");
  Subject withImage(gbk, true);
  Subject plain(gbk, false);
  MatchList a, b;
  bool global = (data[0] & 0x40) == 0;
  Check(linear->Execute(withImage, global, a), "linear engine stopped");
  if (!general->Execute(plain, global, b)) return 0;  // the general engine hit its limit
  Check(a.matches == b.matches, "match lists");
  for (std::size_t i = 0; i < a.matches.size(); ++i)
    Check(linear->Groups(withImage, a, i) == general->Groups(plain, b, i), "groups");
  return 0;
}
