// emu::Evaluate: parses (once per text and session) and evaluates a calculation.
#include "calc/Engine.h"

#include "calc/Evaluator.h"
#include "calc/Parser.h"
#include "core/Evaluate.h"

#include <memory>
#include <new>
#include <unordered_map>

namespace emu::calc
{
namespace
{
struct ParsedText
{
    Program program;
    Failure failure; // code 0 when the text parsed
};

// Lives in the session, which belongs to one thread at a time, so the cache needs no lock.
struct SessionCache
{
    std::unordered_map<std::u16string, std::shared_ptr<const ParsedText>> parsed;
};

thread_local Failure tLastFailure;
// Sum of the heights of the programs being evaluated on this thread. Evaluate nests one evaluation in another,
// so its programs share the height limit of a single calculation: the stack stays bounded whatever the texts.
thread_local unsigned tDepthInUse = 0;

struct DepthInUse
{
    unsigned depth;
    explicit DepthInUse(unsigned d) : depth(d) { tDepthInUse += depth; }
    ~DepthInUse() { tDepthInUse -= depth; }
    DepthInUse(const DepthInUse &) = delete;
    DepthInUse &operator=(const DepthInUse &) = delete;
};

std::shared_ptr<const ParsedText> parsedText(Session &session, const std::u16string &text)
{
    std::shared_ptr<void> &state = session.CalcState();
    if (!state)
        state = std::make_shared<SessionCache>();
    auto &cache = static_cast<SessionCache *>(state.get())->parsed;
    auto found = cache.find(text);
    if (found != cache.end())
        return found->second;
    auto parsed = std::make_shared<ParsedText>();
    if (!parse(text, parsed->program, parsed->failure) && parsed->failure.code == kCalcOK)
        parsed->failure.code = kCalcGeneric;
    if (cache.size() >= kParseCacheLimit)
        cache.clear();
    cache.emplace(text, parsed);
    return parsed;
}
} // namespace

short evaluateNested(Evaluator &outer, const Node &at, const std::u16string &text, Value &out)
{
    std::shared_ptr<const ParsedText> parsed = parsedText(outer.session(), text);
    if (parsed->failure.code != kCalcOK)
        return outer.fail(parsed->failure.code, at, "in the text evaluated: " + parsed->failure.message);
    if (tDepthInUse + parsed->program.root->depth > kMaxNestingDepth)
        return outer.fail(kCalcGeneric, at, "Evaluate is nested too deeply");
    DepthInUse inUse(parsed->program.root->depth);
    Evaluator inner(outer.environment(), parsed->program, &outer);
    Value value;
    if (short code = inner.run(value))
        return outer.fail(code, at, "in the text evaluated: " + inner.failure().message);
    out = std::move(value);
    return kCalcOK;
}

const Failure &lastFailure() { return tLastFailure; }

void resetLastFailure() { tLastFailure = Failure(); }
} // namespace emu::calc

namespace emu
{
namespace
{
int16_t evaluateOrThrow(Environment &env, const std::u16string &text, Value &result)
{
    using namespace emu::calc;
    // Held while evaluating: a plug-in function may evaluate in the same session and so reset the cache.
    std::shared_ptr<const ParsedText> parsed = parsedText(env.GetSession(), text);
    if (parsed->failure.code != kCalcOK)
    {
        tLastFailure = parsed->failure;
        return parsed->failure.code;
    }
    DepthInUse inUse(parsed->program.root->depth);
    Evaluator evaluator(env, parsed->program);
    Value value;
    short code = evaluator.run(value);
    if (code != kCalcOK)
    {
        tLastFailure = evaluator.failure();
        return code;
    }
    result = std::move(value);
    return kCalcOK;
}
} // namespace

// Running out of memory ends the calculation, not the host: FileMaker answers error 2 and goes on.
int16_t Evaluate(Environment &env, const std::u16string &text, Value &result)
{
    using namespace emu::calc;
    try
    {
        return evaluateOrThrow(env, text, result);
    }
    catch (const std::bad_alloc &)
    {
        tLastFailure = Failure{kOutOfMemory, 0, ""};  // no place in the text to point at
        return kOutOfMemory;
    }
}
} // namespace emu
