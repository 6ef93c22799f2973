#include "calc/Parser.h"

#include "calc/Builtins.h"
#include "calc/Lexer.h"

#include <utility>
#include <vector>

namespace emu::calc
{
namespace
{
// Binding strength of the binary operators; unary minus binds tighter than all of them, "not" sits between
// the comparisons and "and".
constexpr int kNotPrecedence = 4;

int precedenceOf(Tok kind, BinaryOp &op)
{
    switch (kind)
    {
    case Tok::Or: op = BinaryOp::Or; return 1;
    case Tok::Xor: op = BinaryOp::Xor; return 1;
    case Tok::And: op = BinaryOp::And; return 3;
    case Tok::Equal: op = BinaryOp::Equal; return 5;
    case Tok::NotEqual: op = BinaryOp::NotEqual; return 5;
    case Tok::Less: op = BinaryOp::Less; return 5;
    case Tok::Greater: op = BinaryOp::Greater; return 5;
    case Tok::LessEqual: op = BinaryOp::LessEqual; return 5;
    case Tok::GreaterEqual: op = BinaryOp::GreaterEqual; return 5;
    case Tok::Ampersand: op = BinaryOp::Concat; return 6;
    case Tok::Plus: op = BinaryOp::Add; return 7;
    case Tok::Minus: op = BinaryOp::Subtract; return 7;
    case Tok::Star: op = BinaryOp::Multiply; return 8;
    case Tok::Slash: op = BinaryOp::Divide; return 8;
    case Tok::Caret: op = BinaryOp::Power; return 9;
    default: return 0;
    }
}

struct ParseFailed
{
};

class Parser
{
public:
    Parser(std::vector<Token> tokens, Failure &failure) : tokens_(std::move(tokens)), failure_(failure) {}

    void parseProgram(Program &program)
    {
        NodePtr root = expression(0);
        if (current().kind != Tok::End)
            fail(current().kind == Tok::RParen ? kUnbalancedParenthesis : kOperatorExpected,
                 current().kind == Tok::RParen ? "unbalanced parenthesis" : "an operator is expected here");
        program.root = std::move(root);
        program.slotCount = maxSlots_;
    }

private:
    struct Scope
    {
        std::u16string key;
        unsigned slot;
    };

    std::vector<Token> tokens_;
    Failure &failure_;
    std::size_t at_ = 0;
    unsigned recursion_ = 0;
    std::vector<Scope> scopes_;
    std::vector<std::size_t> whileScope_; // where the scope of each enclosing While begins
    unsigned maxSlots_ = 0;

    const Token &current() const { return tokens_[at_]; }
    const Token &peek() const { return tokens_[at_ + 1 < tokens_.size() ? at_ + 1 : at_]; }
    void advance()
    {
        if (at_ + 1 < tokens_.size())
            ++at_;
    }

    [[noreturn]] void fail(short code, const char *message) { fail(code, message, current().position); }
    [[noreturn]] void fail(short code, const char *message, std::size_t position)
    {
        failure_ = {code, position, message};
        throw ParseFailed();
    }

    void expect(Tok kind, short code, const char *message)
    {
        if (current().kind != kind)
            fail(current().kind == Tok::End && code != kUnbalancedParenthesis ? static_cast<short>(kUnexpectedEnd) : code, message);
        advance();
    }

    NodePtr makeNode(NodeKind kind, std::size_t position)
    {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        node->position = position;
        return node;
    }

    // Records a child and keeps the subtree's height within the limit.
    void adopt(Node &parent, NodePtr child)
    {
        if (child->depth + 1 > parent.depth)
            parent.depth = child->depth + 1;
        if (parent.depth > kMaxNestingDepth)
            fail(kCalcGeneric, "calculation is nested too deeply", parent.position);
        parent.args.push_back(std::move(child));
    }

    struct RecursionGuard
    {
        Parser &parser;
        explicit RecursionGuard(Parser &p) : parser(p)
        {
            if (++parser.recursion_ > kMaxNestingDepth)
                parser.fail(kCalcGeneric, "calculation is nested too deeply");
        }
        ~RecursionGuard() { --parser.recursion_; }
    };

    NodePtr expression(int minPrecedence)
    {
        RecursionGuard guard(*this);
        NodePtr left = unary();
        while (true)
        {
            BinaryOp op;
            int precedence = precedenceOf(current().kind, op);
            if (precedence == 0 || precedence < minPrecedence)
                return left;
            NodePtr node = makeNode(NodeKind::Binary, current().position);
            node->op = op;
            advance();
            NodePtr right = expression(precedence + 1);
            adopt(*node, std::move(left));
            adopt(*node, std::move(right));
            left = std::move(node);
        }
    }

