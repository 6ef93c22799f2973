#include "regex/cRegExp.h"

#include "regex/ECMAScriptTranslator.h"
#include "regex/cMatchBudget.h"
#include "regex/cRegExpError.h"

#include <algorithm>
#include <cstdlib>
#include <list>
#include <mutex>
#include <new>
#include <vector>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace vtl {

namespace {

// PCRE2 reads the host's UTF-16 units in place.
static_assert(sizeof(char16_t) == sizeof(PCRE2_UCHAR), "subjects must be 16-bit code units");

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

// The time budget is checked between searches and, inside a search, at the callouts the translator places where
// the work of one backtracking step can grow with the text (back-references, long repeats). A search covers a
// window of start positions (PCRE2's offset limit), so one that finds nothing for long still comes back to be
// checked; the window grows while searches are quick and shrinks at once when they are slow.
constexpr size_t kMaxWindow = 256;
constexpr uint32_t kMaxCallsBetweenChecks = 64;
constexpr std::chrono::microseconds kQuickInterval{200};
constexpr std::chrono::microseconds kSlowInterval{2000};
// Inside a search: the clock is read after this much work (characters scanned or compared, about a millisecond)
// or after this many callouts, whichever comes first.
constexpr uint64_t kWorkBetweenChecks = uint64_t(1) << 20;
constexpr uint32_t kCalloutsBetweenChecks = 256;

struct sTimeBudget {
    explicit sTimeBudget(std::chrono::milliseconds allowed) : limit(allowed) {}

    cMatchBudget limit;
    cMatchBudget::tClock::time_point lastCheck = cMatchBudget::tClock::now();
    size_t window = 16;
    uint32_t callsBetweenChecks = 1;
    uint32_t calls = 0;
    // Since the clock was last read inside a search.
    uint64_t work = 0;
    uint32_t callouts = 0;
    size_t lastCalloutPosition = 0;

    // False when the budget is spent.
    bool check()
    {
        const auto now = cMatchBudget::tClock::now();
        const auto interval = now - lastCheck;
        lastCheck = now;
        calls = 0;
        if (interval > kSlowInterval) {
            window = std::max<size_t>(1, window / 16);
            callsBetweenChecks = 1;
        } else if (interval < kQuickInterval) {
            window = std::min(kMaxWindow, window * 2);
            callsBetweenChecks = std::min(kMaxCallsBetweenChecks, callsBetweenChecks * 2);
        }
        return !limit.spent(now);
    }

    // At a callout: `work` is what the matcher did since the last one, as far as the callout can tell.
    bool checkInside(uint64_t moreWork)
    {
        work += moreWork + 1;
        if (work < kWorkBetweenChecks && ++callouts < kCalloutsBetweenChecks) return true;
        work = 0;
        callouts = 0;
        return !limit.spent();
    }
};

std::string engineMessage(int code)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    if (length < 0) return "error " + std::to_string(code);
    return std::string(buffer, buffer + length);  // PCRE2's messages are ASCII
}

// Of one repeat whose repetitions could match the empty text (see sTranslatedPattern).
struct sEmptyIterationCheck {
    uint32_t iterationGroup = 0;  // set at the start of each repetition
    uint32_t repeatGroup = 0;     // set where the repeat started; 0 when no repetition is required
};

// ECMAScript's rule for a repetition that matched the empty text: refused unless it is a required one. The
// required ones all start where the repeat started, since the repetitions before them were empty too (PCRE2
// never repeats again after an empty repetition).
int refuseEmptyIteration(const pcre2_callout_block* block, const std::vector<sEmptyIterationCheck>& checks)
{
    if (block->callout_number == 0 || block->callout_number > checks.size()) return 0;
    const sEmptyIterationCheck& check = checks[block->callout_number - 1];
    const PCRE2_SIZE start = block->offset_vector[2 * check.iterationGroup];
    if (start != block->current_position) return 0;
    if (check.repeatGroup != 0 && block->offset_vector[2 * check.repeatGroup] == start) return 0;
    return 1;  // fail here and backtrack into the repetition
}

