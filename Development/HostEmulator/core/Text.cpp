#include "core/Text.h"

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <locale.h>

namespace emu {
namespace {

// A UTF-8 C locale for the case mappings of the C library; the "C" locale maps ASCII only.
locale_t CaseLocale()
{
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    }();
    return loc;
}

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

bool UnitsEqual(const char16_t *a, const char16_t *b, size_t n, bool ignoreCase)
{
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i] && (!ignoreCase || ToLowerUnit(a[i]) != ToLowerUnit(b[i])))
            return false;
    return true;
}

} // namespace

char16_t ToLowerUnit(char16_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c;
    if (IsSurrogate(c))
        return c;
    wint_t r = towlower_l(c, CaseLocale());
    return r <= 0xFFFF ? static_cast<char16_t>(r) : c;
}

char16_t ToUpperUnit(char16_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c;
    if (IsSurrogate(c))
        return c;
    wint_t r = towupper_l(c, CaseLocale());
    return r <= 0xFFFF ? static_cast<char16_t>(r) : c;
}

std::u16string ToLowerCopy(std::u16string_view s)
{
    std::u16string out(s);
    for (auto &c : out)
        c = ToLowerUnit(c);
    return out;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ToLowerUnit(a[i]) != ToLowerUnit(b[i]))
            return false;
    return true;
}

void Text::ClampRange(uint32_t size, uint32_t &pos, uint32_t &len)
{
    if (pos > size)
        pos = size;
    if (len > size - pos)
        len = size - pos;
}

void Text::EnsureStyles()
{
    if (styles_.size() != chars_.size())
        styles_.resize(chars_.size());
}

void Text::Assign(std::u16string_view chars)
{
    chars_.assign(chars.data(), chars.size());
    styles_.clear();
}

void Text::Assign(std::u16string &&chars)
{
    chars_ = std::move(chars);
    styles_.clear();
}

void Text::Clear()
{
    chars_.clear();
    styles_.clear();
}

Text Text::Slice(uint32_t pos, uint32_t len) const
{
    ClampRange(Size(), pos, len);
    Text out;
    out.chars_.assign(chars_, pos, len);
    if (Styled())
        out.styles_.assign(styles_.begin() + pos, styles_.begin() + pos + len);
    return out;
}

void Text::SetText(const Text &other, uint32_t pos, uint32_t len)
{
    if (&other == this)
    {
        *this = other.Slice(pos, len);
        return;
    }
    ClampRange(other.Size(), pos, len);
    chars_.assign(other.chars_, pos, len);
    if (other.Styled())
        styles_.assign(other.styles_.begin() + pos, other.styles_.begin() + pos + len);
    else
        styles_.clear();
}

void Text::Append(const Text &other, uint32_t pos, uint32_t len)
{
    if (&other == this)
    {
        const Text copy = other.Slice(pos, len);
        Append(copy);
        return;
    }
    ClampRange(other.Size(), pos, len);
    const bool styled = Styled() || other.Styled();
    if (styled)
        EnsureStyles();
    chars_.append(other.chars_, pos, len);
    if (!styled)
        return;
    if (other.Styled())
        styles_.insert(styles_.end(), other.styles_.begin() + pos, other.styles_.begin() + pos + len);
    else
        styles_.resize(chars_.size());
}

void Text::AppendPlain(std::u16string_view chars)
{
    chars_.append(chars.data(), chars.size());
    if (Styled())
        styles_.resize(chars_.size());
}

void Text::Insert(const Text &other, uint32_t at)
{
    if (&other == this)
    {
        Text copy = other;
        Insert(copy, at);
        return;
    }
    if (at > Size())
        at = Size();
    const bool styled = Styled() || other.Styled();
    if (styled)
        EnsureStyles();
    chars_.insert(at, other.chars_);
    if (styled)
    {
        if (other.Styled())
            styles_.insert(styles_.begin() + at, other.styles_.begin(), other.styles_.end());
        else
            styles_.insert(styles_.begin() + at, other.chars_.size(), CharStyle());
    }
}

