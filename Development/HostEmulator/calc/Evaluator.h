// Evaluates a parsed calculation in an environment.
#pragma once

#include "calc/Ast.h"
#include "calc/CalcErrors.h"
#include "core/Session.h"
#include "core/Value.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace emu::calc
{
// Most iterations a While may run, FileMaker's default limit.
constexpr int64_t kMaxWhileIterations = 50000;

class Evaluator
{
public:
    // `parent`: the evaluation that runs this one through Evaluate. Variables this one sets are then undone with
    // the parent's, so that a failed calculation still changes nothing.
    Evaluator(Environment &environment, const Program &program, Evaluator *parent = nullptr);
    ~Evaluator();
    Evaluator(const Evaluator &) = delete;
    Evaluator &operator=(const Evaluator &) = delete;

    // Evaluates the whole program. On success the session keeps the variables the calculation set; on failure
    // every variable it set gets its earlier value back, so a failed calculation changes nothing.
    short run(Value &result);

    // For built-in functions: evaluates one node into `out` (0, or an error code with the failure recorded).
    short evaluate(const Node &node, Value &out);
    // The value a variable or a Let name holds, to be read in place; nullptr for any other node.
    const Value *storedValue(const Node &node);
    // Records a failure at a node and answers its code.
    short fail(short code, const Node &at, std::string message);

    // What SetPrecision and SetRecursion change while their expression is evaluated: the fractional digits of
    // quotients and of numbers written in the calculation, and the iterations a While may run. One set per
    // calculation, shared with the Evaluate calls inside it.
    struct Settings
    {
        int precision = Number::kDefaultPrecision;
        int64_t iterationLimit = kMaxWhileIterations;
    };
    Settings &settings() { return parent_ ? parent_->settings() : settings_; }
    int precision() { return settings().precision; }

    Environment &environment() { return environment_; }
    Session &session() { return environment_.GetSession(); }
    const Failure &failure() const { return failure_; }

private:
    short evaluateName(const Node &node, Value &out);
    short evaluateCall(const Node &node, Value &out);
    short evaluateLet(const Node &node, Value &out);
    short evaluateWhile(const Node &node, Value &out);
    short bind(const std::vector<LetBinding> &bindings);
    short evaluateBinary(const Node &node, Value &out);
    short evaluateLogical(const Node &node, Value &out);
    // The name a variable is stored under: as written for the first repetition, "$name[n]" for any other.
    short variableName(const std::u16string &written, const Node *repetition, std::u16string &name);
    void setVariable(const std::u16string &name, Value &&value);
    void rollBack();

    Environment &environment_;
    const Program &program_;
    Evaluator *parent_;
    std::vector<Value> locals_;
    // Variables this evaluation changed, with their earlier values (null: it did not exist), oldest first.
    struct Undo
    {
        std::u16string key;  // folded, to find a variable set twice
        std::u16string name; // as written
        std::unique_ptr<Value> previous;
    };
    std::vector<Undo> undo_;
    Failure failure_;
    Settings settings_;
};

// Evaluates a calculation text inside a running evaluation (Evaluate): parsed once per text and session, the
// variables it sets undone with those of `outer`. A failure is recorded on `outer` at `at`.
short evaluateNested(Evaluator &outer, const Node &at, const std::u16string &text, Value &out);

// Number form of a value as the operators read it (empty text reads as 0).
Number numberOf(const Value &value);
// The order of two values' text forms, case ignored, as FileMaker compares texts.
int compareAsText(const Value &left, const Value &right);
void setNumber(Value &out, const Number &number);
// A number of the type: day counts for dates, seconds for times and timestamps (the units date arithmetic works
// in); a plain number for any other type.
void setTyped(Value &out, const Number &number, DataType type);
void setBoolean(Value &out, bool value);
} // namespace emu::calc
