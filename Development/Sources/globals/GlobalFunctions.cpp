#include "globals/GlobalFunctions.h"

#include "errors/FunctionGuard.h"
#include "errors/UsageError.h"
#include "globals/Dictionary.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace
{
bool isEmptyText(const fmx::Data &value)
{
    return value.GetNativeType() == fmx::Data::kDTText && value.GetAsText().GetSize() == 0;
}

// The one option there is, in any letter case; nothing is trimmed.
bool isDieOnClose(const fmx::Text &option)
{
    static const char *const kOptions[] = {"dieonclose"};
    return fmlib::FindFMTextInArray(option, kOptions, 1) == 0;
}
}

fmx::errcode Vantrel_SetGlobal(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_SetGlobal", env, result, [&] {
        vtl::globalDictionary.cleanLocalKeysIfDue(env);
        const fmx::uint32 count = args.Size();
        if (count < 2)
            throw vtl::cUsageError("Key and value must be specified");
        const fmx::Text &key = args.AtAsText(0);
        const fmx::Data &value = args.At(1);
        if (key.GetSize() == 0)
        {
            vtl::globalDictionary.clean();
            return;
        }
        if (isEmptyText(value))
        {
            vtl::globalDictionary.removeKeyValue(key);
            return;
        }
        if (count == 2)
            vtl::globalDictionary.storeValueForKey(key, value);
        else if (isDieOnClose(args.AtAsText(2)))
            vtl::globalDictionary.storeLocalValueForKey(env, key, value);
        else
            throw vtl::cUsageError("Unknown value of parameter moreOptions");
        fmlib::FMData2FMData(value, result);
    });
}

fmx::errcode Vantrel_GetGlobal(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_GetGlobal", env, result, [&] {
        vtl::globalDictionary.cleanLocalKeysIfDue(env);
        if (args.Size() < 1)
            throw vtl::cUsageError("Key must be specified");
        const fmx::Text &key = args.AtAsText(0);
        if (key.GetSize() != 0)
            vtl::globalDictionary.loadValueForKey(key, result);
    });
}
