// FM_Data_*: typed host values.
#include "core/Sdk.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;

namespace {

DataType ToType(fmx::int32 t) { return t >= kDTInvalid && t <= kDTBoolean ? static_cast<DataType>(t) : kDTInvalid; }

// Font look-ups shared by the old (display name) and the PostScript variants: the emulator knows one name per font.
fmx::CharacterStyle::FontID FontId(const void *self, const fmx::Text &name)
{
    Self<fmx::Data>(self);
    return FontIdFor(Obj(name).Chars());
}

bool FontName(const void *self, fmx::CharacterStyle::FontID font, fmx::Text &name)
{
    Self<fmx::Data>(self);
    std::u16string found;
    if (!FontNameFor(font, found))
        return false;
    Obj(name).Assign(std::move(found));
    return true;
}

} // namespace

extern "C" {

fmx::Data *FM_Data_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::Data *>(nullptr), [] { return Fmx<fmx::Data>(new Value); });
}

void FM_Data_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<Value *>(_self); }

bool FM_Data_IsEmpty(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, true, [&] { return Self<fmx::Data>(_self).IsEmpty(); });
}

bool FM_Data_IsValid(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Data>(_self).Type() != kDTInvalid; });
}

bool FM_Data_IsFindRequest(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] {
        Self<fmx::Data>(_self);
        return false;
    });
}

void FM_Data_Clear(void *_self, fmx::int32 newNativeType, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Data>(_self).Clear(ToType(newNativeType)); });
}

const fmx::Text *FM_Data_GetAsText(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::Text *>(nullptr),
                 [&] { return Fmx<fmx::Text>(&Self<fmx::Data>(_self).AsText()); });
}

const fmx::FixPt *FM_Data_GetAsNumber(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::FixPt *>(nullptr),
                 [&] { return Fmx<fmx::FixPt>(&Self<fmx::Data>(_self).AsNumber()); });
}

const fmx::DateTime *FM_Data_GetAsDate(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::DateTime *>(nullptr),
                 [&] { return Fmx<fmx::DateTime>(&Self<fmx::Data>(_self).AsDate()); });
}

const fmx::DateTime *FM_Data_GetAsTime(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::DateTime *>(nullptr),
                 [&] { return Fmx<fmx::DateTime>(&Self<fmx::Data>(_self).AsTime()); });
}

const fmx::DateTime *FM_Data_GetAsTimeStamp(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::DateTime *>(nullptr),
                 [&] { return Fmx<fmx::DateTime>(&Self<fmx::Data>(_self).AsTimestamp()); });
}

bool FM_Data_GetAsBoolean(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::Data>(_self).AsBoolean(); });
}

const fmx::BinaryData *FM_Data_GetBinaryData(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::BinaryData *>(nullptr),
                 [&] { return Fmx<fmx::BinaryData>(&Self<fmx::Data>(_self).AsBinary()); });
}

const fmx::Locale *FM_Data_GetLocale(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::Locale *>(nullptr),
                 [&] { return Fmx<fmx::Locale>(&Self<fmx::Data>(_self).GetLocale()); });
}

// The SDK declares this return type const.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
const fmx::int32 FM_Data_GetNativeType(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int32(kDTInvalid), [&] { return fmx::int32(Self<fmx::Data>(_self).Type()); });
}
#pragma GCC diagnostic pop

void FM_Data_ConvertData(void *_self, fmx::int32 nativeType, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Data>(_self).Convert(ToType(nativeType)); });
}

fmx::errcode FM_Data_SetAsText(void *_self, const fmx::Text &textData, const fmx::Locale &sourceLocale,
                               fmx::int32 nativeType, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return Self<fmx::Data>(_self).SetAsText(Obj(textData), Obj(sourceLocale), ToType(nativeType));
    });
}

void FM_Data_SetAsNumber(void *_self, const fmx::FixPt &numericData, fmx::int32 nativeType, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Data>(_self).SetNumber(Obj(numericData), ToType(nativeType)); });
}

void FM_Data_SetDateTime(void *_self, const fmx::DateTime &dateTimeData, fmx::int32 dateTimeType,
                         fmx::int32 nativeType, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        Self<fmx::Data>(_self).SetDateTime(Obj(dateTimeData), ToType(dateTimeType), ToType(nativeType));
    });
}

void FM_Data_SetAsDate(void *_self, const fmx::DateTime &dateData, fmx::int32 nativeType, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Data>(_self).SetDateTime(Obj(dateData), kDTDate, ToType(nativeType)); });
}

void FM_Data_SetAsTime(void *_self, const fmx::DateTime &timeData, fmx::int32 nativeType, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Data>(_self).SetDateTime(Obj(timeData), kDTTime, ToType(nativeType)); });
}

void FM_Data_SetAsTimeStamp(void *_self, const fmx::DateTime &timeStampData, fmx::int32 nativeType,
                            _fmxcpt &_x) noexcept
{
    GuardVoid(_x,
              [&] { Self<fmx::Data>(_self).SetDateTime(Obj(timeStampData), kDTTimeStamp, ToType(nativeType)); });
}

void FM_Data_SetBinaryData(void *_self, const fmx::BinaryData &binaryData, bool, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::Data>(_self).SetBinary(Obj(binaryData)); });
}

fmx::CharacterStyle::FontID FM_Data_GetFontID(const void *_self, const fmx::Text &fontDisplayName,
                                              fmx::CharacterStyle::FontScript, const fmx::ExprEnv &,
                                              _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::CharacterStyle::FontID(0xFFFF), [&] { return FontId(_self, fontDisplayName); });
}

bool FM_Data_GetFontInfo(const void *_self, fmx::CharacterStyle::FontID font, fmx::Text &fontDisplayName,
                         fmx::CharacterStyle::FontScript &fontScript, const fmx::ExprEnv &, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] {
        const bool found = FontName(_self, font, fontDisplayName);
        if (found)
            fontScript = fmx::CharacterStyle::kRoman;
        return found;
    });
}

fmx::CharacterStyle::FontID FM_Data_GetPostscriptFontID(const void *_self, const fmx::Text &fontPostscriptName,
                                                        const fmx::ExprEnv &, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::CharacterStyle::FontID(0xFFFF), [&] { return FontId(_self, fontPostscriptName); });
}

bool FM_Data_GetPostscriptFontInfo(const void *_self, fmx::CharacterStyle::FontID font, fmx::Text &fontPostscriptName,
                                   const fmx::ExprEnv &, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return FontName(_self, font, fontPostscriptName); });
}

} // extern "C"
