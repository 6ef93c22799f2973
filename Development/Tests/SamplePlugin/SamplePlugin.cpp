// A sample FileMaker plug-in, written as plug-in developers write theirs: only the SDK's headers, only the host's
// libFMWrapper.so. The tests build it as a project of its own and check its answers through fmhost.
//
//   Sample_Greet ( name )                "Hello, <name>!" (reads UTF-8 with GetBytes)
//   Sample_Reverse ( text )              the text backwards (reads UTF-16 with GetUnicode)
//   Sample_Sum ( number { ; number... } ) the sum, as a number
//   Sample_EndOfMonth ( date )           the last day of the date's month, as a date
//   Sample_Divide ( dividend ; divisor ) the quotient; "?" for a divisor 0, the reason in $$Sample_LastErrorMessage
#include "FMWrapper/FMXTypes.h" // before FMXCalcEngine.h, which uses QuadChar without declaring it
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXExtern.h"
#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"

#include <string>
#include <vector>

__attribute__((visibility("default"))) FMX_ExternCallPtr gFMX_ExternCallPtr = nullptr;

namespace
{
const char kPluginId[] = "SMPL";
// A host error code for an exception that reached a function's boundary: nothing may be thrown into the host.
constexpr fmx::errcode kFailed = 1552;

fmx::QuadCharUniquePtr pluginId() { return fmx::QuadCharUniquePtr(kPluginId[0], kPluginId[1], kPluginId[2], kPluginId[3]); }

std::string utf8Of(const fmx::Text &text)
{
    // Up to four bytes per character and the terminator GetBytes writes.
    std::vector<char> buffer(static_cast<std::size_t>(text.GetSize()) * 4 + 1);
    text.GetBytes(buffer.data(), static_cast<fmx::uint32>(buffer.size()), 0, fmx::Text::kSize_End, fmx::Text::kEncoding_UTF8);
    return std::string(buffer.data());
}

void answerText(fmx::Data &result, const std::string &utf8)
{
    fmx::TextUniquePtr text;
    text->Assign(utf8.c_str(), fmx::Text::kEncoding_UTF8);
    result.SetAsText(*text, result.GetLocale());
}

// Runs a function body; an exception becomes an error code instead of crossing into the host.
template <typename Body> fmx::errcode guarded(Body body)
{
    try
    {
        return body();
    }
    catch (...)
    {
        return kFailed;
    }
}

fmx::errcode greet(short, const fmx::ExprEnv &, const fmx::DataVect &args, fmx::Data &result)
{
    return guarded([&] {
        answerText(result, "Hello, " + utf8Of(args.AtAsText(0)) + "!");
        return fmx::errcode(0);
    });
}

fmx::errcode reverse(short, const fmx::ExprEnv &, const fmx::DataVect &args, fmx::Data &result)
{
    return guarded([&] {
        const fmx::Text &text = args.AtAsText(0);
        std::vector<fmx::uint16> units(text.GetSize());
        if (!units.empty())
            text.GetUnicode(units.data(), 0, static_cast<fmx::uint32>(units.size()));
        // Backwards by characters: a surrogate pair stays in its order.
        std::vector<fmx::uint16> reversed;
        reversed.reserve(units.size());
        for (std::size_t end = units.size(); end > 0;)
        {
            std::size_t start = end - 1;
            if (start > 0 && units[start] >= 0xDC00 && units[start] <= 0xDFFF && units[start - 1] >= 0xD800 &&
                units[start - 1] <= 0xDBFF)
                --start;
            reversed.insert(reversed.end(), units.begin() + static_cast<std::ptrdiff_t>(start),
                            units.begin() + static_cast<std::ptrdiff_t>(end));
            end = start;
        }
        fmx::TextUniquePtr answer;
        answer->AssignUnicodeWithLength(reversed.data(), static_cast<fmx::uint32>(reversed.size()));
        result.SetAsText(*answer, result.GetLocale());
        return fmx::errcode(0);
    });
}

fmx::errcode sum(short, const fmx::ExprEnv &, const fmx::DataVect &args, fmx::Data &result)
{
    return guarded([&] {
        fmx::FixPtUniquePtr total;
        for (fmx::uint32 i = 0; i < args.Size(); ++i)
        {
            fmx::FixPtUniquePtr next;
            total->Add(args.AtAsNumber(i), *next);
            total->AssignFixPt(*next);
        }
        result.SetAsNumber(*total);
        return fmx::errcode(0);
    });
}

fmx::errcode endOfMonth(short, const fmx::ExprEnv &, const fmx::DataVect &args, fmx::Data &result)
{
    return guarded([&] {
        const fmx::DateTime &date = args.AtAsDate(0);
        fmx::DateTimeUniquePtr firstOfNext;
        // Month 13 carries over into January of the next year.
        if (fmx::errcode error = firstOfNext->SetNormalizedDate(static_cast<fmx::int16>(date.GetMonth() + 1), 1,
                                                                date.GetYear()))
            return error;
        fmx::DateTimeUniquePtr last;
        last->SetDaysSinceEpoch(firstOfNext->GetDaysSinceEpoch() - 1);
        result.SetAsDate(*last);
        return fmx::errcode(0);
    });
}

// Plug-ins record why they answered "?" where the calculation can read it.
void recordError(const fmx::ExprEnv &env, const char *message)
{
    fmx::TextUniquePtr calculation;
    calculation->Assign((std::string("Let ( $$Sample_LastErrorMessage = \"") + message + "\" ; \"\" )").c_str(),
                        fmx::Text::kEncoding_UTF8);
    fmx::DataUniquePtr ignored;
    env.Evaluate(*calculation, *ignored);
}

fmx::errcode divide(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return guarded([&] {
        fmx::FixPtUniquePtr quotient;
        if (args.AtAsNumber(0).Divide(args.AtAsNumber(1), *quotient) != 0)
        {
            recordError(env, "the divisor is 0");
            answerText(result, "?");
            return fmx::errcode(0);
        }
        result.SetAsNumber(*quotient);
        return fmx::errcode(0);
    });
}

struct cFunction
{
    short id;
    const char *name, *prototype, *description;
    short minArgs, maxArgs;
    fmx::ExtPluginType implementation;
};

const cFunction kFunctions[] = {
    {1, "Sample_Greet", "Sample_Greet ( name )", "Greets someone", 1, 1, &greet},
    {2, "Sample_Reverse", "Sample_Reverse ( text )", "The text backwards", 1, 1, &reverse},
    {3, "Sample_Sum", "Sample_Sum ( number { ; number... } )", "The sum of the numbers", 1, -1, &sum},
    {4, "Sample_EndOfMonth", "Sample_EndOfMonth ( date )", "The last day of the date's month", 1, 1, &endOfMonth},
    {5, "Sample_Divide", "Sample_Divide ( dividend ; divisor )", "The quotient, ? for a divisor 0", 2, 2, &divide},
};

void unregisterFunctions()
{
    for (const cFunction &function : kFunctions)
        fmx::ExprEnv::UnRegisterExternalFunction(*pluginId(), function.id);
}

bool registerFunctions()
{
    for (const cFunction &function : kFunctions)
    {
        fmx::TextUniquePtr name, prototype, description;
        name->Assign(function.name);
        prototype->Assign(function.prototype);
        description->Assign(function.description);
        if (fmx::ExprEnv::RegisterExternalFunctionEx(*pluginId(), function.id, *name, *prototype, *description,
                                                     function.minArgs, function.maxArgs,
                                                     fmx::ExprEnv::kMayEvaluateOnServer |
                                                         fmx::ExprEnv::kDisplayInAllDialogs,
                                                     function.implementation) != 0)
        {
            unregisterFunctions();
            return false;
        }
    }
    return true;
}
} // namespace

extern "C" __attribute__((visibility("default"))) void FMExternCallProc(FMX_ExternCallPtr pb)
{
    gFMX_ExternCallPtr = pb;
    try
    {
        switch (pb->whichCall)
        {
        case kFMXT_Init:
            pb->result = registerFunctions() ? static_cast<FMX_PtrType>(kCurrentExtnVersion)
                                             : static_cast<FMX_PtrType>(kDoNotEnable);
            break;
        case kFMXT_Shutdown: unregisterFunctions(); break;
        default: break;
        }
    }
    catch (...)
    {
        if (pb->whichCall == kFMXT_Init)
            pb->result = static_cast<FMX_PtrType>(kDoNotEnable);
    }
}