// A compiled pattern is read-only and may serve several threads at once;
// match data, match context and JIT stack belong to one cRegExp.
struct sCompiledPattern {
    pcre2_code* code = nullptr;
    uint32_t groupCount = 0;
    bool jit = false;
    bool anchored = false;
    // PCRE2's number of each ECMAScript group (index 0 is the whole match) when hidden groups sit between them.
    std::vector<uint32_t> groupNumbers;
    std::vector<sEmptyIterationCheck> emptyIterationChecks;

    sCompiledPattern() = default;
    sCompiledPattern(const sCompiledPattern&) = delete;
    sCompiledPattern& operator=(const sCompiledPattern&) = delete;
    ~sCompiledPattern() { pcre2_code_free(code); }
};

// Counted repeats of groups are copied out when compiled: a short pattern such as (?:(?:ab){5000}){5000} would
// take most of a gigabyte and seconds to compile. No single block of a compilation may exceed this; honest
// patterns stay far below it.
constexpr size_t kLargestCompileBlock = 16 * 1024 * 1024;
thread_local bool tCompileBlockRefused = false;

void* limitedAllocate(size_t size, void*)
{
    if (size > kLargestCompileBlock) {
        tCompileBlockRefused = true;
        return nullptr;
    }
    return std::malloc(size);
}

void limitedFree(void* block, void*) { std::free(block); }

struct sCompileContext {
    pcre2_general_context* general = pcre2_general_context_create(limitedAllocate, limitedFree, nullptr);
    pcre2_compile_context* compile = general ? pcre2_compile_context_create(general) : nullptr;
    sCompileContext() = default;
    sCompileContext(const sCompileContext&) = delete;
    sCompileContext& operator=(const sCompileContext&) = delete;
    ~sCompileContext()
    {
        pcre2_compile_context_free(compile);
        pcre2_general_context_free(general);
    }
};

std::shared_ptr<const sCompiledPattern> compilePattern(std::u16string_view pattern)
{
    const sTranslatedPattern translated = TranslateECMAScriptPattern(pattern);
    // PCRE2 takes no pointer to an empty pattern.
    const std::string source = translated.pcrePattern.empty() ? "(?:)" : translated.pcrePattern;
    const std::vector<PCRE2_UCHAR> code(source.begin(), source.end());
    // An unset group's back-reference matches the empty string, as in ECMAScript;
    // the NEVER options keep any pattern from switching on other modes; the
    // offset limit makes the windows of the time budget.
    const uint32_t options = PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C |
                             PCRE2_USE_OFFSET_LIMIT;
    int error = 0;
    PCRE2_SIZE offset = 0;
    auto compiled = std::make_shared<sCompiledPattern>();
    const sCompileContext context;
    if (context.compile == nullptr) throw std::bad_alloc();
    tCompileBlockRefused = false;
    compiled->code = pcre2_compile(code.data(), code.size(), options, &error, &offset, context.compile);
    if (compiled->code == nullptr) {
        if (error == PCRE2_ERROR_HEAP_FAILED && tCompileBlockRefused)
            throw cRegExpError("Invalid regular expression: /" + PatternForMessage(pattern) +
                               "/: regular expression is too large");
        if (error == PCRE2_ERROR_HEAP_FAILED) throw std::bad_alloc();
        throw cRegExpError("Invalid regular expression: /" + PatternForMessage(pattern) + "/: " + engineMessage(error));
    }
    compiled->groupCount = translated.groupCount;
    if (translated.namedGroups) {
        // 0 for a name the pattern does not have.
        auto numberOf = [&](const std::string& name) {
            const std::u16string units(name.begin(), name.end());
            const int number = pcre2_substring_number_from_name(compiled->code,
                                                                reinterpret_cast<PCRE2_SPTR>(units.c_str()));
            return number > 0 ? uint32_t(number) : 0;
        };
        compiled->groupNumbers.push_back(0);
        for (uint32_t group = 1; group <= translated.groupCount; ++group)
            compiled->groupNumbers.push_back(numberOf("_" + std::to_string(group)));
        for (uint32_t check = 1; check <= translated.emptyIterationChecks; ++check)
            compiled->emptyIterationChecks.push_back(
                {numberOf("_i" + std::to_string(check)), numberOf("_s" + std::to_string(check))});
    }
    // Without JIT (not built in, or no executable memory) the interpreter
    // gives the same results, only more slowly.
    compiled->jit = pcre2_jit_compile(compiled->code, PCRE2_JIT_COMPLETE) == 0;
    // An anchored pattern is tried at the search start only: no window needed.
    uint32_t allOptions = 0;
    pcre2_pattern_info(compiled->code, PCRE2_INFO_ALLOPTIONS, &allOptions);
    compiled->anchored = (allOptions & PCRE2_ANCHORED) != 0;
    return compiled;
}

