// The general engine: PCRE2's 16-bit library in code-unit mode, compiled to machine code when the
// JIT is available, with limits that stop a runaway match.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "match/pcre2_pattern.h"
#include "match/regex_engine.h"
#include "text/codepage.h"

namespace vantrel {
namespace {

// Backtracking steps per search, the interpreter's heap (KiB) and nesting depth, and the JIT's
// stack. A search that reaches one of them makes the whole execution fail instead of running on.
constexpr std::uint32_t kMatchLimit = 10'000'000;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::uint32_t kHeapLimitKib = 64 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 8 * 1024 * 1024;

struct CodeFree {
  void operator()(pcre2_code* c) const noexcept { pcre2_code_free(c); }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* m) const noexcept { pcre2_match_data_free(m); }
};
struct MatchContextFree {
  void operator()(pcre2_match_context* m) const noexcept { pcre2_match_context_free(m); }
};
struct CompileContextFree {
  void operator()(pcre2_compile_context* c) const noexcept { pcre2_compile_context_free(c); }
};
struct JitStackFree {
  void operator()(pcre2_jit_stack* s) const noexcept { pcre2_jit_stack_free(s); }
};

class GeneralEngine final : public RegexEngine {
 public:
  explicit GeneralEngine(pcre2_code* code) : code_(code) {
    std::uint32_t count = 0;
    pcre2_pattern_info(code_.get(), PCRE2_INFO_CAPTURECOUNT, &count);
    groups_ = static_cast<int>(count);
  }

  bool NeedsImage() const override { return false; }
  int GroupCount() const override { return groups_; }

  bool Execute(const Subject& subject, bool global, MatchList& out) const override {
    std::unique_ptr<pcre2_match_data, MatchDataFree> data(
        pcre2_match_data_create_from_pattern(code_.get(), nullptr));
    std::unique_ptr<pcre2_match_context, MatchContextFree> context(
        pcre2_match_context_create(nullptr));
    std::unique_ptr<pcre2_jit_stack, JitStackFree> stack(
        pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
    if (!data || !context || !stack) return false;
    pcre2_set_match_limit(context.get(), kMatchLimit);
    pcre2_set_depth_limit(context.get(), kDepthLimit);
    pcre2_set_heap_limit(context.get(), kHeapLimitKib);
    pcre2_jit_stack_assign(context.get(), nullptr, stack.get());

    static const char16_t kEmpty[1] = {0};
    const std::u16string_view units = subject.Units();
    const auto* text = reinterpret_cast<PCRE2_SPTR>(units.data() ? units.data() : kEmpty);
    const PCRE2_SIZE n = units.size();
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    PCRE2_SIZE pos = 0;
    while (pos <= n) {
      int rc = pcre2_match(code_.get(), text, n, pos, 0, data.get(), context.get());
      if (rc == PCRE2_ERROR_NOMATCH) break;
      if (rc < 0) return false;  // a limit was reached, or memory ran out
      const PCRE2_SIZE start = ovector[0];
      const PCRE2_SIZE end = ovector[1];
      if (end < start || end > n) return false;
      out.matches.push_back(
          {static_cast<std::int32_t>(start), static_cast<std::int32_t>(end - start)});
      for (int g = 1; g <= groups_; ++g) {
        const PCRE2_SIZE gs = ovector[2 * g];
        const PCRE2_SIZE ge = ovector[2 * g + 1];
        if (gs == PCRE2_UNSET || g >= rc) {
          out.groups.push_back(Span{});
        } else {
          out.groups.push_back({static_cast<std::int32_t>(gs), static_cast<std::int32_t>(ge - gs)});
        }
      }
      if (!global) break;
      pos = end + (end == start ? 1 : 0);
    }
    return true;
  }

  std::vector<Span> Groups(const Subject&, const MatchList& list,
                           std::size_t index) const override {
    const auto count = static_cast<std::size_t>(groups_);
    const auto first = list.groups.begin() + static_cast<std::ptrdiff_t>(index * count);
    return std::vector<Span>(first, first + static_cast<std::ptrdiff_t>(count));
  }

 private:
  std::unique_ptr<pcre2_code, CodeFree> code_;
  int groups_ = 0;
};

}  // namespace

std::unique_ptr<RegexEngine> MakeGeneralEngine(std::string_view pattern, EngineOptions options) {
  std::optional<std::u16string> translated = ToPcre2Pattern(GbkToUtf16Units(pattern));
  if (!translated) return nullptr;
  std::unique_ptr<pcre2_compile_context, CompileContextFree> context(
      pcre2_compile_context_create(nullptr));
  if (!context) return nullptr;
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
  std::uint32_t flags = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF |
                        PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C;
  if (options.ignoreCase) flags |= PCRE2_CASELESS;
  if (options.multiline) {
    flags |= PCRE2_MULTILINE;
  } else {
    flags |= PCRE2_DOLLAR_ENDONLY;
  }
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated->data()),
                                   translated->size(), flags, &error, &errorOffset, context.get());
  if (code == nullptr) return nullptr;
  // Without the JIT (an unsupported machine) the interpreter runs under the same limits.
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  return std::make_unique<GeneralEngine>(code);
}

std::unique_ptr<RegexEngine> MakeEngine(std::string_view pattern, EngineOptions options) {
  if (auto linear = MakeLinearEngine(pattern, options)) return linear;
  return MakeGeneralEngine(pattern, options);
}

}  // namespace vantrel
