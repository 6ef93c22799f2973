// FM_Text_*: host texts.
#include <cstring>
#include <cwchar>

#include "core/Encoding.h"
#include "core/Sdk.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;
using fmx::uint32;

namespace {

template <class Unit> size_t TerminatedLength(const Unit *s)
{
    if (!s)
        throw std::invalid_argument("null string");
    size_t n = 0;
    while (s[n] != 0)
        ++n;
    return n;
}

void AssignBytes(void *self, const char *s, size_t length, fmx::int32 encoding)
{
    if (!s && length != 0)
        throw std::invalid_argument("null string");
    Text &text = Self<fmx::Text>(self);
    std::u16string units;
    if (!DecodeBytes(s, length, encoding, units))
        throw std::invalid_argument("unsupported encoding");
    text.Assign(std::move(units));
}

// wchar_t is UTF-32 here; values of a single UTF-16 unit (lone surrogates included) stay one unit.
void AssignWide(void *self, const wchar_t *s, size_t length)
{
    if (!s && length != 0)
        throw std::invalid_argument("null string");
    std::u16string units;
    units.reserve(length);
    for (size_t i = 0; i < length; ++i)
    {
        const auto c = static_cast<uint32_t>(s[i]);
        if (c <= 0xFFFF)
            units.push_back(static_cast<char16_t>(c));
        else if (c <= 0x10FFFF)
        {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
        else
            units.push_back(0xFFFD);
    }
    Self<fmx::Text>(self).Assign(std::move(units));
}

void AssignUnits(void *self, const fmx::uint16 *s, size_t length)
{
    if (!s && length != 0)
        throw std::invalid_argument("null string");
    Self<fmx::Text>(self).Assign(std::u16string_view(reinterpret_cast<const char16_t *>(s), length));
}

// The bytes of a range; `terminate` reserves the last byte of the buffer for a NUL.
uint32 GetBytes(const void *self, char *buffer, uint32 buffersize, uint32 position, uint32 size, fmx::int32 encoding,
                bool terminate)
{
    const Text &text = Self<fmx::Text>(self);
    if (!EncodingSupported(encoding))
        throw std::invalid_argument("unsupported encoding");
    Text::ClampRange(text.Size(), position, size);
    const char16_t *units = text.Chars().data() + position;
    if (!buffer)
        return static_cast<uint32>(EncodeUnits(units, size, encoding, nullptr, 0));
    if (buffersize == 0)
        return 0;
    const size_t capacity = terminate ? buffersize - 1 : buffersize;
    const size_t written = EncodeUnits(units, size, encoding, buffer, capacity);
    if (terminate)
        buffer[written] = '\0';
    return static_cast<uint32>(written);
}

uint32 FindIn(const void *self, const fmx::Text &other, uint32 position, bool backwards, bool ignoreCase)
{
    const Text &text = Self<fmx::Text>(self);
    return backwards ? text.FindPrev(Obj(other), position, ignoreCase) : text.Find(Obj(other), position, ignoreCase);
}

} // namespace

extern "C" {

fmx::Text *FM_Text_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::Text *>(nullptr), [] { return Fmx<fmx::Text>(new Text); });
}

void FM_Text_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<Text *>(_self); }

uint32 FM_Text_GetSize(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0u, [&] { return Self<fmx::Text>(_self).Size(); });
}

void FM_Text_Assign(void *_self, const char *s, fmx::int32 encoding, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AssignBytes(_self, s, TerminatedLength(s), encoding); });
}

void FM_Text_AssignWithLength(void *_self, const char *s, uint32 strlength, fmx::int32 encoding, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AssignBytes(_self, s, strlength, encoding); });
}

void FM_Text_AssignWide(void *_self, const wchar_t *s, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AssignWide(_self, s, TerminatedLength(s)); });
}

void FM_Text_AssignWideWithLength(void *_self, const wchar_t *s, uint32 strlength, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AssignWide(_self, s, strlength); });
}

void FM_Text_AssignUnicode(void *_self, const fmx::uint16 *s, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AssignUnits(_self, s, TerminatedLength(s)); });
}

void FM_Text_AssignUnicodeWithLength(void *_self, const fmx::uint16 *s, uint32 strlength, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AssignUnits(_self, s, strlength); });
}

void FM_Text_GetBytes(const void *_self, char *buffer, uint32 buffersize, uint32 position, uint32 size,
                      fmx::int32 encoding, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        if (buffer)
            GetBytes(_self, buffer, buffersize, position, size, encoding, true);
    });
}