// Calculations tend to run the same few patterns again and again; compiling
// one costs ten times more than counting in a short text.
constexpr size_t kCachedPatterns = 32;
constexpr size_t kLongestCachedPattern = 1024;
constexpr size_t kLargestCachedProgram = 1024 * 1024;

std::shared_ptr<const sCompiledPattern> cachedPattern(std::u16string_view pattern)
{
    static std::mutex mutex;
    static std::list<std::pair<std::u16string, std::shared_ptr<const sCompiledPattern>>> recent;  // newest first
    if (pattern.size() > kLongestCachedPattern) return compilePattern(pattern);
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto entry = recent.begin(); entry != recent.end(); ++entry) {
            if (entry->first == pattern) {
                recent.splice(recent.begin(), recent, entry);
                return entry->second;
            }
        }
    }
    std::shared_ptr<const sCompiledPattern> compiled = compilePattern(pattern);  // not under the lock
    // A few large programs would hold hundreds of megabytes for the life of the server.
    size_t programSize = 0;
    pcre2_pattern_info(compiled->code, PCRE2_INFO_SIZE, &programSize);
    if (programSize > kLargestCachedProgram) return compiled;
    std::lock_guard<std::mutex> lock(mutex);
    recent.emplace_front(std::u16string(pattern), compiled);
    if (recent.size() > kCachedPatterns) recent.pop_back();
    return compiled;
}

}  // namespace

struct cRegExp::sEngine {
    std::shared_ptr<const sCompiledPattern> pattern;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;  // made when the 32 KiB PCRE2 starts with run out
    sTimeBudget budget;
    std::u16string source;  // for messages

    explicit sEngine(std::chrono::milliseconds timeBudget) : budget(timeBudget) {}
    sEngine(const sEngine&) = delete;
    sEngine& operator=(const sEngine&) = delete;

    ~sEngine()
    {
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jitStack);
        pcre2_match_data_free(data);
    }

    // Every callout of the translated pattern: the budget's checks inside a search, then the pattern's own checks.
    static int onCallout(pcre2_callout_block* block, void* data)
    {
        sEngine& engine = *static_cast<sEngine*>(data);
        sTimeBudget& budget = engine.budget;
        // What the matcher scanned since the last callout shows in how far the position moved; a back-reference
        // (its group's number is the callout's text) is about to compare as many units as its group holds.
        const size_t position = block->current_position;
        uint64_t work = position > budget.lastCalloutPosition ? position - budget.lastCalloutPosition
                                                              : budget.lastCalloutPosition - position;
        budget.lastCalloutPosition = position;
        if (block->callout_string_length > 0) {
            uint32_t group = 0;
            for (PCRE2_SIZE k = 0; k < block->callout_string_length; ++k)
                group = group * 10 + uint32_t(block->callout_string[k] - '0');
            const std::vector<uint32_t>& numbers = engine.pattern->groupNumbers;
            const uint32_t number = numbers.empty() ? group : group < numbers.size() ? numbers[group] : 0;
            if (number != 0 && number < block->capture_top && block->offset_vector[2 * number] != PCRE2_UNSET)
                work += block->offset_vector[2 * number + 1] - block->offset_vector[2 * number];
        }
        if (!budget.checkInside(work)) return PCRE2_ERROR_CALLOUT;
        return refuseEmptyIteration(block, engine.pattern->emptyIterationChecks);
    }

    int match(std::u16string_view subject, size_t start)
    {
        budget.lastCalloutPosition = start;
        // PCRE2 before 10.43 refuses a null subject, even an empty one.
        static const char16_t kNoUnits[1] = {0};
        const auto text = reinterpret_cast<PCRE2_SPTR>(subject.data() ? subject.data() : kNoUnits);
        if (!pattern->jit) return pcre2_match(pattern->code, text, subject.size(), start, 0, data, context);
        int rc = pcre2_jit_match(pattern->code, text, subject.size(), start, 0, data, context);
        if (rc == PCRE2_ERROR_JIT_STACKLIMIT && jitStack == nullptr) {
            // Most searches never need more; the same search again, with room to grow.
            jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
            if (jitStack == nullptr) throw std::bad_alloc();
            pcre2_jit_stack_assign(context, nullptr, jitStack);
            rc = pcre2_jit_match(pattern->code, text, subject.size(), start, 0, data, context);
        }
        return rc;
    }
};

