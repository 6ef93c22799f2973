// Functions that ask the host: Get ( selector ) and DatabaseNames.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/Lexer.h"
#include "calc/Engine.h"

namespace emu::calc
{
namespace
{
void setDateTimeNow(Value &result, DataType type)
{
    result.SetDateTime(DateTime::Now(), kDTTimeStamp, type);
}

// Get ( FileName ) and the other selectors; the selector is a bare name, matched without regard to case.
short getFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    const Node &argument = *call.args[0];
    bool bareName = argument.kind == NodeKind::Name || argument.kind == NodeKind::Local ||
                    (argument.kind == NodeKind::Call && !argument.hasParentheses);
    const std::u16string &selector = argument.key;
    if (!bareName)
        return evaluator.fail(kInvalidGetParameter, argument, "Get needs a selector name such as FileName");
    if (selector == u"filename")
    {
        const HostedFile *file = evaluator.session().CallingFile();
        result.SetText(file ? file->name : std::u16string());
    }
    else if (selector == u"applicationversion")
        result.SetText(kApplicationVersion);
    else if (selector == u"currentdate")
        setDateTimeNow(result, kDTDate);
    else if (selector == u"currenttime")
        setDateTimeNow(result, kDTTime);
    else if (selector == u"currenttimestamp" || selector == u"currenthosttimestamp")
        setDateTimeNow(result, kDTTimeStamp);
    else
        return evaluator.fail(kInvalidGetParameter, argument, "unknown Get selector");
    return kCalcOK;
}

// The names of the open hosted files, one per line, in opening order.
short databaseNames(Evaluator &evaluator, const Node &, Value &result)
{
    std::u16string names;
    for (const HostedFile &file : evaluator.session().Files())
    {
        if (!names.empty())
            names += u'\r';
        names += file.name;
    }
    result.SetText(names);
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Get", 1, 1, &getFunction},
    {"DatabaseNames", 0, 0, &databaseNames},
});
} // namespace
} // namespace emu::calc
