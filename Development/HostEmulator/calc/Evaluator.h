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
class Evaluator
{
public:
    Evaluator(Environment &environment, const Program &program);
    ~Evaluator();
    Evaluator(const Evaluator &) = delete;
    Evaluator &operator=(const Evaluator &) = delete;

    // Evaluates the whole program. On success the session keeps the variables the calculation set; on failure
    // every variable it set gets its earlier value back, so a failed calculation changes nothing.
    short run(Value &result);

    // For built-in functions: evaluates one node into `out` (0, or an error code with the failure recorded).
    short evaluate(const Node &node, Value &out);
    // Records a failure at a node and answers its code.
    short fail(short code, const Node &at, std::string message);

    Environment &environment() { return environment_; }
    Session &session() { return environment_.GetSession(); }
    const Failure &failure() const { return failure_; }

private:
    short evaluateName(const Node &node, Value &out);
    short evaluateCall(const Node &node, Value &out);
    short evaluateLet(const Node &node, Value &out);
    short evaluateBinary(const Node &node, Value &out);
    short evaluateLogical(const Node &node, Value &out);
    void setVariable(const LetBinding &binding, Value &&value);
    void rollBack();

    Environment &environment_;
    const Program &program_;
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
};

// Number form of a value as the operators read it (empty text reads as 0).
Number numberOf(const Value &value);
void setNumber(Value &out, const Number &number);
void setBoolean(Value &out, bool value);
} // namespace emu::calc
