// FM_CharacterStyle_* and FM_Color_*: character styles and colours.
#include "core/Sdk.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;
using Face = fmx::CharacterStyle::Face;
using FontID = fmx::CharacterStyle::FontID;
using FontSize = fmx::CharacterStyle::FontSize;
using Channel = fmx::CharacterStyle::ColorChannel;
using Channel16 = fmx::CharacterStyle::ColorChannel16;

namespace {

// Changes one style through a small edit, as every Enable/Disable/Set function does.
template <class Edit> void EditStyle(void *self, _fmxcpt &x, Edit &&edit)
{
    GuardVoid(x, [&] { edit(Self<fmx::CharacterStyle>(self)); });
}

template <class Read> auto ReadStyle(const void *self, _fmxcpt &x, Read &&read)
{
    using R = decltype(read(std::declval<const CharStyle &>()));
    return Guard(x, R(), [&] { return read(Self<fmx::CharacterStyle>(self)); });
}

template <class Edit> void EditColor(void *self, _fmxcpt &x, Edit &&edit)
{
    GuardVoid(x, [&] { edit(Self<fmx::CharacterStyle::Color>(self)); });
}

template <class Read> auto ReadColor(const void *self, _fmxcpt &x, Read &&read)
{
    using R = decltype(read(std::declval<const Color &>()));
    return Guard(x, R(), [&] { return read(Self<fmx::CharacterStyle::Color>(self)); });
}

// 8-bit channels widened to 16 bits the usual way (0xAB -> 0xABAB).
Channel16 Upsample(Channel c) { return static_cast<Channel16>(c << 8 | c); }

} // namespace

extern "C" {

fmx::CharacterStyle *FM_CharacterStyle_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle *>(nullptr),
                 [] { return Fmx<fmx::CharacterStyle>(new CharStyle); });
}

fmx::CharacterStyle *FM_CharacterStyle_Constructor2(FontID font, Face face, FontSize size,
                                                    const fmx::CharacterStyle::Color &color, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle *>(nullptr), [&] {
        auto *s = new CharStyle;
        s->font = font;
        s->face = face;
        s->size = size;
        s->color = Obj(color);
        s->enabled = CharStyle::kFont | CharStyle::kSize | CharStyle::kColor;
        return Fmx<fmx::CharacterStyle>(s);
    });
}

fmx::CharacterStyle *FM_CharacterStyle_Constructor3(const fmx::CharacterStyle &style, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle *>(nullptr),
                 [&] { return Fmx<fmx::CharacterStyle>(new CharStyle(Obj(style))); });
}

void FM_CharacterStyle_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<CharStyle *>(_self); }

void FM_CharacterStyle_EnableFont(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) { s.enabled |= CharStyle::kFont; });
}

void FM_CharacterStyle_EnableFace(void *_self, Face face, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) { s.face |= face; });
}

void FM_CharacterStyle_EnableSize(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) { s.enabled |= CharStyle::kSize; });
}

void FM_CharacterStyle_EnableColor(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) { s.enabled |= CharStyle::kColor; });
}

void FM_CharacterStyle_DisableFont(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) { s.enabled &= ~CharStyle::kFont; });
}

void FM_CharacterStyle_DisableFace(void *_self, Face face, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) { s.face &= static_cast<Face>(~face); });
}

void FM_CharacterStyle_DisableAllFaces(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) { s.face = 0; });
}

void FM_CharacterStyle_DisableSize(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) { s.enabled &= ~CharStyle::kSize; });
}

void FM_CharacterStyle_DisableColor(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) { s.enabled &= ~CharStyle::kColor; });
}

void FM_CharacterStyle_DisableAll(void *_self, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [](CharStyle &s) {
        s.enabled = 0;
        s.face = 0;
    });
}

bool FM_CharacterStyle_IsAllDisabled(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return s.IsAllDisabled(); });
}

bool FM_CharacterStyle_IsFontEnabled(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return (s.enabled & CharStyle::kFont) != 0; });
}

bool FM_CharacterStyle_IsFaceEnabled(const void *_self, Face face, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [&](const CharStyle &s) { return face != 0 && (s.face & face) == face; });
}

bool FM_CharacterStyle_IsAnyFaceEnabled(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return s.face != 0; });
}

bool FM_CharacterStyle_IsSizeEnabled(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return (s.enabled & CharStyle::kSize) != 0; });
}

bool FM_CharacterStyle_IsColorEnabled(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return (s.enabled & CharStyle::kColor) != 0; });
}

void FM_CharacterStyle_SetFontInformation(void *_self, FontID font, Face face, FontSize size, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) {
        s.font = font;
        s.face = face;
        s.size = size;
        s.enabled |= CharStyle::kFont | CharStyle::kSize;
    });
}

void FM_CharacterStyle_GetFontInformation(void *_self, FontID &font, Face &face, FontSize &size, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) {
        font = s.font;
        face = s.face;
        size = s.size;
    });
}

void FM_CharacterStyle_SetFont(void *_self, FontID font, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) {
        s.font = font;
        s.enabled |= CharStyle::kFont;
    });
}

void FM_CharacterStyle_SetFace(void *_self, Face face, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) { s.face = face; });
}