    NodePtr unary()
    {
        RecursionGuard guard(*this);
        const Token &token = current();
        if (token.kind == Tok::Minus || token.kind == Tok::Not)
        {
            NodePtr node = makeNode(token.kind == Tok::Minus ? NodeKind::Negate : NodeKind::Not, token.position);
            bool isNot = token.kind == Tok::Not;
            advance();
            adopt(*node, isNot ? expression(kNotPrecedence + 1) : unary());
            return node;
        }
        if (token.kind == Tok::Plus)
        {
            advance();
            return unary();
        }
        return primary();
    }

    NodePtr primary()
    {
        const Token &token = current();
        switch (token.kind)
        {
        case Tok::Number:
        case Tok::Text:
        case Tok::Pilcrow:
        {
            NodePtr node = makeNode(token.kind == Tok::Number ? NodeKind::Number : NodeKind::Text, token.position);
            node->text = token.kind == Tok::Pilcrow ? std::u16string(1, u'\r') : token.text;
            advance();
            return node;
        }
        case Tok::Variable:
        {
            if (token.text.find_first_not_of(u'$') == std::u16string::npos)
                fail(kNameMissing, "a variable name is missing after $");
            NodePtr node = makeNode(NodeKind::Variable, token.position);
            node->text = token.text;
            node->key = foldName(token.text);
            advance();
            if (NodePtr repetition = repetitionNumber())
                adopt(*node, std::move(repetition));
            return node;
        }
        case Tok::LParen:
        {
            advance();
            NodePtr inner = expression(0);
            expect(Tok::RParen, kUnbalancedParenthesis, "unbalanced parenthesis");
            return inner;
        }
        case Tok::Name:
            return name();
        case Tok::LBracket:
            return list();
        case Tok::End:
            fail(kUnexpectedEnd, "unexpected end of calculation");
        default:
            fail(kOperandExpected, "a number, text constant, name or \"(\" is expected here");
        }
    }

    const Scope *findLocal(const std::u16string &key) const
    {
        for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it)
            if (it->key == key)
                return &*it;
        return nullptr;
    }

    NodePtr name()
    {
        const Token &token = current();
        std::u16string key = foldName(token.text);
        if (peek().kind == Tok::LParen)
            return key == u"let" ? let() : key == u"while" ? whileLoop() : call(std::move(key));
        if (const Scope *local = findLocal(key))
        {
            NodePtr node = makeNode(NodeKind::Local, token.position);
            node->text = token.text;
            node->key = key;
            node->slot = local->slot;
            advance();
            return node;
        }
        NodePtr node = makeNode(NodeKind::Name, token.position);
        node->text = token.text;
        node->key = std::move(key);
        node->builtin = findBuiltin(node->key);
        advance();
        if (node->builtin)
        {
            node->kind = NodeKind::Call;
            checkArgumentCount(*node);
        }
        return node;
    }

    void checkArgumentCount(const Node &node)
    {
        const Builtin &builtin = *node.builtin;
        auto count = static_cast<int>(node.args.size());
        if (count < builtin.minArgs)
            fail(kTooFewParameters, "too few parameters in this function", node.position);
        if (builtin.maxArgs >= 0 && count > builtin.maxArgs)
            fail(kTooManyParameters, "too many parameters in this function", node.position);
    }

    NodePtr call(std::u16string key)
    {
        NodePtr node = makeNode(NodeKind::Call, current().position);
        node->text = current().text;
        node->key = std::move(key);
        node->builtin = findBuiltin(node->key);
        node->hasParentheses = true;
        advance(); // name
        advance(); // (
        if (current().kind == Tok::RParen)
            advance();
        else
            arguments(*node);
        if (node->builtin)
            checkArgumentCount(*node);
        return node;
    }

    void arguments(Node &node, Tok close = Tok::RParen)
    {
        while (true)
        {
            adopt(node, expression(0));
            if (current().kind == Tok::Separator)
            {
                advance();
                continue;
            }
            if (current().kind == close)
            {
                advance();
                return;
            }
            if (current().kind == Tok::End)
                fail(kUnbalancedParenthesis, "unbalanced parenthesis");
            fail(kOperatorExpected, "an operator is expected here");
        }
    }

    // Let ( name = value ; result ) and Let ( [ name = value ; ... ] ; result ). Each binding sees the ones
    // before it; plain names are local to the Let, $ and $$ names are the session's variables.
    NodePtr let()
    {
        NodePtr node = makeNode(NodeKind::Let, current().position);
        node->text = current().text;
        advance(); // Let
        advance(); // (
        std::size_t scopeMark = scopes_.size();
        if (current().kind == Tok::LBracket)
        {
            advance();
            while (true)
            {
                binding(*node);
                if (current().kind == Tok::Separator)
                {
                    advance();
                    continue;
                }
                expect(Tok::RBracket, kOperatorExpected, "\"]\" is expected after the Let variables");
                break;
            }
        }
        else
        {
            binding(*node);
        }
        if (current().kind != Tok::Separator)
            fail(current().kind == Tok::RParen ? kTooFewParameters : current().kind == Tok::End ? kUnexpectedEnd
                                                                                                   : kOperatorExpected,
                 "\";\" and the result are expected after the Let variables");
        advance();
        adopt(*node, expression(0));
        expect(Tok::RParen, current().kind == Tok::Separator ? kTooManyParameters : kUnbalancedParenthesis,
               "\")\" is expected to close Let");
        scopes_.resize(scopeMark);
        return node;
    }

