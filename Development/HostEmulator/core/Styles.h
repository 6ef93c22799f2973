// Character styles, colours and the font table of the emulated host.
#pragma once

#include <cstdint>
#include <string>

namespace emu {

struct Color
{
    uint8_t red = 0, green = 0, blue = 0, alpha = 255;

    bool operator==(const Color &o) const
    {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    bool operator!=(const Color &o) const { return !(*this == o); }
};

// Paragraph alignment. It is stored with every character so that it travels with copied ranges;
// a paragraph's alignment is the one of its first character.
enum class Align : uint8_t { Default = 0, Left = 1, Center = 2, Right = 3, Justify = 4 };

// The style of one character. A trait that is not enabled falls back to the field's own setting.
// Face bits are enabled one by one: a set bit is an enabled face.
struct CharStyle
{
    enum : uint8_t { kFont = 1, kSize = 2, kColor = 4 };

    uint16_t font = 0;
    uint16_t face = 0;
    uint16_t size = 0;
    Color color;
    uint8_t enabled = 0;
    Align align = Align::Default;

    bool IsAllDisabled() const { return enabled == 0 && face == 0; }
    // Character traits only: the alignment belongs to the paragraph, not to the style a plug-in sees.
    bool SameTraits(const CharStyle &o) const
    {
        return enabled == o.enabled && face == o.face && (!(enabled & kFont) || font == o.font)
            && (!(enabled & kSize) || size == o.size) && (!(enabled & kColor) || color == o.color);
    }
    bool operator==(const CharStyle &o) const { return SameTraits(o) && align == o.align; }
    bool operator!=(const CharStyle &o) const { return !(*this == o); }
};

// Font ids are handed out on first use of a name (from 1 on; id 0 has no name) and are shared by all threads.
uint16_t FontIdFor(const std::u16string &name);  // 0xFFFF when the table is full or the name is empty
bool FontNameFor(uint16_t id, std::u16string &name);

} // namespace emu
