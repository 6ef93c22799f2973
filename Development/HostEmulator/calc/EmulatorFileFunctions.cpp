// Emulator extensions (not FileMaker functions) for tests and demos that need what a server's clients do between
// calculations: EmulatorSetCallingFile ( name ) makes an open hosted file the calling file, EmulatorCloseFile ( name )
// closes one, as when its last client leaves. Both answer 1, or error 100 ("file is missing") for a file that is not
// open. Names compare without regard to case.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"

#include <string_view>

namespace emu::calc
{
namespace
{
constexpr short kFileMissing = 100;

template <bool (Session::*Action)(std::u16string_view)>
short fileAction(Evaluator &evaluator, const Node &call, Value &result)
{
    Value name;
    if (short code = evaluator.evaluate(*call.args[0], name))
        return code;
    if (!(evaluator.session().*Action)(name.AsText().Chars()))
        return evaluator.fail(kFileMissing, *call.args[0], "no hosted file of that name is open");
    setBoolean(result, true);
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"EmulatorSetCallingFile", 1, 1, &fileAction<&Session::SetCallingFile>},
    {"EmulatorCloseFile", 1, 1, &fileAction<&Session::CloseFile>},
});
} // namespace
} // namespace emu::calc