    // The "[n]" right after a variable's name: which repetition it names. Null when there is none.
    NodePtr repetitionNumber()
    {
        if (current().kind != Tok::LBracket)
            return nullptr;
        advance();
        NodePtr repetition = expression(0);
        expect(Tok::RBracket, kOperatorExpected, "\"]\" is expected after the repetition number");
        return repetition;
    }

    // "[ a ; b ]", the pairs of Substitute.
    NodePtr list()
    {
        NodePtr node = makeNode(NodeKind::List, current().position);
        advance(); // [
        arguments(*node, Tok::RBracket);
        return node;
    }

    // One binding or "[ bindings ]", as Let and While take them.
    void bindings(Node &node, std::vector<LetBinding> &into, bool reuse)
    {
        if (current().kind != Tok::LBracket)
        {
            binding(node, into, reuse);
            return;
        }
        advance();
        while (true)
        {
            binding(node, into, reuse);
            if (current().kind == Tok::Separator)
            {
                advance();
                continue;
            }
            expect(Tok::RBracket, kOperatorExpected, "\"]\" is expected after the variables");
            return;
        }
    }

    void separator(const char *message)
    {
        if (current().kind != Tok::Separator)
            fail(current().kind == Tok::RParen ? kTooFewParameters : current().kind == Tok::End ? kUnexpectedEnd
                                                                                                   : kOperatorExpected,
                 message);
        advance();
    }

    // While ( [ initialVariables ] ; condition ; [ logic ] ; result ). The variables of the logic are those of
    // the initial part when their names match, so that "i = i + 1" changes the i the condition reads.
    NodePtr whileLoop()
    {
        NodePtr node = makeNode(NodeKind::While, current().position);
        node->text = current().text;
        advance(); // While
        advance(); // (
        std::size_t scopeMark = scopes_.size();
        whileScope_.push_back(scopeMark);
        bindings(*node, node->bindings, true);
        separator("\";\" and the condition are expected after the initial variables");
        adopt(*node, expression(0));
        separator("\";\" and the logic are expected after the condition");
        bindings(*node, node->loopBindings, true);
        separator("\";\" and the result are expected after the logic");
        adopt(*node, expression(0));
        expect(Tok::RParen, current().kind == Tok::Separator ? kTooManyParameters : kUnbalancedParenthesis,
               "\")\" is expected to close While");
        whileScope_.pop_back();
        scopes_.resize(scopeMark);
        return node;
    }

    void binding(Node &let) { binding(let, let.bindings, false); }

    void binding(Node &let, std::vector<LetBinding> &into, bool reuse)
    {
        const Token &token = current();
        if (token.kind != Tok::Name && token.kind != Tok::Variable)
            fail(kNameMissing, "a variable name is expected here");
        if (token.kind == Tok::Variable && token.text.find_first_not_of(u'$') == std::u16string::npos)
            fail(kNameMissing, "a variable name is missing after $");
        LetBinding binding;
        binding.isVariable = token.kind == Tok::Variable;
        binding.text = token.text;
        binding.key = foldName(token.text);
        advance();
        if (binding.isVariable)
            binding.repetition = repetitionNumber();
        expect(Tok::Equal, kOperatorExpected, "\"=\" is expected after a Let variable");
        binding.value = expression(0);
        unsigned depth = binding.value->depth;
        if (binding.repetition && binding.repetition->depth > depth)
            depth = binding.repetition->depth;
        if (depth + 1 > let.depth)
            let.depth = depth + 1;
        if (let.depth > kMaxNestingDepth)
            fail(kCalcGeneric, "calculation is nested too deeply", let.position);
        const Scope *existing = reuse ? findLocal(binding.key) : nullptr;
        if (existing && static_cast<std::size_t>(existing - scopes_.data()) < whileScope_.back())
            existing = nullptr; // a name of an enclosing Let: the While gets its own
        if (!binding.isVariable && existing)
            binding.slot = existing->slot;
        else if (!binding.isVariable)
        {
            binding.slot = static_cast<unsigned>(scopes_.size());
            scopes_.push_back({binding.key, binding.slot});
            if (scopes_.size() > maxSlots_)
                maxSlots_ = static_cast<unsigned>(scopes_.size());
        }
        into.push_back(std::move(binding));
    }
};
} // namespace

bool parse(const std::u16string &text, Program &program, Failure &failure)
{
    std::vector<Token> tokens;
    if (!tokenize(text, tokens, failure))
        return false;
    try
    {
        Parser parser(std::move(tokens), failure);
        parser.parseProgram(program);
        return true;
    }
    catch (const ParseFailed &)
    {
        return false;
    }
}
} // namespace emu::calc
