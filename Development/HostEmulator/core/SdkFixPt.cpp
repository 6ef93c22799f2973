// FM_FixPt_*: fixed-point numbers.
#include "core/Sdk.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;

namespace {

void AddInt(void *self, int64_t n)
{
    Number &v = Self<fmx::FixPt>(self);
    StoreNumber(v, Number::Add(v, Number::FromInt(n)));
}

int CompareWith(const void *self, const fmx::FixPt &that) { return Number::Compare(Self<fmx::FixPt>(self), Obj(that)); }

} // namespace

extern "C" {

fmx::FixPt *FM_FixPt_Constructor1(fmx::int32 val, int precision, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::FixPt *>(nullptr),
                 [&] { return Fmx<fmx::FixPt>(new Number(Number::FromInt(val, precision))); });
}

fmx::FixPt *FM_FixPt_Constructor2(fmx::int32 val, const fmx::FixPt &precisionExample, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::FixPt *>(nullptr), [&] {
        return Fmx<fmx::FixPt>(new Number(Number::FromInt(val, Obj(precisionExample).Precision())));
    });
}

void FM_FixPt_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<Number *>(_self); }

void FM_FixPt_AssignInt(void *_self, fmx::int32 that, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Self<fmx::FixPt>(_self), Number::FromInt(that)); });
}

void FM_FixPt_AssignInt64(void *_self, fmx::int64 that, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Self<fmx::FixPt>(_self), Number::FromInt(that)); });
}

void FM_FixPt_AssignDouble(void *_self, double that, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        Number &v = Self<fmx::FixPt>(_self);
        StoreNumber(v, Number::FromDouble(that, v.Precision()));
    });
}

void FM_FixPt_AssignFixPt(void *_self, const fmx::FixPt &that, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Self<fmx::FixPt>(_self), Obj(that)); });
}

bool FM_FixPt_operatorEQ(const void *_self, const fmx::FixPt &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return CompareWith(_self, that) == 0; });
}

bool FM_FixPt_operatorNE(const void *_self, const fmx::FixPt &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return CompareWith(_self, that) != 0; });
}

bool FM_FixPt_operatorLT(const void *_self, const fmx::FixPt &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return CompareWith(_self, that) < 0; });
}

bool FM_FixPt_operatorLE(const void *_self, const fmx::FixPt &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return CompareWith(_self, that) <= 0; });
}

bool FM_FixPt_operatorGT(const void *_self, const fmx::FixPt &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return CompareWith(_self, that) > 0; });
}

bool FM_FixPt_operatorGE(const void *_self, const fmx::FixPt &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return CompareWith(_self, that) >= 0; });
}

void FM_FixPt_Increment(void *_self, fmx::int32 n, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AddInt(_self, n); });
}

void FM_FixPt_Increment64(void *_self, fmx::int64 n, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AddInt(_self, n); });
}

void FM_FixPt_Decrement(void *_self, fmx::int32 n, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { AddInt(_self, -int64_t(n)); });
}

void FM_FixPt_Decrement64(void *_self, fmx::int64 n, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        Number &v = Self<fmx::FixPt>(_self);
        StoreNumber(v, Number::Subtract(v, Number::FromInt(n)));
    });
}

void FM_FixPt_Negate(void *_self, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::FixPt>(_self).Negate(); });
}

int FM_FixPt_GetPrecision(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0, [&] { return Self<fmx::FixPt>(_self).Precision(); });
}

void FM_FixPt_SetPrecision(void *_self, int precision, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::FixPt>(_self).SetPrecision(precision); });
}

void FM_FixPt_Add(const void *_self, const fmx::FixPt &arg, fmx::FixPt &result, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Obj(result), Number::Add(Self<fmx::FixPt>(_self), Obj(arg))); });
}

void FM_FixPt_Subtract(const void *_self, const fmx::FixPt &arg, fmx::FixPt &result, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Obj(result), Number::Subtract(Self<fmx::FixPt>(_self), Obj(arg))); });
}

void FM_FixPt_Multiply(const void *_self, const fmx::FixPt &arg, fmx::FixPt &result, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Obj(result), Number::Multiply(Self<fmx::FixPt>(_self), Obj(arg))); });
}

// Division by zero answers kErrUnknown and leaves the result unchanged.
fmx::errcode FM_FixPt_Divide(const void *_self, const fmx::FixPt &arg, fmx::FixPt &result, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        // The quotient has as many fractional digits as the result's precision asks for.
        Number dividend = Self<fmx::FixPt>(_self);
        dividend.SetPrecision(Obj(result).Precision());
        Number quotient;
        if (!Number::Divide(dividend, Obj(arg), quotient))
            return kErrUnknown;
        StoreNumber(Obj(result), quotient);
        return fmx::errcode(0);
    });
}

bool FM_FixPt_AsBool(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return !Self<fmx::FixPt>(_self).IsZero(); });
}

fmx::int32 FM_FixPt_AsLong(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int32(0), [&] { return Self<fmx::FixPt>(_self).ToInt32(); });
}

fmx::int64 FM_FixPt_AsLong64(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int64(0), [&] { return fmx::int64(Self<fmx::FixPt>(_self).ToInt64()); });
}

double FM_FixPt_AsFloat(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0.0, [&] { return Self<fmx::FixPt>(_self).ToDouble(); });
}

} // extern "C"
