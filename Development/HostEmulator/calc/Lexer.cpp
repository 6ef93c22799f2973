#include "calc/Lexer.h"

namespace emu::calc
{
namespace
{
constexpr char16_t kPilcrow = 0x00B6;
constexpr char16_t kNotEqualSign = 0x2260;
constexpr char16_t kLessEqualSign = 0x2264;
constexpr char16_t kGreaterEqualSign = 0x2265;

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x00A0 || c == 0x2028 || c == 0x2029 ||
           c == 0x3000;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Letters, digits, underscores, dots and any character outside ASCII that is not an operator of the language.
bool isNameChar(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || isDigit(c) || c == u'_' || c == u'.')
        return true;
    return c >= 0x80 && c != kPilcrow && c != kNotEqualSign && c != kLessEqualSign && c != kGreaterEqualSign &&
           !isSpace(c);
}

bool isNameStart(char16_t c) { return isNameChar(c) && !isDigit(c) && c != u'.'; }

char16_t foldChar(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 32);
    // Latin-1 and Latin Extended-A capitals, enough for names people type.
    if ((c >= 0x00C0 && c <= 0x00DE && c != 0x00D7))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x0100 && c <= 0x017F && (c % 2) == 0 && c != 0x0130)
        return static_cast<char16_t>(c + 1);
    return c;
}

Tok keyword(const std::u16string &folded)
{
    if (folded == u"and")
        return Tok::And;
    if (folded == u"or")
        return Tok::Or;
    if (folded == u"xor")
        return Tok::Xor;
    if (folded == u"not")
        return Tok::Not;
    return Tok::Name;
}

// Reads a quoted text starting after the opening quotation mark. Inside quotes ¶ is a carriage return, and a
// backslash escapes a quotation mark, a backslash or a pilcrow; before any other character it stays as it is.
bool readText(const std::u16string &s, std::size_t &i, std::u16string &out)
{
    while (i < s.size())
    {
        char16_t c = s[i++];
        if (c == u'"')
            return true;
        if (c == u'\\' && i < s.size() && (s[i] == u'"' || s[i] == u'\\' || s[i] == kPilcrow))
            out += s[i++];
        else if (c == kPilcrow)
            out += u'\r';
        else
            out += c;
    }
    return false;
}

Tok operatorAt(const std::u16string &s, std::size_t &i)
{
    char16_t c = s[i++];
    char16_t next = i < s.size() ? s[i] : 0;
    switch (c)
    {
    case u'(': return Tok::LParen;
    case u')': return Tok::RParen;
    case u'[': return Tok::LBracket;
    case u']': return Tok::RBracket;
    case u';': return Tok::Separator;
    case u',': return Tok::Separator;
    case u'&': return Tok::Ampersand;
    case u'+': return Tok::Plus;
    case u'-': return Tok::Minus;
    case u'*': return Tok::Star;
    case u'/': return Tok::Slash;
    case u'^': return Tok::Caret;
    case u'=': return Tok::Equal;
    case kPilcrow: return Tok::Pilcrow;
    case kNotEqualSign: return Tok::NotEqual;
    case kLessEqualSign: return Tok::LessEqual;
    case kGreaterEqualSign: return Tok::GreaterEqual;
    case u'<':
        if (next == u'>')
            return ++i, Tok::NotEqual;
        if (next == u'=')
            return ++i, Tok::LessEqual;
        return Tok::Less;
    case u'>':
        if (next == u'=')
            return ++i, Tok::GreaterEqual;
        return Tok::Greater;
    default: return Tok::Invalid;
    }
}
} // namespace

std::u16string foldName(const std::u16string &name)
{
    std::u16string folded(name);
    for (char16_t &c : folded)
        c = foldChar(c);
    return folded;
}

bool tokenize(const std::u16string &s, std::vector<Token> &tokens, Failure &failure)
{
    tokens.clear();
    std::size_t i = 0;
    while (true)
    {
        while (i < s.size() && isSpace(s[i]))
            ++i;
        if (i + 1 < s.size() && s[i] == u'/' && s[i + 1] == u'/')
        {
            while (i < s.size() && s[i] != u'\r' && s[i] != u'\n')
                ++i;
            continue;
        }
        if (i + 1 < s.size() && s[i] == u'/' && s[i + 1] == u'*')
        {
            std::size_t close = s.find(u"*/", i + 2);
            if (close == std::u16string::npos)
            {
                failure = {kCommentNotTerminated, i, "comment is not terminated with */"};
                return false;
            }
            i = close + 2;
            continue;
        }
        Token token;
        token.position = i;
        if (i >= s.size())
        {
            tokens.push_back(std::move(token));
            return true;
        }
        char16_t c = s[i];
        if (c == u'"')
        {
            ++i;
            token.kind = Tok::Text;
            if (!readText(s, i, token.text))
            {
                failure = {kTextNotTerminated, token.position, "text constant must end with a quotation mark"};
                return false;
            }
        }
        else if (isDigit(c) || (c == u'.' && i + 1 < s.size() && isDigit(s[i + 1])))
        {
            token.kind = Tok::Number;
            bool dot = false;
            for (; i < s.size() && (isDigit(s[i]) || (s[i] == u'.' && !dot)); ++i)
                dot = dot || s[i] == u'.';
            token.text = s.substr(token.position, i - token.position);
        }
        else if (c == u'$')
        {
            token.kind = Tok::Variable;
            ++i;
            if (i < s.size() && s[i] == u'$')
                ++i;
            while (i < s.size() && isNameChar(s[i]))
                ++i;
            token.text = s.substr(token.position, i - token.position);
        }
        else if (isNameStart(c))
        {
            while (i < s.size() && isNameChar(s[i]))
                ++i;
            token.text = s.substr(token.position, i - token.position);
            token.kind = keyword(foldName(token.text));
        }
        else
        {
            token.kind = operatorAt(s, i);
            token.text = s.substr(token.position, i - token.position);
        }
        tokens.push_back(std::move(token));
    }
}
} // namespace emu::calc
