// JSONParse and JSONParsedState. FileMaker keeps a parsed form of the JSON beside the text; the emulator keeps
// only what the parse found (the value's JSON state: -1 not valid, 1 to 6 the root's type), and the other JSON
// functions read the text again. A text that is not valid JSON becomes the parse's error message, which says
// where reading stopped and what was missing there, line and column counted from 1.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <string>

namespace emu::calc
{
namespace
{
// FileMaker's JSON types, as JSONSetElement numbers them.
enum : int8_t { kStateInvalid = -1, kStateString = 1, kStateNumber = 2, kStateObject = 3, kStateArray = 4,
                kStateBoolean = 5, kStateNull = 6 };

// Deepest nesting the checker follows; it recurses once per level and the text may come from anywhere.
constexpr int kMaxDepth = 512;

struct cJsonSyntaxError
{
    std::size_t at;   // unit offset where reading stopped
    const char *what;
};

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A strict reader of RFC 8259 JSON that only checks the text and says where it first goes wrong.
class cJsonChecker
{
public:
    explicit cJsonChecker(const std::u16string &chars) : chars_(chars) {}

    // The type of the root element; throws cJsonSyntaxError. The root must be an object or an array.
    int8_t checkDocument()
    {
        skipBlanks();
        if (at_ >= chars_.size() || (chars_[at_] != u'{' && chars_[at_] != u'['))
        {
            if (at_ >= chars_.size())
                fail("Syntax error: value, object or array expected.");
            throw cJsonSyntaxError{0, "A valid JSON document must be either an array or an object value."};
        }
        const int8_t type = value(0);
        skipBlanks();
        if (at_ < chars_.size())
            fail("Extra non-whitespace after JSON value.");
        return type;
    }

private:
    [[noreturn]] void fail(const char *what) const { throw cJsonSyntaxError{at_, what}; }

    void skipBlanks()
    {
        while (at_ < chars_.size() &&
               (chars_[at_] == u' ' || chars_[at_] == u'\t' || chars_[at_] == u'\r' || chars_[at_] == u'\n'))
            ++at_;
    }

    bool take(char16_t c)
    {
        skipBlanks();
        if (at_ < chars_.size() && chars_[at_] == c)
        {
            ++at_;
            return true;
        }
        return false;
    }

    bool word(const char16_t *literal)
    {
        std::size_t i = 0;
        while (literal[i] && at_ + i < chars_.size() && chars_[at_ + i] == literal[i])
            ++i;
        if (literal[i])
            return false;
        at_ += i;
        return true;
    }

    int8_t value(int depth)
    {
        if (depth > kMaxDepth)
            fail("The document is nested too deeply.");
        skipBlanks();
        const char16_t c = at_ < chars_.size() ? chars_[at_] : u'\0';
        if (c == u'{')
            return object(depth);
        if (c == u'[')
            return array(depth);
        if (c == u'"')
            return string(), kStateString;
        if (c == u'-' || (c >= u'0' && c <= u'9'))
            return number(), kStateNumber;
        if (word(u"true") || word(u"false"))
            return kStateBoolean;
        if (word(u"null"))
            return kStateNull;
        fail("Syntax error: value, object or array expected.");
    }

    int8_t object(int depth)
    {
        ++at_;
        if (take(u'}'))
            return kStateObject;
        for (;;)
        {
            skipBlanks();
            if (at_ >= chars_.size() || chars_[at_] != u'"')
                fail("Missing '}' or object member name");
            string();
            if (!take(u':'))
                fail("Missing ':' after object member name");
            value(depth + 1);
            if (take(u'}'))
                return kStateObject;
            if (!take(u','))
                fail("Missing ',' or '}' in object declaration");
        }
    }

    int8_t array(int depth)
    {
        ++at_;
        if (take(u']'))
            return kStateArray;
        for (;;)
        {
            value(depth + 1);
            if (take(u']'))
                return kStateArray;
            if (!take(u','))
                fail("Missing ',' or ']' in array declaration");
        }
    }

