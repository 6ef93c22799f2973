#include "regex/cRegExp.h"

#include "regex/ECMAScriptTranslator.h"
#include "regex/cRegExpError.h"

#include <new>
#include <vector>

#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

namespace vtl {

namespace {

// A wide character holds one UTF-16 unit; PCRE2 reads the string in place.
static_assert(sizeof(wchar_t) == sizeof(PCRE2_UCHAR), "wide characters must be 32-bit code units");

// Backtracking steps one search may take from one start position: about 25 ms,
// so (x+x+)+y fails quickly, far above any honest pattern's need.
constexpr uint32_t kMatchLimit = 10'000'000;
// Interpreter only (the JIT ignores it): nesting of backtracking points.
constexpr uint32_t kDepthLimit = 10'000'000;
// Interpreter only: heap for backtracking frames, in KiB.
constexpr uint32_t kHeapLimitKiB = 256 * 1024;
// JIT backtracking stack: reserved up to the maximum, committed as used.
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 64 * 1024 * 1024;

struct sTimeBudget {
    std::chrono::steady_clock::time_point deadline;
    std::chrono::milliseconds allowed{0};
    uint32_t starts = 0;
};

// The clock is read at every 16th start position, so that a check costs
// little and comes at most 16 match limits (well under a second) late.
constexpr uint32_t kClockInterval = 16;

// Called by PCRE2 at each start position it tries (the callout leads the pattern).
int checkTimeBudget(pcre2_callout_block*, void* data)
{
    auto& budget = *static_cast<sTimeBudget*>(data);
    if (++budget.starts % kClockInterval == 0 && std::chrono::steady_clock::now() > budget.deadline)
        return PCRE2_ERROR_CALLOUT;
    return 0;
}

std::string engineMessage(int code)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    if (length < 0) return "error " + std::to_string(code);
    return std::string(buffer, buffer + length);  // PCRE2's messages are ASCII
}

}  // namespace

struct cRegExp::sEngine {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    bool jit = false;
    sTimeBudget budget;
    std::wstring pattern;  // for messages

    ~sEngine()
    {
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jitStack);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

cRegExp::cRegExp(const std::wstring& pattern, std::chrono::milliseconds timeBudget) : engine_(new sEngine)
{
    engine_->budget.deadline = std::chrono::steady_clock::now() + timeBudget;
    engine_->budget.allowed = timeBudget;
    engine_->pattern = pattern;
    const sTranslatedPattern translated = TranslateECMAScriptPattern(pattern);
    groupCount_ = translated.groupCount;

    const std::string withCallout = "(?C1)(?:" + translated.pcrePattern + ")";
    const std::vector<PCRE2_UCHAR> code(withCallout.begin(), withCallout.end());
    // An unset group's back-reference matches the empty string, as in ECMAScript;
    // the NEVER options keep any pattern from switching on other modes.
    const uint32_t options = PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C;
    int error = 0;
    PCRE2_SIZE offset = 0;
    engine_->code = pcre2_compile(code.data(), code.size(), options, &error, &offset, nullptr);
    if (engine_->code == nullptr) {
        if (error == PCRE2_ERROR_HEAP_FAILED) throw std::bad_alloc();
        throw cRegExpError("Invalid regular expression: /" + PatternForMessage(pattern) + "/: " + engineMessage(error));
    }

    // Without JIT (not built in, or no executable memory) the interpreter
    // gives the same results, only more slowly.
    engine_->jit = pcre2_jit_compile(engine_->code, PCRE2_JIT_COMPLETE) == 0;
    engine_->data = pcre2_match_data_create_from_pattern(engine_->code, nullptr);
    engine_->context = pcre2_match_context_create(nullptr);
    if (engine_->data == nullptr || engine_->context == nullptr) throw std::bad_alloc();
    pcre2_set_match_limit(engine_->context, kMatchLimit);
    pcre2_set_depth_limit(engine_->context, kDepthLimit);
    pcre2_set_heap_limit(engine_->context, kHeapLimitKiB);
    pcre2_set_callout(engine_->context, checkTimeBudget, &engine_->budget);
    if (engine_->jit) {
        engine_->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (engine_->jitStack == nullptr) throw std::bad_alloc();
        pcre2_jit_stack_assign(engine_->context, nullptr, engine_->jitStack);
    }
    ovector_ = pcre2_get_ovector_pointer(engine_->data);
}

cRegExp::~cRegExp() = default;

bool cRegExp::search(const std::wstring& subject, size_t start)
{
    if (start > subject.size()) return false;
    const auto text = reinterpret_cast<PCRE2_SPTR>(subject.data());
    const int rc = engine_->jit
                       ? pcre2_jit_match(engine_->code, text, subject.size(), start, 0, engine_->data, engine_->context)
                       : pcre2_match(engine_->code, text, subject.size(), start, 0, engine_->data, engine_->context);
    if (rc >= 0) return true;
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    if (rc == PCRE2_ERROR_NOMEMORY) throw std::bad_alloc();

    std::string reason;
    switch (rc) {
        case PCRE2_ERROR_MATCHLIMIT:
        case PCRE2_ERROR_DEPTHLIMIT:
            reason = "the pattern needs too many backtracking steps (" + engineMessage(rc) +
                     "); nested quantifiers such as (x+)+ are the usual cause";
            break;
        case PCRE2_ERROR_CALLOUT:
            reason = "matching took longer than " + std::to_string(engine_->budget.allowed.count()) + " ms";
            break;
        case PCRE2_ERROR_JIT_STACKLIMIT:
        case PCRE2_ERROR_HEAPLIMIT:
            reason = "the text is too long for this pattern (" + engineMessage(rc) + ")";
            break;
        default:
            reason = engineMessage(rc);
    }
    throw cRegExpError("Regular expression /" + PatternForMessage(engine_->pattern) + "/ gave up: " + reason);
}

bool cRegExp::searchNext(const std::wstring& subject, size_t& position)
{
    if (!search(subject, position)) return false;
    position = ovector_[1] == ovector_[0] ? ovector_[1] + 1 : ovector_[1];
    return true;
}

bool cRegExp::groupMatched(uint32_t group) const
{
    return group <= groupCount_ && ovector_[2 * group] != PCRE2_UNSET;
}

size_t cRegExp::groupStart(uint32_t group) const { return ovector_[2 * group]; }

size_t cRegExp::groupEnd(uint32_t group) const { return ovector_[2 * group + 1]; }

int64_t cRegExp::countMatches(const std::wstring& subject)
{
    int64_t count = 0;
    size_t position = 0;
    while (searchNext(subject, position)) ++count;
    return count;
}

}  // namespace vtl