cRegExp::cRegExp(std::u16string_view pattern, std::chrono::milliseconds timeBudget) : engine_(new sEngine(timeBudget))
{
    engine_->source = pattern;
    engine_->pattern = cachedPattern(pattern);
    groupCount_ = engine_->pattern->groupCount;

    engine_->data = pcre2_match_data_create_from_pattern(engine_->pattern->code, nullptr);
    engine_->context = pcre2_match_context_create(nullptr);
    if (engine_->data == nullptr || engine_->context == nullptr) throw std::bad_alloc();
    pcre2_set_match_limit(engine_->context, kMatchLimit);
    pcre2_set_depth_limit(engine_->context, kDepthLimit);
    pcre2_set_heap_limit(engine_->context, kHeapLimitKiB);
    pcre2_set_callout(engine_->context, sEngine::onCallout, engine_.get());
    ovector_ = pcre2_get_ovector_pointer(engine_->data);
}

cRegExp::~cRegExp() = default;

bool cRegExp::search(std::u16string_view subject, size_t start)
{
    sTimeBudget& budget = engine_->budget;
    int rc = PCRE2_ERROR_NOMATCH;
    for (size_t from = start; from <= subject.size();) {
        const size_t lastStart = engine_->pattern->anchored ? subject.size() : from + budget.window;
        pcre2_set_offset_limit(engine_->context, lastStart);
        rc = engine_->match(subject, from);
        const bool windowEmpty = rc == PCRE2_ERROR_NOMATCH && lastStart < subject.size();
        if (rc == PCRE2_ERROR_CALLOUT || ((++budget.calls >= budget.callsBetweenChecks || windowEmpty) && !budget.check()))
            fail_(budget.limit.reason());
        if (!windowEmpty) break;
        from = lastStart + 1;
    }
    if (rc >= 0) return true;
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    if (rc == PCRE2_ERROR_NOMEMORY) throw std::bad_alloc();
    switch (rc) {
        case PCRE2_ERROR_MATCHLIMIT:
        case PCRE2_ERROR_DEPTHLIMIT:
            fail_("the pattern needs too many backtracking steps (" + engineMessage(rc) +
                  "); nested quantifiers such as (x+)+ are the usual cause");
        case PCRE2_ERROR_JIT_STACKLIMIT:
        case PCRE2_ERROR_HEAPLIMIT:
            fail_("the text is too long for this pattern (" + engineMessage(rc) + ")");
        default:
            fail_(engineMessage(rc));
    }
}

void cRegExp::fail_(const std::string& reason) const
{
    throw cRegExpError("Regular expression /" + PatternForMessage(engine_->source) + "/ gave up: " + reason);
}

bool cRegExp::searchNext(std::u16string_view subject, size_t& position)
{
    if (!search(subject, position)) return false;
    position = ovector_[1] == ovector_[0] ? ovector_[1] + 1 : ovector_[1];
    return true;
}

uint32_t cRegExp::number_(uint32_t group) const
{
    const std::vector<uint32_t>& numbers = engine_->pattern->groupNumbers;
    return numbers.empty() ? group : numbers[group];
}

bool cRegExp::groupMatched(uint32_t group) const
{
    return group <= groupCount_ && ovector_[2 * number_(group)] != PCRE2_UNSET;
}

size_t cRegExp::groupStart(uint32_t group) const { return ovector_[2 * number_(group)]; }

size_t cRegExp::groupEnd(uint32_t group) const { return ovector_[2 * number_(group) + 1]; }

int64_t cRegExp::countMatches(std::u16string_view subject)
{
    int64_t count = 0;
    size_t position = 0;
    while (searchNext(subject, position)) ++count;
    return count;
}

}  // namespace vtl
