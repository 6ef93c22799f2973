#include "calc/Evaluator.h"

#include "calc/Builtins.h"
#include "calc/Lexer.h"
#include "core/Registry.h"

#include <cmath>

namespace emu::calc
{
namespace
{
bool isNumeric(DataType type)
{
    return type == kDTNumber || type == kDTDate || type == kDTTime || type == kDTTimeStamp || type == kDTBoolean;
}

// The type of a sum or difference: a date, time or timestamp shifted by a number keeps its type; the difference
// of two dates or two timestamps is a plain number.
DataType arithmeticType(BinaryOp op, DataType left, DataType right)
{
    bool leftDate = left == kDTDate || left == kDTTime || left == kDTTimeStamp;
    bool rightDate = right == kDTDate || right == kDTTime || right == kDTTimeStamp;
    if (op == BinaryOp::Add && leftDate != rightDate)
        return leftDate ? left : right;
    if (op == BinaryOp::Subtract && leftDate && !rightDate)
        return left;
    if (op == BinaryOp::Subtract && left == kDTTime && right == kDTTime)
        return kDTTime;
    return kDTNumber;
}

bool power(const Number &base, const Number &exponent, Number &out)
{
    if (exponent.IsInteger() && std::abs(exponent.ToDouble()) <= 1024)
    {
        int64_t n = exponent.ToInt64();
        Number result = Number::FromInt(1);
        Number factor = base;
        for (int64_t e = n < 0 ? -n : n; e > 0; e >>= 1)
        {
            if (e & 1)
                result = Number::Multiply(result, factor);
            if (e > 1)
                factor = Number::Multiply(factor, factor);
        }
        if (n >= 0)
        {
            out = result;
            return true;
        }
        return Number::Divide(Number::FromInt(1), result, out);
    }
    double value = std::pow(base.ToDouble(), exponent.ToDouble());
    if (!std::isfinite(value))
        return false;
    out = Number::FromDouble(value);
    return true;
}

int compareValues(const Value &left, const Value &right)
{
    if (isNumeric(left.Type()) && isNumeric(right.Type()))
        return Number::Compare(numberOf(left), numberOf(right));
    return compareAsText(left, right);
}
} // namespace

int compareAsText(const Value &left, const Value &right)
{
    return ToLowerCopy(left.AsText().Chars()).compare(ToLowerCopy(right.AsText().Chars()));
}

Number numberOf(const Value &value) { return value.AsNumber(); }

void setNumber(Value &out, const Number &number) { out.SetNumber(number, kDTNumber); }

void setTyped(Value &out, const Number &number, DataType type)
{
    if (type != kDTDate && type != kDTTime && type != kDTTimeStamp)
    {
        setNumber(out, number);
        return;
    }
    DateTime dateTime;
    if (type == kDTDate)
        dateTime.SetDayNumber(number.Floor().ToInt64());
    else
        dateTime.SetSeconds(number);
    out.SetDateTime(dateTime, type, type);
}

void setBoolean(Value &out, bool value) { setNumber(out, Number::FromInt(value ? 1 : 0)); }

Evaluator::Evaluator(Environment &environment, const Program &program, Evaluator *parent)
    : environment_(environment), program_(program), parent_(parent), locals_(program.slotCount)
{
}

Evaluator::~Evaluator() = default;

short Evaluator::run(Value &result)
{
    struct RollBackUnlessDone
    {
        Evaluator &evaluator;
        bool done = false;
        ~RollBackUnlessDone()
        {
            if (!done)
                evaluator.rollBack();
        }
    } guard{*this};
    short code = evaluate(*program_.root, result);
    guard.done = code == kCalcOK;
    return code;
}

short Evaluator::fail(short code, const Node &at, std::string message)
{
    failure_.code = code;
    failure_.position = at.position;
    failure_.message = std::move(message);
    return code;
}

short Evaluator::variableName(const std::u16string &written, const Node *repetition, std::u16string &name)
{
    name = written;
    if (!repetition)
        return kCalcOK;
    Value number;
    if (short code = evaluate(*repetition, number))
        return code;
    // The whole part counts, as for a field's repetition; 0 and negative repetitions are variables of their own.
    int64_t n = numberOf(number).ToInt64();
    if (n == 1)
        return kCalcOK;
    std::string digits = std::to_string(n);
    name += u'[';
    name.append(digits.begin(), digits.end());
    name += u']';
    return kCalcOK;
}

void Evaluator::setVariable(const std::u16string &name, Value &&value)
{
    if (parent_)
    {
        parent_->setVariable(name, std::move(value));
        return;
    }
    std::u16string key = foldName(name);
    bool recorded = false;
    for (const Undo &entry : undo_)
        recorded = recorded || entry.key == key;
    bool existed = recorded || session().FindVariable(name);
    Value &slot = session().Variable(name);
    // The earlier value is about to be overwritten, so it moves into the undo record.
    if (!recorded)
        undo_.push_back({std::move(key), name, existed ? std::make_unique<Value>(std::move(slot)) : nullptr});
    slot = std::move(value);
}

void Evaluator::rollBack()
{
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
    {
        if (it->previous)
            session().Variable(it->name) = std::move(*it->previous);
        else
            session().RemoveVariable(it->name);
    }
    undo_.clear();
}

short Evaluator::evaluate(const Node &node, Value &out)
{
    switch (node.kind)
    {
    case NodeKind::Number:
    {
        Number number;
        if (!Number::ParseLiteral(node.text, number))
            return fail(kCannotEvaluateNumber, node, "the number cannot be read");
        if (precision() != Number::kDefaultPrecision)
            number.SetPrecision(precision());
        setNumber(out, number);
        return kCalcOK;
    }
    case NodeKind::Text:
        out.SetText(node.text);
        return kCalcOK;
    case NodeKind::Variable:
    {
        std::u16string name;
        if (short code = variableName(node.text, node.args.empty() ? nullptr : node.args[0].get(), name))
            return code;
        const Value *value = session().FindVariable(name);
        if (value)
            out = *value;
        else
            out.Clear();
        return kCalcOK;
    }
    case NodeKind::Local:
        out = locals_[node.slot];
        return kCalcOK;
    case NodeKind::Name:
        return evaluateName(node, out);
    case NodeKind::Call:
        return evaluateCall(node, out);
    case NodeKind::Let:
        return evaluateLet(node, out);
    case NodeKind::While:
        return evaluateWhile(node, out);
    case NodeKind::List:
        return fail(kListNotAllowed, node, "a list in brackets is not allowed here");
    case NodeKind::Negate:
    {
        Value operand;
        if (short code = evaluate(*node.args[0], operand))
            return code;
        Number number = numberOf(operand);
        number.Negate();
        setNumber(out, number);
        return kCalcOK;
    }
    case NodeKind::Not:
    {
        Value operand;
        if (short code = evaluate(*node.args[0], operand))
            return code;
        setBoolean(out, !operand.AsBoolean());
        return kCalcOK;
    }
    case NodeKind::Binary:
        return evaluateBinary(node, out);
    }
    return fail(kCalcGeneric, node, "unknown node");
}

const Value *Evaluator::storedValue(const Node &node)
{
    if (node.kind == NodeKind::Variable && node.args.empty())
        return session().FindVariable(node.text);
    if (node.kind == NodeKind::Variable)
        return nullptr; // the repetition must be evaluated first
    return node.kind == NodeKind::Local ? &locals_[node.slot] : nullptr;
}

short Evaluator::evaluateName(const Node &node, Value &out)
{
    if (!Registry::Instance().FindByName(node.text))
        return fail(kFieldMissing, node, "\"" + std::string(node.text.begin(), node.text.end()) +
                                             "\" is neither a function nor a Let variable");
    return evaluateCall(node, out);
}

short Evaluator::evaluateCall(const Node &node, Value &out)
{
    if (node.builtin)
        return node.builtin->function(*this, node, out);
    RegistrationPtr registration = Registry::Instance().FindByName(node.text);
    if (!registration)
        return fail(kFunctionMissing, node, "the function referred to does not exist");
    DataVect arguments;
    for (const NodePtr &argument : node.args)
        if (short code = evaluate(*argument, arguments.Emplace()))
            return code;
    Value result;
    if (short code = CallRegistered(*registration, environment_, arguments, result))
        return fail(code, node, code == kTooFewParameters   ? "too few parameters for this plug-in function"
                                : code == kTooManyParameters ? "too many parameters for this plug-in function"
                                                             : "the plug-in function answered an error");
    out = std::move(result);
    return kCalcOK;
}

short Evaluator::bind(const std::vector<LetBinding> &bindings)
{
    for (const LetBinding &binding : bindings)
    {
        Value value;
        if (short code = evaluate(*binding.value, value))
            return code;
        if (binding.isVariable)
        {
            // The repetition is evaluated after the value, as the variable is set.
            std::u16string name;
            if (short code = variableName(binding.text, binding.repetition.get(), name))
                return code;
            setVariable(name, std::move(value));
        }
        else
            locals_[binding.slot] = std::move(value);
    }
    return kCalcOK;
}

short Evaluator::evaluateLet(const Node &node, Value &out)
{
    if (short code = bind(node.bindings))
        return code;
    return evaluate(*node.args[0], out);
}

short Evaluator::evaluateWhile(const Node &node, Value &out)
{
    if (short code = bind(node.bindings))
        return code;
    for (int64_t iterations = 0;; ++iterations)
    {
        Value condition;
        if (short code = evaluate(*node.args[0], condition))
            return code;
        if (!condition.AsBoolean())
            break;
        if (iterations >= settings().iterationLimit)
            return fail(kCalcGeneric, node,
                        "While stopped after " + std::to_string(settings().iterationLimit) + " iterations");
        if (short code = bind(node.loopBindings))
            return code;
    }
    return evaluate(*node.args[1], out);
}

// and, or and xor; "and" and "or" stop as soon as the left side decides, as FileMaker's do.
short Evaluator::evaluateLogical(const Node &node, Value &out)
{
    Value left;
    if (short code = evaluate(*node.args[0], left))
        return code;
    bool leftTrue = left.AsBoolean();
    if ((node.op == BinaryOp::And && !leftTrue) || (node.op == BinaryOp::Or && leftTrue))
    {
        setBoolean(out, leftTrue);
        return kCalcOK;
    }
    Value right;
    if (short code = evaluate(*node.args[1], right))
        return code;
    bool rightTrue = right.AsBoolean();
    setBoolean(out, node.op == BinaryOp::Xor ? leftTrue != rightTrue : rightTrue);
    return kCalcOK;
}

short Evaluator::evaluateBinary(const Node &node, Value &out)
{
    if (node.op == BinaryOp::And || node.op == BinaryOp::Or || node.op == BinaryOp::Xor)
        return evaluateLogical(node, out);
    Value left, right;
    if (short code = evaluate(*node.args[0], left))
        return code;
    if (short code = evaluate(*node.args[1], right))
        return code;
    switch (node.op)
    {
    case BinaryOp::Concat:
    {
        Text text = left.AsText();
        text.Append(right.AsText());
        out.SetText(text);
        return kCalcOK;
    }
    case BinaryOp::Add:
    case BinaryOp::Subtract:
    {
        Number a = numberOf(left), b = numberOf(right);
        Number sum = node.op == BinaryOp::Add ? Number::Add(a, b) : Number::Subtract(a, b);
        setTyped(out, sum, arithmeticType(node.op, left.Type(), right.Type()));
        return kCalcOK;
    }
    case BinaryOp::Multiply:
        setNumber(out, Number::Multiply(numberOf(left), numberOf(right)));
        return kCalcOK;
    case BinaryOp::Divide:
    {
        Number quotient, dividend = numberOf(left);
        if (precision() > dividend.Precision())
            dividend.SetPrecision(precision());
        if (!Number::Divide(dividend, numberOf(right), quotient))
            return fail(kCannotEvaluateNumber, node, "division by zero");
        setNumber(out, quotient);
        return kCalcOK;
    }
    case BinaryOp::Power:
    {
        Number result;
        if (!power(numberOf(left), numberOf(right), result))
            return fail(kCannotEvaluateNumber, node, "the power cannot be computed");
        setNumber(out, result);
        return kCalcOK;
    }
    case BinaryOp::Equal: setBoolean(out, compareValues(left, right) == 0); return kCalcOK;
    case BinaryOp::NotEqual: setBoolean(out, compareValues(left, right) != 0); return kCalcOK;
    case BinaryOp::Less: setBoolean(out, compareValues(left, right) < 0); return kCalcOK;
    case BinaryOp::Greater: setBoolean(out, compareValues(left, right) > 0); return kCalcOK;
    case BinaryOp::LessEqual: setBoolean(out, compareValues(left, right) <= 0); return kCalcOK;
    case BinaryOp::GreaterEqual: setBoolean(out, compareValues(left, right) >= 0); return kCalcOK;
    default: return fail(kCalcGeneric, node, "unknown operator");
    }
}
} // namespace emu::calc
