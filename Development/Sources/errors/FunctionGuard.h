#ifndef VANTREL_ERRORS_FUNCTIONGUARD_H
#define VANTREL_ERRORS_FUNCTIONGUARD_H

#include <type_traits>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "errors/UsageError.h"

// The one exception boundary of every external function. Nothing thrown may reach the host: an exception crossing
// into FileMaker Server terminates the whole server.
//
// How to write an external function:
//
//     // mysubsystem/MyFunction.h
//     fmx::errcode Vantrel_Foo(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result);
//
//     // mysubsystem/MyFunction.cpp
//     fmx::errcode Vantrel_Foo(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
//     {
//         return vtl::GuardedCall("Vantrel_Foo", env, result, [&] {
//             if (args.Size() < 1)
//                 throw vtl::cUsageError("Not enough parameters");   // result -50, message recorded
//             fmlib::SetTextResult(result, "done");               // the normal result
//         });
//     }
//
//     and one row in frame/FunctionTable.cpp:  { 42, 1, -1, kListed, Vantrel_Foo, "Vantrel_Foo( text )" },
//
// What GuardedCall does, in order:
// 1. allowListName != nullptr: asks the allow-list under that name; when denied the result is already "?" with the
//    last error 24012, the work does not run, the host gets 0. Functions the allow-list does not govern (the shell
//    command and the functions without a Linux implementation) use UngovernedCall with their name instead.
// 2. Runs the work. It may return void (the host gets 0) or an fmx::errcode that is handed to the host as it is.
// 3. vtl::cUsageError: result -50, last error -50 with the exception's message.
//    std::exception (incl. the SDK's bad_alloc/exception): result 2400, last error 2400 with what() (ProcessSTDException).
//    Anything else: result 2400 with "Unknown fatal error occured" (ProcessFatalException).
//    An exception from the allow-list check itself (the host failing while the file name is evaluated) is handled
//    the same way.
//    In these cases the host gets the error code of the evaluation that recorded the last error: 0 unless the
//    host could not evaluate it. Should recording throw as well, the host gets 2 (memory error) or 2400.
//    Every exception but a usage error also goes to the system journal, with the function's name and file.
namespace vtl
{
using GuardedWork = fmx::errcode (*)(void *context);

// governed: ask the allow-list under functionName first.
fmx::errcode GuardedCallWith(const char *functionName, bool governed, const fmx::ExprEnv &env, fmx::Data &result,
                             GuardedWork work, void *context) noexcept;

template <class Work>
GuardedWork Trampoline()
{
    using WorkType = std::remove_reference_t<Work>;
    return [](void *context) -> fmx::errcode {
        WorkType &w = *static_cast<WorkType *>(context);
        if constexpr (std::is_void_v<decltype(w())>)
        {
            w();
            return 0;
        }
        else
        {
            return static_cast<fmx::errcode>(w());
        }
    };
}

template <class Work>
fmx::errcode GuardedCall(const char *allowListName, const fmx::ExprEnv &env, fmx::Data &result, Work &&work) noexcept
{
    return GuardedCallWith(allowListName, allowListName != nullptr, env, result, Trampoline<Work>(),
                           const_cast<void *>(static_cast<const void *>(&work)));
}

// The same boundary for a function the allow-list does not govern.
template <class Work>
fmx::errcode UngovernedCall(const char *functionName, const fmx::ExprEnv &env, fmx::Data &result, Work &&work) noexcept
{
    return GuardedCallWith(functionName, false, env, result, Trampoline<Work>(),
                           const_cast<void *>(static_cast<const void *>(&work)));
}
}

#endif
