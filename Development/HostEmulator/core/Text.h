// Host text: UTF-16 code units with a character style per unit (and the paragraph alignment inside it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Styles.h"

namespace emu {

class Text
{
public:
    static constexpr uint32_t kEnd = 0xFFFFFFFFu;  // "to the end" for sizes, "not found" for searches

    Text() = default;
    explicit Text(std::u16string chars) : chars_(std::move(chars)) {}

    const std::u16string &Chars() const { return chars_; }
    uint32_t Size() const { return static_cast<uint32_t>(chars_.size()); }
    bool Empty() const { return chars_.empty(); }
    // False while every unit has the default style; styled texts keep one style per unit.
    bool Styled() const { return !styles_.empty(); }

    // Plain assignment: the new characters have the default style.
    void Assign(std::u16string_view chars);
    void Assign(std::u16string &&chars);
    void Clear();

    // Range operations copy the styles of the copied units along with them. Positions and sizes count
    // UTF-16 units and are clamped to the text (kEnd = up to the end).
    void SetText(const Text &other, uint32_t pos = 0, uint32_t len = kEnd);
    void Append(const Text &other, uint32_t pos = 0, uint32_t len = kEnd);
    void AppendPlain(std::u16string_view chars);
    void Insert(const Text &other, uint32_t at);
    void Erase(uint32_t pos, uint32_t len = kEnd);
    Text Slice(uint32_t pos, uint32_t len = kEnd) const;

    CharStyle StyleAt(uint32_t pos) const;  // default style outside the text
    void SetStyle(const CharStyle &style, uint32_t pos = 0, uint32_t len = kEnd);  // overwrites the range's traits
    void RemoveStyle(const CharStyle &style);  // disables the traits that match exactly
    void ResetStyles();                        // character and paragraph styles back to the defaults

    // Sets the alignment of every paragraph that the range touches.
    void SetAlignment(Align align, uint32_t pos = 0, uint32_t len = kEnd);
    Align AlignmentAt(uint32_t pos) const;     // of the paragraph holding pos

    // Searches return the position of the match or kEnd. Find looks at or after `from`, FindPrev at or before it.
    uint32_t Find(const Text &needle, uint32_t from, bool ignoreCase = false) const;
    uint32_t FindPrev(const Text &needle, uint32_t from, bool ignoreCase = false) const;

    void Uppercase();
    void Lowercase();

    // Compares the raw UTF-16 values; styles play no part.
    int Compare(const Text &other) const { return chars_.compare(other.chars_); }
    bool operator==(const Text &other) const { return chars_ == other.chars_; }
    bool operator!=(const Text &other) const { return chars_ != other.chars_; }

    // Clamps pos/len to a text of `size` units.
    static void ClampRange(uint32_t size, uint32_t &pos, uint32_t &len);

private:
    void EnsureStyles();

    std::u16string chars_;
    std::vector<CharStyle> styles_;  // empty, or one entry per unit of chars_
};

// Case mapping of single UTF-16 units (characters outside the basic plane are left alone).
char16_t ToLowerUnit(char16_t c);
char16_t ToUpperUnit(char16_t c);
std::u16string ToLowerCopy(std::u16string_view s);
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace emu
