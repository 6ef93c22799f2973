// Helpers shared by the FM_* functions: mapping between the SDK's opaque classes and the emulator's objects,
// and the guard that keeps exceptions inside the host and applies injected faults.
#pragma once

#include <new>
#include <stdexcept>
#include <type_traits>

#include "FMWrapper/FMXBinaryData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "FMWrapper/FMXTypes.h"
#include "core/Faults.h"
#include "core/Session.h"
#include "core/RowVect.h"
#include "core/Value.h"

namespace emu {
namespace sdk {

template <class F> struct EmuOf;
template <> struct EmuOf<fmx::Text> { using type = Text; };
template <> struct EmuOf<fmx::Data> { using type = Value; };
template <> struct EmuOf<fmx::FixPt> { using type = Number; };
template <> struct EmuOf<fmx::DateTime> { using type = DateTime; };
template <> struct EmuOf<fmx::BinaryData> { using type = BinaryData; };
template <> struct EmuOf<fmx::QuadChar> { using type = QuadChar; };
template <> struct EmuOf<fmx::Locale> { using type = Locale; };
template <> struct EmuOf<fmx::DataVect> { using type = DataVect; };
template <> struct EmuOf<fmx::RowVect> { using type = RowVect; };
template <> struct EmuOf<fmx::ExprEnv> { using type = Environment; };
template <> struct EmuOf<fmx::CharacterStyle> { using type = CharStyle; };
template <> struct EmuOf<fmx::CharacterStyle::Color> { using type = Color; };

template <class F> using E = typename EmuOf<F>::type;

// The emulator object behind an SDK reference.
template <class F> E<F> &Obj(F &f) { return reinterpret_cast<E<F> &>(f); }
template <class F> const E<F> &Obj(const F &f) { return reinterpret_cast<const E<F> &>(f); }

// The emulator object behind a self pointer; a null self is a plug-in fault reported as kUnknown.
template <class F> E<F> &Self(void *p)
{
    if (!p)
        throw std::invalid_argument("null object");
    return *static_cast<E<F> *>(p);
}
template <class F> const E<F> &Self(const void *p)
{
    if (!p)
        throw std::invalid_argument("null object");
    return *static_cast<const E<F> *>(p);
}

// The SDK view of an emulator object.
template <class F> F *Fmx(E<F> *e) { return reinterpret_cast<F *>(e); }
template <class F> const F *Fmx(const E<F> *e) { return reinterpret_cast<const F *>(e); }

// Runs the body of an FM_* function: applies an armed fault, turns exceptions into the error record.
template <class R, class Body> R Guard(fmx::_fmxcpt &x, R fallback, Body &&body) noexcept
{
    if (faults::Hit(x))
        return fallback;
    try
    {
        return body();
    }
    catch (const std::bad_alloc &)
    {
        x.m_code = fmx::_fmxcpt::kBadAlloc;
    }
    catch (...)
    {
        x.m_code = fmx::_fmxcpt::kUnknown;
    }
    return fallback;
}

template <class Body> void GuardVoid(fmx::_fmxcpt &x, Body &&body) noexcept
{
    Guard(x, 0, [&] {
        body();
        return 0;
    });
}

// Stores a computed number in `target`, which keeps its own precision.
inline void StoreNumber(Number &target, const Number &value)
{
    const int precision = target.Precision();
    target = value;
    target.SetPrecision(precision);
}

// Generic error code for a misused SDK call that reports through its result (FileMaker's "unknown error").
constexpr fmx::errcode kErrUnknown = -1;

} // namespace sdk
} // namespace emu
