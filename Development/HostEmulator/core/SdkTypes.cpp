// FM_QuadChar_* and FM_Locale_*: four-character identifiers and locales.
#include "core/Sdk.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;

namespace {

template <class Compare> bool CompareQuads(const void *self, const fmx::QuadChar &value, _fmxcpt &x, Compare &&cmp)
{
    return Guard(x, false, [&] { return cmp(Self<fmx::QuadChar>(self).MacType(), Obj(value).MacType()); });
}

fmx::uchar CharAt(const void *self, int i)
{
    if (i < 0 || i > 3)
        throw std::out_of_range("QuadChar index");
    return Self<fmx::QuadChar>(self).c[i];
}

} // namespace

extern "C" {

fmx::QuadChar *FM_QuadChar_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::QuadChar *>(nullptr), [] { return Fmx<fmx::QuadChar>(new QuadChar); });
}

fmx::QuadChar *FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::QuadChar *>(nullptr), [&] {
        auto *q = new QuadChar;
        q->c[0] = static_cast<uint8_t>(c0);
        q->c[1] = static_cast<uint8_t>(c1);
        q->c[2] = static_cast<uint8_t>(c2);
        q->c[3] = static_cast<uint8_t>(c3);
        return Fmx<fmx::QuadChar>(q);
    });
}

fmx::QuadChar *FM_QuadChar_Constructor3(const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::QuadChar *>(nullptr),
                 [&] { return Fmx<fmx::QuadChar>(new QuadChar(Obj(value))); });
}

void FM_QuadChar_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<QuadChar *>(_self); }

const fmx::QuadChar *FM_QuadChar_operatorAS(void *_self, const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::QuadChar *>(nullptr), [&] {
        QuadChar &q = Self<fmx::QuadChar>(_self);
        q = Obj(value);
        return Fmx<fmx::QuadChar>(static_cast<const QuadChar *>(&q));
    });
}

fmx::uchar FM_QuadChar_operatorAR(void *_self, int i, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::uchar(0), [&] { return CharAt(_self, i); });
}

// The SDK declares this return type const.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
const fmx::uchar FM_QuadChar_operatorCAR(const void *_self, int i, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::uchar(0), [&] { return CharAt(_self, i); });
}
#pragma GCC diagnostic pop

bool FM_QuadChar_operatorEQ(const void *_self, const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return CompareQuads(_self, value, _x, [](uint32_t a, uint32_t b) { return a == b; });
}

bool FM_QuadChar_operatorNE(const void *_self, const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return CompareQuads(_self, value, _x, [](uint32_t a, uint32_t b) { return a != b; });
}

bool FM_QuadChar_operatorLT(const void *_self, const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return CompareQuads(_self, value, _x, [](uint32_t a, uint32_t b) { return a < b; });
}

bool FM_QuadChar_operatorLE(const void *_self, const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return CompareQuads(_self, value, _x, [](uint32_t a, uint32_t b) { return a <= b; });
}

bool FM_QuadChar_operatorGT(const void *_self, const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return CompareQuads(_self, value, _x, [](uint32_t a, uint32_t b) { return a > b; });
}

bool FM_QuadChar_operatorGE(const void *_self, const fmx::QuadChar &value, _fmxcpt &_x) noexcept
{
    return CompareQuads(_self, value, _x, [](uint32_t a, uint32_t b) { return a >= b; });
}

fmx::uint32 FM_QuadChar_GetMacType(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0u, [&] { return Self<fmx::QuadChar>(_self).MacType(); });
}

void FM_QuadChar_SetMacType(void *_self, fmx::uint32 value, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::QuadChar>(_self).SetMacType(value); });
}

fmx::Locale *FM_Locale_Constructor1(fmx::int32 inputType, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::Locale *>(nullptr), [&] { return Fmx<fmx::Locale>(new Locale{inputType}); });
}

fmx::Locale *FM_Locale_Constructor2(const fmx::Locale &copyConstruct, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::Locale *>(nullptr),
                 [&] { return Fmx<fmx::Locale>(new Locale(Obj(copyConstruct))); });
}

void FM_Locale_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<Locale *>(_self); }

fmx::Locale *FM_Locale_operatorAS(void *_self, const fmx::Locale &rhs, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::Locale *>(nullptr), [&] {
        Locale &l = Self<fmx::Locale>(_self);
        l = Obj(rhs);
        return Fmx<fmx::Locale>(&l);
    });
}

} // extern "C"
