#include "calc/Builtins.h"

#include "calc/Lexer.h"

#include <unordered_map>

namespace emu::calc
{
namespace
{
// Filled during static initialisation and only read afterwards, so look-ups need no lock.
std::unordered_map<std::u16string, Builtin> &table()
{
    static std::unordered_map<std::u16string, Builtin> builtins;
    return builtins;
}
} // namespace

BuiltinRegistration::BuiltinRegistration(std::initializer_list<Builtin> builtins)
{
    for (const Builtin &builtin : builtins)
    {
        std::u16string name;
        for (const char *c = builtin.name; *c; ++c)
            name += static_cast<char16_t>(*c);
        table()[foldName(name)] = builtin;
    }
}

const Builtin *findBuiltin(const std::u16string &foldedName)
{
    auto it = table().find(foldedName);
    return it == table().end() ? nullptr : &it->second;
}
} // namespace emu::calc