uint32 FM_Text_GetBytesEx(const void *_self, char *buffer, uint32 buffersize, uint32 position, uint32 size,
                          fmx::int32 encoding, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0u, [&] { return GetBytes(_self, buffer, buffersize, position, size, encoding, false); });
}

void FM_Text_GetUnicode(const void *_self, fmx::uint16 *s, uint32 position, uint32 size, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        const Text &text = Self<fmx::Text>(_self);
        Text::ClampRange(text.Size(), position, size);
        if (size == 0)
            return;
        if (!s)
            throw std::invalid_argument("null buffer");
        std::memcpy(s, text.Chars().data() + position, size * sizeof(char16_t));
    });
}

void FM_Text_SetText(void *_self, const fmx::Text &other, uint32 position, uint32 size, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(_self).SetText(Obj(other), position, size); });
}

void FM_Text_AppendText(void *_self, const fmx::Text &other, uint32 position, uint32 size, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(_self).Append(Obj(other), position, size); });
}

void FM_Text_InsertText(void *_self, const fmx::Text &other, uint32 position, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(_self).Insert(Obj(other), position); });
}

void FM_Text_DeleteText(void *_self, uint32 positionToDelete, uint32 sizeToDelete, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(_self).Erase(positionToDelete, sizeToDelete); });
}

uint32 FM_Text_Find(const void *_self, const fmx::Text &other, uint32 position, _fmxcpt &_x) noexcept
{
    return Guard(_x, uint32(Text::kEnd), [&] { return FindIn(_self, other, position, false, false); });
}

uint32 FM_Text_FindPrev(const void *_self, const fmx::Text &other, uint32 position, _fmxcpt &_x) noexcept
{
    return Guard(_x, uint32(Text::kEnd), [&] { return FindIn(_self, other, position, true, false); });
}

uint32 FM_Text_FindIgnoringCase(const void *_self, const fmx::Text &other, uint32 position, _fmxcpt &_x) noexcept
{
    return Guard(_x, uint32(Text::kEnd), [&] { return FindIn(_self, other, position, false, true); });
}

uint32 FM_Text_FindPrevIgnoringCase(const void *_self, const fmx::Text &other, uint32 position, _fmxcpt &_x) noexcept
{
    return Guard(_x, uint32(Text::kEnd), [&] { return FindIn(_self, other, position, true, true); });
}

// The SDK declares these two with a const self although they change the text.
void FM_Text_Uppercase(const void *_self, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(const_cast<void *>(_self)).Uppercase(); });
}

void FM_Text_Lowercase(const void *_self, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(const_cast<void *>(_self)).Lowercase(); });
}

void FM_Text_GetStyle(const void *_self, fmx::CharacterStyle &style, uint32 position, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Obj(style) = Self<fmx::Text>(_self).StyleAt(position); });
}

void FM_Text_GetDefaultStyle(const void *_self, fmx::CharacterStyle &style, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        Self<fmx::Text>(_self);
        Obj(style) = CharStyle();
    });
}

void FM_Text_SetStyle(void *_self, const fmx::CharacterStyle &style, uint32 position, uint32 size, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(_self).SetStyle(Obj(style), position, size); });
}

void FM_Text_RemoveStyle(void *_self, const fmx::CharacterStyle &style, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(_self).RemoveStyle(Obj(style)); });
}

void FM_Text_ResetAllStyleBuffers(void *_self, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Text>(_self).ResetStyles(); });
}

bool FM_Text_operatorEQ(const void *_self, const fmx::Text &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Text>(_self).Compare(Obj(that)) == 0; });
}

bool FM_Text_operatorNE(const void *_self, const fmx::Text &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Text>(_self).Compare(Obj(that)) != 0; });
}

bool FM_Text_operatorLT(const void *_self, const fmx::Text &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Text>(_self).Compare(Obj(that)) < 0; });
}

bool FM_Text_operatorLE(const void *_self, const fmx::Text &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Text>(_self).Compare(Obj(that)) <= 0; });
}

bool FM_Text_operatorGT(const void *_self, const fmx::Text &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Text>(_self).Compare(Obj(that)) > 0; });
}

bool FM_Text_operatorGE(const void *_self, const fmx::Text &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Text>(_self).Compare(Obj(that)) >= 0; });
}

} // extern "C"
