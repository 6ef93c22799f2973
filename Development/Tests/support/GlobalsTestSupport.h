#pragma once

// Helpers for the tests of the global variables and the Get/Set selectors: host values built through the SDK,
// direct calls of an external function in an emulator session, and an allow-list that lets everything run.

#include <fstream>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "FMWrapper/FMXBinaryData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "FMWrapper/FMXTypes.h"

namespace globalstest
{
// Every function may run in each of these files (this program's own allow-list).
inline void AllowEverythingIn(const std::vector<std::string> &files)
{
    std::ofstream out(TEST_ALLOWLIST_PATH, std::ios::trunc);
    for (const std::string &file : files)
        out << file << "\tany\n";
}

inline fmx::DataUniquePtr TextValue(const std::string &utf8)
{
    fmx::TextUniquePtr text;
    text->Assign(utf8.c_str(), fmx::Text::kEncoding_UTF8);
    fmx::LocaleUniquePtr locale;
    fmx::DataUniquePtr data;
    data->SetAsText(*text, *locale);
    return data;
}

inline fmx::DataUniquePtr NumberValue(double value)
{
    fmx::FixPtUniquePtr number;
    number->AssignDouble(value);
    fmx::DataUniquePtr data;
    data->SetAsNumber(*number);
    return data;
}

inline fmx::DataUniquePtr DateValue(short month, short day, short year)
{
    fmx::DateTimeUniquePtr date;
    date->SetNormalizedDate(month, day, year);
    fmx::DataUniquePtr data;
    data->SetAsDate(*date);
    return data;
}

// A function's answer to one direct call.
struct cAnswer
{
    fmx::errcode error = 0;
    fmx::DataUniquePtr result;
    FMHost::Type type() const { return FMHost::TypeOf(*result); }
    std::string text() const { return FMHost::TextOf(*result); }
};

// Calls a plug-in function directly, as the host would, with the given arguments.
inline cAnswer Call(fmx::ExtPluginType function, FMHost::Session &session,
                    const std::vector<const fmx::Data *> &args)
{
    fmx::DataVectUniquePtr vector;
    for (const fmx::Data *arg : args)
        vector->PushBack(*arg);
    cAnswer answer;
    answer.error = function(0, session.Env(), *vector, *answer.result);
    return answer;
}

// The last error recorded in the session, as the host holds it.
inline std::string LastErrorMessage(FMHost::Session &session)
{
    return session.Variable("$$Vantrel_LastErrorMessage").text;
}
inline std::string LastErrorCode(FMHost::Session &session)
{
    return session.Variable("$$Vantrel_LastError").text;
}
}
