#pragma once

// Calls a plug-in function the way the host does, with text arguments, inside an emulator session.

#include <string>
#include <vector>

#include "FMHost/Host.h"

namespace calltest {

inline fmx::DataVectUniquePtr textArguments(const std::vector<std::string>& arguments)
{
    fmx::DataVectUniquePtr args;
    fmx::LocaleUniquePtr locale;
    for (const std::string& argument : arguments) {
        fmx::TextUniquePtr text;
        text->Assign(argument.c_str(), fmx::Text::kEncoding_UTF8);
        fmx::DataUniquePtr value;
        value->SetAsText(*text, *locale);
        args->PushBack(*value);
    }
    return args;
}

// `invoke` gets the prepared arguments and a result value and returns the function's answer to the host.
// With failCall n, the n-th SDK call made from then on fails with an allocation failure.
template <class Invoke>
FMHost::Result callWith(Invoke invoke, const std::vector<std::string>& arguments, unsigned failCall = 0)
{
    fmx::DataVectUniquePtr args = textArguments(arguments);
    fmx::DataUniquePtr result;
    FMHost::Result answer;
    if (failCall != 0)
        FMHost::Faults::FailNthCall(failCall);
    answer.error = invoke(*args, *result);
    FMHost::Faults::ClearAll();
    answer.type = FMHost::TypeOf(*result);
    answer.text = FMHost::TextOf(*result);
    return answer;
}

// Through the host's registry, with its argument-count check.
inline FMHost::Result call(FMHost::Session& session, const std::string& name,
                           const std::vector<std::string>& arguments = {}, unsigned failCall = 0)
{
    return callWith([&](const fmx::DataVect& args, fmx::Data& result) { return session.Call(name, args, result); },
                    arguments, failCall);
}

// Straight into the implementation, as the host would call it.
inline FMHost::Result call(FMHost::Session& session, fmx::ExtPluginType function, short functionId,
                           const std::vector<std::string>& arguments = {}, unsigned failCall = 0)
{
    return callWith(
        [&](const fmx::DataVect& args, fmx::Data& result) { return function(functionId, session.Env(), args, result); },
        arguments, failCall);
}

}  // namespace calltest
