#include "regex/ECMAScriptTranslator.h"

#include "regex/cRegExpError.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace vtl {

namespace {

// Highest character a class has to cover: the engine reads 16-bit units.
constexpr uint32_t kMaxChar = 0xFFFF;
// Highest code point a group name's \u{...} escape may give.
constexpr uint32_t kMaxCodePoint = 0x10FFFF;
// PCRE2's largest repeat count.
constexpr uint32_t kMaxRepeat = 65535;
// PCRE2's numbered callouts go up to 255; repeats beyond that keep PCRE2's treatment of empty repetitions.
constexpr uint32_t kMaxEmptyIterationChecks = 255;
// Repeats of at most this many repetitions need no budget callout: their work per step is small.
constexpr uint64_t kShortRepeat = 16;
// Deeper nesting is refused before it could exhaust our own stack (PCRE2
// refuses more than 250 anyway).
constexpr unsigned kMaxNesting = 250;

using tRanges = std::vector<std::pair<uint32_t, uint32_t>>;

tRanges normalize(tRanges ranges)
{
    std::sort(ranges.begin(), ranges.end());
    tRanges merged;
    for (const auto& r : ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    return merged;
}

// Complement within [0, kMaxChar] of normalized ranges.
tRanges complement(const tRanges& ranges)
{
    tRanges result;
    uint32_t next = 0;
    for (const auto& r : ranges) {
        if (r.first > next)
            result.emplace_back(next, r.first - 1);
        next = r.second + 1;
    }
    if (next <= kMaxChar)
        result.emplace_back(next, kMaxChar);
    return result;
}

const tRanges kDigits{{'0', '9'}};
const tRanges kWordChars{{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}};
// ECMAScript's WhiteSpace and LineTerminator productions.
const tRanges kSpaces{{0x09, 0x0D}, {0x20, 0x20},     {0xA0, 0xA0},     {0x1680, 0x1680}, {0x2000, 0x200A},
                      {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000}, {0xFEFF, 0xFEFF}};
const tRanges kLineTerminators{{0x0A, 0x0A}, {0x0D, 0x0D}, {0x2028, 0x2029}};

bool isDigit(uint32_t c) { return c >= '0' && c <= '9'; }
bool isOctal(uint32_t c) { return c >= '0' && c <= '7'; }
bool isAsciiLetter(uint32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isClassEscapeLetter(uint32_t c) { return c == 'd' || c == 'D' || c == 'w' || c == 'W' || c == 's' || c == 'S'; }

int hexValue(uint32_t c)
{
    if (isDigit(c)) return int(c - '0');
    if (c >= 'a' && c <= 'f') return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
    return -1;
}

// Reads exactly `count` hex digits at pos; leaves pos alone when they are not there.
bool readHex(std::u16string_view p, size_t& pos, size_t count, uint32_t& value)
{
    if (pos + count > p.size()) return false;
    uint32_t v = 0;
    for (size_t k = 0; k < count; ++k) {
        const int h = hexValue(uint32_t(p[pos + k]));
        if (h < 0) return false;
        v = v * 16 + uint32_t(h);
    }
    value = v;
    pos += count;
    return true;
}

// The POSIX class names the standard library accepts inside brackets, with their ASCII meaning: the one
// extension to ECMAScript's syntax, for calculations written for that grammar.
struct sPosixClass {
    const char* name;
    tRanges set;
};

const sPosixClass kPosixClasses[] = {
    {"alnum", {{'0', '9'}, {'A', 'Z'}, {'a', 'z'}}},
    {"alpha", {{'A', 'Z'}, {'a', 'z'}}},
    {"blank", {{'\t', '\t'}, {' ', ' '}}},
    {"cntrl", {{0x00, 0x1F}, {0x7F, 0x7F}}},
    {"digit", {{'0', '9'}}},
    {"graph", {{0x21, 0x7E}}},
    {"lower", {{'a', 'z'}}},
    {"print", {{0x20, 0x7E}}},
    {"punct", {{0x21, 0x2F}, {0x3A, 0x40}, {0x5B, 0x60}, {0x7B, 0x7E}}},
    {"space", {{0x09, 0x0D}, {' ', ' '}}},
    {"upper", {{'A', 'Z'}}},
    {"xdigit", {{'0', '9'}, {'A', 'F'}, {'a', 'f'}}},
};

// At "[:" inside a class (pos at the '['): the set of a known name followed by ":]", with pos moved past it; null
// otherwise, and the characters keep their ECMAScript meaning.
const tRanges* readPosixClass(std::u16string_view p, size_t& pos)
{
    if (p.substr(pos, 2) != u"[:") return nullptr;
    const std::u16string_view rest = p.substr(pos + 2);
    for (const sPosixClass& c : kPosixClasses) {
        const size_t length = std::char_traits<char>::length(c.name);
        if (rest.size() >= length + 2 && std::equal(c.name, c.name + length, rest.begin()) &&
            rest.substr(length, 2) == u":]") {
            pos += length + 4;
            return &c.set;
        }
    }
    return nullptr;
}

tRanges classEscapeSet(uint32_t letter)
{
    switch (letter) {
        case 'd': return kDigits;
        case 'D': return complement(kDigits);
        case 'w': return kWordChars;
        case 'W': return complement(kWordChars);
        case 's': return kSpaces;
        default: return complement(kSpaces);
    }
}

// Group names follow ECMAScript identifiers; characters beyond ASCII are
// accepted without checking their Unicode identifier properties.
bool isNameStart(uint32_t c) { return isAsciiLetter(c) || c == '$' || c == '_' || c >= 0x80; }
bool isNamePart(uint32_t c) { return isNameStart(c) || isDigit(c); }

// Reads `name>` from pos (just after '<'); \uXXXX and \u{...} escapes are decoded.
bool readGroupName(std::u16string_view p, size_t& pos, std::wstring& name)
{
    name.clear();
    while (pos < p.size()) {
        uint32_t c = uint32_t(p[pos]);
        if (c == '>') {
            ++pos;
            return !name.empty();
        }
        if (c == '\\') {
            if (pos + 1 >= p.size() || p[pos + 1] != 'u') return false;
            pos += 2;
            if (pos < p.size() && p[pos] == '{') {
                size_t end = ++pos;
                uint32_t v = 0;
                while (end < p.size() && hexValue(uint32_t(p[end])) >= 0 && v <= kMaxCodePoint)
                    v = v * 16 + uint32_t(hexValue(uint32_t(p[end++])));
                if (end == pos || end >= p.size() || p[end] != '}' || v > kMaxCodePoint) return false;
                pos = end + 1;
                c = v;
            } else if (!readHex(p, pos, 4, c)) {
                return false;
            }
        } else {
            ++pos;
        }
        if (!(name.empty() ? isNameStart(c) : isNamePart(c))) return false;
        name.push_back(wchar_t(c));
    }
    return false;
}

class cTranslator {
public:
    cTranslator(std::u16string_view pattern, bool namedGroups) : p_(pattern), named_(namedGroups) { scanGroups_(); }

    sTranslatedPattern run()
    {
        parseDisjunction_();
        if (!atEnd_()) fail_("Unmatched ')'");
        sTranslatedPattern result;
        result.pcrePattern = out_;
        result.groupCount = groupCount_;
        result.namedGroups = named_;
        result.emptyIterationChecks = checks_;
        return result;
    }

private:
    enum class eTerm { kAssertion, kLookbehind, kLookahead, kAtom, kBackReference };

    struct sQuantifier {
        uint64_t min = 0;
        uint64_t max = 0;
        bool bounded = true;
    };

    struct sClassAtom {
        tRanges set;  // for \d \w \s, their negations and the POSIX classes
        uint32_t ch = 0;
        bool isSet = false;
    };

    const std::u16string_view p_;
    const bool named_;
    size_t i_ = 0;
    std::string out_;
    uint32_t groupCount_ = 0;
    uint32_t groupsOpened_ = 0;
    uint32_t checks_ = 0;
    bool hasNamedGroups_ = false;
    std::map<std::wstring, uint32_t> groupNumbers_;
    std::set<std::wstring> declaredNames_;
    unsigned depth_ = 0;
    // Where a run of one character may be scanned again within one search start (see parseQuantifier_).
    std::set<size_t> repeatedGroups_;  // positions of the '(' of groups with a quantifier of more than one
    unsigned inRepeatedGroups_ = 0;
    unsigned inLookarounds_ = 0;
    bool choiceBefore_ = false;  // a repeat or alternation earlier in the pattern could be backtracked into

    [[noreturn]] void fail_(const char* reason) const
    {
        throw cRegExpError("Invalid regular expression: /" + PatternForMessage(p_) + "/: " + reason);
    }

    bool atEnd_() const { return i_ >= p_.size(); }
    uint32_t peek_(size_t ahead = 0) const { return i_ + ahead < p_.size() ? uint32_t(p_[i_ + ahead]) : 0; }
    bool has_(size_t ahead) const { return i_ + ahead < p_.size(); }

    // Back-references may point forward and \k is a plain letter unless the
    // pattern has a named group, so groups are counted before parsing.
    void scanGroups_()
    {
        bool inClass = false;
        std::vector<size_t> open;
        for (size_t k = 0; k < p_.size(); ++k) {
            const char16_t c = p_[k];
            if (c == '\\') {
                ++k;
            } else if (inClass) {
                size_t end = k;
                if (readPosixClass(p_, end))
                    k = end - 1;  // its "]" does not close the class
                else
                    inClass = c != ']';
            } else if (c == '[') {
                inClass = true;
            } else if (c == ')' && !open.empty()) {
                const char16_t next = k + 1 < p_.size() ? p_[k + 1] : 0;
                if (next == '*' || next == '+' || next == '{') repeatedGroups_.insert(open.back());
                open.pop_back();
            } else if (c == '(') {
                open.push_back(k);
                if (k + 1 >= p_.size() || p_[k + 1] != '?') {
                    ++groupCount_;
                } else if (k + 2 < p_.size() && p_[k + 2] == '<' &&
                           !(k + 3 < p_.size() && (p_[k + 3] == '=' || p_[k + 3] == '!'))) {
                    ++groupCount_;
                    hasNamedGroups_ = true;
                    size_t pos = k + 3;
                    std::wstring name;
                    if (readGroupName(p_, pos, name)) groupNumbers_.emplace(name, groupCount_);
                }
            }
        }
    }

    // Each parse returns whether what it read can match the empty text; over-estimating only costs speed.
    bool parseDisjunction_()
    {
        bool nullable = parseAlternative_();
        while (!atEnd_() && peek_() == '|') {
            ++i_;
            out_ += '|';
            // A later alternative of the whole pattern starts afresh; one inside a group is a choice.
            choiceBefore_ = depth_ > 0;
            nullable = parseAlternative_() || nullable;
        }
        return nullable;
    }

    bool parseAlternative_()
    {
        bool nullable = true;
        while (!atEnd_() && peek_() != '|' && peek_() != ')') nullable = parseTerm_() && nullable;
        return nullable;
    }

    bool parseTerm_()
    {
        const size_t start = out_.size();
        const uint32_t groupsBefore = groupsOpened_ + checks_;
        eTerm kind = eTerm::kAtom;
        bool nullable = false;
        bool oneCharacter = true;  // a character or a set of them, not a group
        const uint32_t c = peek_();
        switch (c) {
            case '^':
                ++i_;
                out_ += '^';  // without multiline mode: the subject's start only, never the search start
                kind = eTerm::kAssertion;
                break;
            case '$':
                ++i_;
                out_ += "\\z";
                kind = eTerm::kAssertion;
                break;
            case '(':
                kind = parseGroup_(nullable);
                oneCharacter = false;
                break;
            case '[':
                ++i_;
                parseClass_();
                break;
            case '.':
                ++i_;
                emitSet_(complement(kLineTerminators));
                break;
            case '*':
            case '+':
            case '?':
                fail_("Nothing to repeat");
            case '{': {
                sQuantifier q;
                if (parseBraced_(q)) fail_("Nothing to repeat");
                ++i_;
                emitChar_('{');  // not a quantifier: a literal brace
                break;
            }
            case '\\':
                if (peek_(1) == 'b' || peek_(1) == 'B') {
                    out_ += peek_(1) == 'b' ? "\\b" : "\\B";  // PCRE2's word characters without UCP are ECMAScript's
                    i_ += 2;
                    kind = eTerm::kAssertion;
                } else {
                    ++i_;
                    if (parseAtomEscape_()) {
                        kind = eTerm::kBackReference;
                        oneCharacter = false;
                    }
                }
                break;
            default:
                ++i_;
                emitChar_(c);
        }
        if (kind != eTerm::kAtom) nullable = true;
        return parseQuantifier_(start, kind, nullable, groupsOpened_ + checks_ == groupsBefore,
                                oneCharacter && kind == eTerm::kAtom);
    }

    // At '{': reads {n}, {n,} or {n,m}; leaves i_ alone when the text is not one.
    bool parseBraced_(sQuantifier& q)
    {
        size_t pos = i_ + 1;
        auto readNumber = [&](uint64_t& value) {
            const size_t first = pos;
            value = 0;
            while (pos < p_.size() && isDigit(uint32_t(p_[pos]))) {
                value = std::min<uint64_t>(value * 10 + uint64_t(p_[pos] - '0'), uint64_t(1) << 40);
                ++pos;
            }
            return pos > first;
        };
        if (!readNumber(q.min)) return false;
        q.max = q.min;
        q.bounded = true;
        if (pos < p_.size() && p_[pos] == ',') {
            ++pos;
            q.bounded = readNumber(q.max);
        }
        if (pos >= p_.size() || p_[pos] != '}') return false;
        i_ = pos + 1;
        return true;
    }

    // Returns whether the term can match the empty text.
    static std::string quantifierText(uint64_t min, uint64_t max, bool bounded)
    {
        if (min == 0 && !bounded) return "*";
        if (min == 1 && !bounded) return "+";
        if (min == 0 && bounded && max == 1) return "?";
        std::string text = "{" + std::to_string(min);
        if (!bounded)
            text += ",";
        else if (max != min)
            text += "," + std::to_string(max);
        return text + "}";
    }

    // Returns whether the term can match the empty text.
    bool parseQuantifier_(size_t atomStart, eTerm kind, bool atomNullable, bool atomCapturesNothing,
                          bool oneCharacter)
    {
        if (atEnd_()) return atomNullable;
        sQuantifier q;
        const uint32_t c = peek_();
        if (c == '*' || c == '+' || c == '?') {
            ++i_;
            q.min = c == '+' ? 1 : 0;
            q.max = 1;
            q.bounded = c == '?';
        } else if (c == '{') {
            if (!parseBraced_(q)) return atomNullable;
            if (q.bounded && q.max < q.min) fail_("numbers out of order in {} quantifier");
            if (q.min > kMaxRepeat || (q.bounded && q.max > kMaxRepeat))
                fail_("Quantifier bound above 65535, the largest this engine supports");
        } else {
            return atomNullable;
        }
        if (kind == eTerm::kAssertion) fail_("Nothing to repeat");
        if (kind == eTerm::kLookbehind) fail_("Invalid quantifier");
        const std::string lazy = !atEnd_() && peek_() == '?' ? "?" : "";
        i_ += lazy.size();
        const bool nullable = atomNullable || q.min == 0;
        const bool optionalIterations = !q.bounded || q.max > q.min;
        // A greedy run of one character is scanned in one backtracking step, which the match limit counts once
        // however long the run. Scanned again for every step backtracked before it, or in every repetition of a
        // group, it would be quadratic work that no limit sees: a budget callout after it lets the time budget
        // see the run's length. A run scanned at most once per search start needs none (the budget is checked
        // between windows of starts), nor does a lazy run (one step per character) or one that ends the match.
        const bool longRepeat = lazy.empty() && (!q.bounded || q.max > kShortRepeat);
        const bool scannedAgain = choiceBefore_ || inRepeatedGroups_ > 0;
        const bool endsPattern = inLookarounds_ == 0 && q.min <= kShortRepeat &&
                                 ((depth_ == 0 && !atEnd_() && peek_() == '|') ||
                                  std::all_of(p_.begin() + std::ptrdiff_t(i_), p_.end(), [](char16_t c) { return c == ')'; }));
        if (optionalIterations) choiceBefore_ = true;
        if (atomNullable && optionalIterations && kind != eTerm::kBackReference && checks_ < kMaxEmptyIterationChecks) {
            // ECMAScript refuses a repetition beyond the required ones that matches the empty text, and tries
            // the body's other ways instead; PCRE2 accepts it and stops repeating. A callout at the end of each
            // repetition refuses it; the hidden groups tell where the repetition and the whole repeat started.
            const std::string check = std::to_string(++checks_);
            const std::string body = out_.substr(atomStart);
            out_.resize(atomStart);
            if (q.min > 0 && atomCapturesNothing) {
                // Without groups the required repetitions can stand apart, so that an empty one is followed
                // by a non-empty one where the body allows, as in ECMAScript: X{n,m} is X{n}X{0,m-n}.
                out_ += "(?:" + body + ")" + quantifierText(q.min, q.min, true);
                q.max -= q.min;
                q.min = 0;
            }
            if (q.min > 0) out_ += "(?<_s" + check + ">)";
            out_ += "(?:(?<_i" + check + ">)" + body + "(?C" + check + "))";
        } else if (kind == eTerm::kLookahead || kind == eTerm::kBackReference) {
            // A repeated back-reference to a group that did not take part must match the empty text; PCRE2's
            // compiled matcher fails it unless it is grouped.
            out_.insert(atomStart, "(?:");
            out_ += ')';
        }
        out_ += quantifierText(q.min, q.max, q.bounded) + lazy;
        if (oneCharacter && longRepeat && scannedAgain && !endsPattern) out_ += "(?C)";
        return nullable;
    }

    void openCapture_()
    {
        ++groupsOpened_;
        out_ += named_ ? "(?<_" + std::to_string(groupsOpened_) + ">" : "(";
    }

    eTerm parseGroup_(bool& nullable)
    {
        if (++depth_ > kMaxNesting) fail_("Groups nested too deeply");
        const bool repeated = repeatedGroups_.count(i_) > 0;
        const bool lookaround = peek_(1) == '?' && (peek_(2) == '=' || peek_(2) == '!' ||
                                                    (peek_(2) == '<' && (peek_(3) == '=' || peek_(3) == '!')));
        inRepeatedGroups_ += repeated;
        inLookarounds_ += lookaround;
        eTerm kind = eTerm::kAtom;
        if (peek_(1) != '?') {
            i_ += 1;
            openCapture_();
        } else if (peek_(2) == ':') {
            i_ += 3;
            out_ += "(?:";
        } else if (peek_(2) == '=' || peek_(2) == '!') {
            out_ += peek_(2) == '=' ? "(?=" : "(?!";
            i_ += 3;
            kind = eTerm::kLookahead;
        } else if (peek_(2) == '<' && (peek_(3) == '=' || peek_(3) == '!')) {
            out_ += peek_(3) == '=' ? "(?<=" : "(?<!";
            i_ += 4;
            kind = eTerm::kLookbehind;
        } else if (peek_(2) == '<') {
            i_ += 3;
            std::wstring name;
            if (!readGroupName(p_, i_, name)) fail_("Invalid capture group name");
            if (!declaredNames_.insert(name).second) fail_("Duplicate capture group name");
            openCapture_();  // named groups become numbered ones; \k is resolved to the number
        } else {
            fail_("Invalid group");
        }
        nullable = parseDisjunction_();
        if (atEnd_() || peek_() != ')') fail_("Unterminated group");
        ++i_;
        out_ += ')';
        --depth_;
        inRepeatedGroups_ -= repeated;
        inLookarounds_ -= lookaround;
        return kind;
    }

    // A back-reference compares as many units as its group holds in one step: a budget callout before it, whose
    // text is the group's number, counts them.
    void emitBackReference_(uint64_t group)
    {
        out_ += "(?C'" + std::to_string(group) + "')";
        out_ += named_ ? "\\k<_" + std::to_string(group) + ">" : "\\g{" + std::to_string(group) + "}";
    }

    // After '\' outside a class; true for a back-reference.
    bool parseAtomEscape_()
    {
        if (atEnd_()) fail_("\\ at end of pattern");
        const uint32_t c = peek_();
        if (isClassEscapeLetter(c)) {
            ++i_;
            emitSet_(classEscapeSet(c));
            return false;
        }
        if (c >= '1' && c <= '9') {
            const size_t digitsStart = i_;
            uint64_t group = 0;
            while (!atEnd_() && isDigit(peek_())) {
                group = std::min<uint64_t>(group * 10 + (peek_() - '0'), uint64_t(1) << 40);
                ++i_;
            }
            if (group <= groupCount_) {
                emitBackReference_(group);
                return true;
            }
            // Not a group: a legacy octal escape, or \8 and \9 as the digit.
            i_ = digitsStart;
            if (c >= '8') {
                ++i_;
                emitChar_(c);
            } else {
                emitChar_(parseOctal_());
            }
            return false;
        }
        if (c == 'k' && hasNamedGroups_) {
            ++i_;
            if (peek_() != '<' || atEnd_()) fail_("Invalid named reference");
            ++i_;
            std::wstring name;
            if (!readGroupName(p_, i_, name)) fail_("Invalid capture group name");
            const auto found = groupNumbers_.find(name);
            if (found == groupNumbers_.end()) fail_("Invalid named capture referenced");
            emitBackReference_(found->second);
            return true;
        }
        emitChar_(parseCharacterEscape_(false));
        return false;
    }

    uint32_t parseOctal_()
    {
        uint32_t value = peek_() - '0';
        ++i_;
        if (!atEnd_() && isOctal(peek_())) {
            value = value * 8 + (peek_() - '0');
            ++i_;
            if (value < 32 && !atEnd_() && isOctal(peek_())) {
                value = value * 8 + (peek_() - '0');
                ++i_;
            }
        }
        return value;
    }

    // After '\' (not at the end); gives the character the escape stands for.
    uint32_t parseCharacterEscape_(bool inClass)
    {
        const uint32_t c = peek_();
        uint32_t value = 0;
        switch (c) {
            case 'f': ++i_; return 0x0C;
            case 'n': ++i_; return 0x0A;
            case 'r': ++i_; return 0x0D;
            case 't': ++i_; return 0x09;
            case 'v': ++i_; return 0x0B;
            case 'c': {
                const uint32_t next = peek_(1);
                if (has_(1) && (isAsciiLetter(next) || (inClass && (isDigit(next) || next == '_')))) {
                    i_ += 2;
                    return next % 32;
                }
                return '\\';  // a backslash standing for itself; the 'c' is read next as a letter
            }
            case 'x':
            case 'u': {
                // \xHH and \uHHHH; with fewer hex digits the letter stands for itself.
                size_t pos = i_ + 1;
                if (readHex(p_, pos, c == 'x' ? 2 : 4, value)) {
                    i_ = pos;
                    return value;
                }
                ++i_;
                return c;
            }
            case 'k':
                if (inClass && hasNamedGroups_) fail_("Invalid escape");
                ++i_;
                return c;
            default:
                if (isOctal(c)) return parseOctal_();
                ++i_;
                return c;  // identity escape: \a, \e, \z, \p, \8 ... are the character itself
        }
    }

    sClassAtom parseClassAtom_()
    {
        sClassAtom atom;
        if (const tRanges* posix = readPosixClass(p_, i_)) {
            atom.isSet = true;
            atom.set = *posix;
            return atom;
        }
        if (peek_() != '\\') {
            atom.ch = peek_();
            ++i_;
            return atom;
        }
        ++i_;
        if (atEnd_()) fail_("\\ at end of pattern");
        const uint32_t c = peek_();
        if (isClassEscapeLetter(c)) {
            ++i_;
            atom.isSet = true;
            atom.set = classEscapeSet(c);
        } else if (c == 'b') {
            ++i_;
            atom.ch = 0x08;
        } else {
            atom.ch = parseCharacterEscape_(true);
        }
        return atom;
    }

    static void addAtom(tRanges& set, const sClassAtom& atom)
    {
        if (atom.isSet)
            set.insert(set.end(), atom.set.begin(), atom.set.end());
        else
            set.emplace_back(std::min(atom.ch, kMaxChar), std::min(atom.ch, kMaxChar));
    }

    // After '['.
    void parseClass_()
    {
        const bool negated = peek_() == '^' && !atEnd_();
        if (negated) ++i_;
        tRanges set;
        for (;;) {
            if (atEnd_()) fail_("Unterminated character class");
            if (peek_() == ']') {
                ++i_;
                break;
            }
            const sClassAtom first = parseClassAtom_();
            if (peek_() == '-' && has_(1) && peek_(1) != ']') {
                ++i_;
                const sClassAtom last = parseClassAtom_();
                if (first.isSet || last.isSet) {
                    // A range with a class escape at either end is three plain members.
                    addAtom(set, first);
                    set.emplace_back('-', '-');
                    addAtom(set, last);
                } else {
                    if (first.ch > last.ch) fail_("Range out of order in character class");
                    set.emplace_back(std::min(first.ch, kMaxChar), std::min(last.ch, kMaxChar));
                }
            } else {
                addAtom(set, first);
            }
        }
        set = normalize(std::move(set));
        emitSet_(negated ? complement(set) : set);
    }

    static std::string hexChar(uint32_t c)
    {
        static const char* const kDigitsHex = "0123456789abcdef";
        std::string hex;
        do {
            hex.insert(hex.begin(), kDigitsHex[c % 16]);
            c /= 16;
        } while (c != 0);
        return "\\x{" + hex + "}";
    }

    void emitChar_(uint32_t c)
    {
        if (isAsciiLetter(c) || isDigit(c))
            out_ += char(c);
        else
            out_ += hexChar(c);
    }

    void emitRanges_(const tRanges& ranges)
    {
        for (const auto& r : ranges) {
            out_ += hexChar(r.first);
            if (r.second != r.first) out_ += (r.second == r.first + 1 ? "" : "-") + hexChar(r.second);
        }
    }

    // Writes a set of characters as one quantifiable item.
    void emitSet_(const tRanges& set)
    {
        if (set.empty()) {
            out_ += "(?:(?!))";  // ECMAScript's [] never matches
        } else if (set.back().second == kMaxChar) {
            const tRanges outside = complement(set);
            if (outside.empty()) {
                out_ += "(?s:.)";
            } else {
                out_ += "[^";
                emitRanges_(outside);
                out_ += ']';
            }
        } else {
            out_ += '[';
            emitRanges_(set);
            out_ += ']';
        }
    }
};

void appendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

sTranslatedPattern TranslateECMAScriptPattern(std::u16string_view pattern)
{
    sTranslatedPattern translated = cTranslator(pattern, false).run();
    // Hidden groups would shift the numbers of the pattern's own: name them all instead.
    if (translated.emptyIterationChecks > 0) translated = cTranslator(pattern, true).run();
    return translated;
}

std::string PatternForMessage(std::u16string_view pattern)
{
    // The message travels through a calculation text and the user's dialog; the start of a long pattern is enough.
    constexpr size_t kShown = 200;
    std::string out;
    for (size_t k = 0; k < pattern.size(); ++k) {
        if (k == kShown) return out + "...";
        uint32_t c = uint32_t(pattern[k]);
        if (c >= 0xD800 && c <= 0xDBFF && k + 1 < pattern.size() && pattern[k + 1] >= 0xDC00 &&
            pattern[k + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(pattern[++k]) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace vtl
