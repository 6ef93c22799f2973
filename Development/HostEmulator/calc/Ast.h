// The parsed form of a calculation. Nodes are immutable once parsed, so one parse serves every thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace emu::calc
{
struct Builtin;

enum class NodeKind : unsigned char
{
    Number,     // text: the literal
    Text,       // text: the value
    Variable,   // text: $name or $$name as written; key: folded; args[0], when present: the repetition
    Local,      // a name bound by an enclosing Let; slot: where its value lives
    Name,       // a bare name: a function called without arguments, or a Get selector
    Call,       // text: the name as written; key: folded; builtin: set when the language defines it
    Negate,     // unary minus; args[0]
    Not,        // args[0]
    Binary,     // op; args[0], args[1]
    Let,        // bindings, then args[0] is the result expression
    While,      // bindings: the initial variables; args[0]: the condition; loopBindings: the logic; args[1]: the result
    List,       // "[ a ; b ]": args are the items; only functions that take lists (Substitute) accept one
};

enum class BinaryOp : unsigned char
{
    Concat, Add, Subtract, Multiply, Divide, Power,
    Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
    And, Or, Xor,
};

struct Node;
using NodePtr = std::unique_ptr<Node>;

struct LetBinding
{
    bool isVariable = false;   // $name / $$name: stored in the session; otherwise a local
    std::u16string text;       // as written
    std::u16string key;        // folded
    unsigned slot = 0;         // for locals
    NodePtr repetition;        // $name[n]: n; null for the first repetition
    NodePtr value;
};

struct Node
{
    NodeKind kind = NodeKind::Number;
    BinaryOp op = BinaryOp::Concat;
    std::size_t position = 0;
    unsigned slot = 0;
    unsigned depth = 1;          // height of this subtree, bounded so that evaluation cannot exhaust the stack
    const Builtin *builtin = nullptr;
    std::u16string text;
    std::u16string key;
    std::vector<NodePtr> args;
    std::vector<LetBinding> bindings;
    std::vector<LetBinding> loopBindings;
    bool hasParentheses = false; // a Call written with "( )", even when empty
};

// A parsed calculation: its root and how many Let slots evaluating it needs.
struct Program
{
    NodePtr root;
    unsigned slotCount = 0;
};
} // namespace emu::calc