void FM_CharacterStyle_SetSize(void *_self, FontSize size, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) {
        s.size = size;
        s.enabled |= CharStyle::kSize;
    });
}

FontID FM_CharacterStyle_GetFont(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return FontID(s.font); });
}

Face FM_CharacterStyle_GetFace(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return Face(s.face); });
}

FontSize FM_CharacterStyle_GetSize(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return FontSize(s.size); });
}

void FM_CharacterStyle_SetColor(void *_self, const fmx::CharacterStyle::Color &color, _fmxcpt &_x) noexcept
{
    EditStyle(_self, _x, [&](CharStyle &s) {
        s.color = Obj(color);
        s.enabled |= CharStyle::kColor;
    });
}

const fmx::CharacterStyle::Color *FM_CharacterStyle_GetColor(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [](const CharStyle &s) { return Fmx<fmx::CharacterStyle::Color>(&s.color); });
}

fmx::CharacterStyle *FM_CharacterStyle_operatorAS(void *_self, const fmx::CharacterStyle &rhs, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle *>(nullptr), [&] {
        CharStyle &s = Self<fmx::CharacterStyle>(_self);
        s = Obj(rhs);
        return Fmx<fmx::CharacterStyle>(&s);
    });
}

bool FM_CharacterStyle_operatorEQ(const void *_self, const fmx::CharacterStyle &rhs, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [&](const CharStyle &s) { return s.SameTraits(Obj(rhs)); });
}

bool FM_CharacterStyle_operatorNE(const void *_self, const fmx::CharacterStyle &rhs, _fmxcpt &_x) noexcept
{
    return ReadStyle(_self, _x, [&](const CharStyle &s) { return !s.SameTraits(Obj(rhs)); });
}

fmx::CharacterStyle::Color *FM_Color_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle::Color *>(nullptr),
                 [] { return Fmx<fmx::CharacterStyle::Color>(new Color); });
}

fmx::CharacterStyle::Color *FM_Color_Constructor2(Channel red, Channel green, Channel blue, Channel alpha,
                                                  _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle::Color *>(nullptr),
                 [&] { return Fmx<fmx::CharacterStyle::Color>(new Color{red, green, blue, alpha}); });
}

fmx::CharacterStyle::Color *FM_Color_Constructor3(const fmx::CharacterStyle::Color &mask, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle::Color *>(nullptr),
                 [&] { return Fmx<fmx::CharacterStyle::Color>(new Color(Obj(mask))); });
}

void FM_Color_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<Color *>(_self); }

const fmx::CharacterStyle::Color *FM_Color_White() noexcept
{
    static const Color white{255, 255, 255, 255};
    return Fmx<fmx::CharacterStyle::Color>(&white);
}

const fmx::CharacterStyle::Color *FM_Color_Black() noexcept
{
    static const Color black{0, 0, 0, 255};
    return Fmx<fmx::CharacterStyle::Color>(&black);
}

void FM_Color_SetRed(void *_self, Channel r, _fmxcpt &_x) noexcept
{
    EditColor(_self, _x, [&](Color &c) { c.red = r; });
}

void FM_Color_SetGreen(void *_self, Channel g, _fmxcpt &_x) noexcept
{
    EditColor(_self, _x, [&](Color &c) { c.green = g; });
}

void FM_Color_SetBlue(void *_self, Channel b, _fmxcpt &_x) noexcept
{
    EditColor(_self, _x, [&](Color &c) { c.blue = b; });
}

void FM_Color_SetAlpha(void *_self, Channel a, _fmxcpt &_x) noexcept
{
    EditColor(_self, _x, [&](Color &c) { c.alpha = a; });
}

Channel FM_Color_GetRed(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return c.red; });
}

Channel FM_Color_GetGreen(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return c.green; });
}

Channel FM_Color_GetBlue(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return c.blue; });
}

Channel FM_Color_GetAlpha(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return c.alpha; });
}

Channel16 FM_Color_GetRedUpsample(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return Upsample(c.red); });
}

Channel16 FM_Color_GetGreenUpsample(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return Upsample(c.green); });
}

Channel16 FM_Color_GetBlueUpsample(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return Upsample(c.blue); });
}

Channel16 FM_Color_GetAlphaUpsample(const void *_self, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [](const Color &c) { return Upsample(c.alpha); });
}

fmx::CharacterStyle::Color *FM_Color_operatorAS(void *_self, const fmx::CharacterStyle::Color &rhs, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::CharacterStyle::Color *>(nullptr), [&] {
        Color &c = Self<fmx::CharacterStyle::Color>(_self);
        c = Obj(rhs);
        return Fmx<fmx::CharacterStyle::Color>(&c);
    });
}

bool FM_Color_operatorEQ(const void *_self, const fmx::CharacterStyle::Color &rhs, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [&](const Color &c) { return c == Obj(rhs); });
}

bool FM_Color_operatorNE(const void *_self, const fmx::CharacterStyle::Color &rhs, _fmxcpt &_x) noexcept
{
    return ReadColor(_self, _x, [&](const Color &c) { return c != Obj(rhs); });
}

} // extern "C"