    void string()
    {
        const std::size_t start = at_++;
        while (at_ < chars_.size() && chars_[at_] != u'"')
        {
            const char16_t c = chars_[at_++];
            if (c < 0x20)
                throw cJsonSyntaxError{start, "Control character in string"};
            if (c != u'\\')
                continue;
            const char16_t escaped = at_ < chars_.size() ? chars_[at_++] : u'\0';
            if (escaped == u'u')
            {
                for (int i = 0; i < 4; ++i, ++at_)
                    if (at_ >= chars_.size() || !isHexDigit(chars_[at_]))
                        throw cJsonSyntaxError{start, "Bad unicode escape sequence in string: hexadecimal digit expected."};
            }
            else if (std::u16string_view(u"\"\\/bfnrt").find(escaped) == std::u16string_view::npos)
                throw cJsonSyntaxError{start, "Bad escape sequence in string"};
        }
        if (at_ >= chars_.size())
            throw cJsonSyntaxError{start, "Missing '\"' at the end of the string"};
        ++at_;
    }

    void number()
    {
        const std::size_t start = at_;
        auto digits = [this] {
            const std::size_t from = at_;
            while (at_ < chars_.size() && chars_[at_] >= u'0' && chars_[at_] <= u'9')
                ++at_;
            return at_ - from;
        };
        if (chars_[at_] == u'-')
            ++at_;
        const std::size_t first = at_;
        const std::size_t whole = digits();
        bool valid = whole > 0 && !(whole > 1 && chars_[first] == u'0');
        if (valid && at_ < chars_.size() && chars_[at_] == u'.')
        {
            ++at_;
            valid = digits() > 0;
        }
        if (valid && at_ < chars_.size() && (chars_[at_] == u'e' || chars_[at_] == u'E'))
        {
            ++at_;
            if (at_ < chars_.size() && (chars_[at_] == u'+' || chars_[at_] == u'-'))
                ++at_;
            valid = digits() > 0;
        }
        if (!valid)
            throw cJsonSyntaxError{start, "Syntax error: value, object or array expected."};
    }

    const std::u16string &chars_;
    std::size_t at_ = 0;
};

// "* Line 1, Column 18" and the reason on a line of its own, as FileMaker words a JSON error.
std::u16string errorMessage(const std::u16string &chars, const cJsonSyntaxError &error)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < error.at && i < chars.size(); ++i)
    {
        const bool crlf = chars[i] == u'\r' && i + 1 < chars.size() && chars[i + 1] == u'\n';
        if ((chars[i] == u'\r' && !crlf) || chars[i] == u'\n')
        {
            ++line;
            column = 1;
        }
        else if (!crlf && !isLowSurrogate(chars[i]))
            ++column;
    }
    const std::string text = "? * Line " + std::to_string(line) + ", Column " + std::to_string(column) + "\n  " +
                             error.what;
    return std::u16string(text.begin(), text.end());
}

// JSONParse ( json ): the text unchanged when it is a JSON object or array, else the error message; either way
// the result carries what the parse found.
short jsonParse(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source;
    if (short code = argument(evaluator, call, 0, source))
        return code;
    const Text &text = source.AsText();
    int8_t state = kStateInvalid;
    std::u16string message;
    try
    {
        state = cJsonChecker(text.Chars()).checkDocument();
    }
    catch (const cJsonSyntaxError &error)
    {
        message = errorMessage(text.Chars(), error);
    }
    if (state == kStateInvalid)
        result.TakeText(std::move(message));
    else
        result.SetText(text);
    result.SetJsonState(state);
    return kCalcOK;
}

// JSONParsedState ( json ): 0 for a value that was never parsed, -1 for one that was parsed and is not valid,
// else the JSON type of its root element.
short jsonParsedState(Evaluator &evaluator, const Node &call, Value &result)
{
    Value scratch;
    const Value *source = nullptr;
    if (short code = argumentView(evaluator, call, 0, scratch, source))
        return code;
    setNumber(result, Number::FromInt(source->JsonState()));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"JSONParse", 1, 1, &jsonParse},
    {"JSONParsedState", 1, 1, &jsonParsedState},
});
} // namespace
} // namespace emu::calc