void Text::Erase(uint32_t pos, uint32_t len)
{
    ClampRange(Size(), pos, len);
    chars_.erase(pos, len);
    if (Styled())
        styles_.erase(styles_.begin() + pos, styles_.begin() + pos + len);
}

CharStyle Text::StyleAt(uint32_t pos) const
{
    if (!Styled() || pos >= styles_.size())
        return CharStyle();
    return styles_[pos];
}

void Text::SetStyle(const CharStyle &style, uint32_t pos, uint32_t len)
{
    ClampRange(Size(), pos, len);
    if (len == 0)
        return;
    EnsureStyles();
    for (uint32_t i = pos; i < pos + len; ++i)
    {
        const Align align = styles_[i].align;
        styles_[i] = style;
        styles_[i].align = align;
    }
}

void Text::RemoveStyle(const CharStyle &style)
{
    if (!Styled())
        return;
    for (auto &s : styles_)
    {
        if ((style.enabled & CharStyle::kFont) && (s.enabled & CharStyle::kFont) && s.font == style.font)
            s.enabled &= ~CharStyle::kFont;
        if ((style.enabled & CharStyle::kSize) && (s.enabled & CharStyle::kSize) && s.size == style.size)
            s.enabled &= ~CharStyle::kSize;
        if ((style.enabled & CharStyle::kColor) && (s.enabled & CharStyle::kColor) && s.color == style.color)
            s.enabled &= ~CharStyle::kColor;
        s.face &= static_cast<uint16_t>(~style.face);
    }
}

void Text::ResetStyles() { styles_.clear(); }

void Text::SetAlignment(Align align, uint32_t pos, uint32_t len)
{
    ClampRange(Size(), pos, len);
    EnsureStyles();
    if (chars_.empty())
        return;
    // Widen the range to whole paragraphs (a paragraph ends with a carriage return).
    uint32_t begin = std::min(pos, Size() - 1);
    while (begin > 0 && chars_[begin - 1] != u'\r')
        --begin;
    uint32_t end = std::max(pos + len, begin + 1);
    while (end < Size() && (end == 0 || chars_[end - 1] != u'\r'))
        ++end;
    for (uint32_t i = begin; i < end; ++i)
        styles_[i].align = align;
}

Align Text::AlignmentAt(uint32_t pos) const
{
    if (!Styled() || chars_.empty())
        return Align::Default;
    uint32_t begin = std::min(pos, Size() - 1);
    while (begin > 0 && chars_[begin - 1] != u'\r')
        --begin;
    return styles_[begin].align;
}

uint32_t Text::Find(const Text &needle, uint32_t from, bool ignoreCase) const
{
    const size_t n = needle.chars_.size();
    if (from > Size() || n > Size() - from)
        return kEnd;
    for (size_t i = from; i + n <= chars_.size(); ++i)
        if (UnitsEqual(chars_.data() + i, needle.chars_.data(), n, ignoreCase))
            return static_cast<uint32_t>(i);
    return kEnd;
}

uint32_t Text::FindPrev(const Text &needle, uint32_t from, bool ignoreCase) const
{
    const size_t n = needle.chars_.size();
    if (n > chars_.size())
        return kEnd;
    size_t i = std::min<size_t>(from, chars_.size() - n);
    for (;; --i)
    {
        if (UnitsEqual(chars_.data() + i, needle.chars_.data(), n, ignoreCase))
            return static_cast<uint32_t>(i);
        if (i == 0)
            return kEnd;
    }
}

void Text::Uppercase()
{
    for (auto &c : chars_)
        c = ToUpperUnit(c);
}

void Text::Lowercase()
{
    for (auto &c : chars_)
        c = ToLowerUnit(c);
}

} // namespace emu
