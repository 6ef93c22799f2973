#include "FMHost/CInterface.h"

#include "FMHost/Host.h"

#include <cstring>
#include <exception>
#include <string>

namespace {
constexpr short kRefused = -1;
}

extern "C" __attribute__((visibility("default"))) short FMHost_CallFunction(const char *fileName, const char *name,
                                                                            const char *argument, char *text,
                                                                            std::size_t capacity)
{
    if (!text || capacity == 0)
        return kRefused;
    text[0] = '\0';
    if (!fileName || !name || !argument)
        return kRefused;
    // Nothing may unwind into a C caller.
    try
    {
        FMHost::Session session;
        session.OpenFile(fileName);
        fmx::TextUniquePtr argumentText;
        argumentText->Assign(argument, fmx::Text::kEncoding_UTF8);
        fmx::LocaleUniquePtr locale;
        fmx::DataUniquePtr value;
        value->SetAsText(*argumentText, *locale);
        fmx::DataVectUniquePtr args;
        args->PushBack(*value);
        fmx::DataUniquePtr result;
        const short answer = session.Call(name, *args, *result);
        const std::string form = FMHost::TextOf(*result);
        if (form.size() >= capacity)
            return kRefused;
        std::memcpy(text, form.c_str(), form.size() + 1);
        return answer;
    }
    catch (...)
    {
        return kRefused;
    }
}
