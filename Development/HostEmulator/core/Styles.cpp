#include "core/Styles.h"

#include <mutex>
#include <vector>

namespace emu {
namespace {

struct FontTable
{
    std::mutex mutex;
    std::vector<std::u16string> names{std::u16string()};  // index = id; id 0 has no name
};

FontTable &Fonts()
{
    static FontTable table;
    return table;
}

} // namespace

uint16_t FontIdFor(const std::u16string &name)
{
    if (name.empty())
        return 0xFFFF;
    FontTable &table = Fonts();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (size_t id = 1; id < table.names.size(); ++id)
        if (table.names[id] == name)
            return static_cast<uint16_t>(id);
    if (table.names.size() >= 0xFFFF)
        return 0xFFFF;
    table.names.push_back(name);
    return static_cast<uint16_t>(table.names.size() - 1);
}

bool FontNameFor(uint16_t id, std::u16string &name)
{
    FontTable &table = Fonts();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (id == 0 || id >= table.names.size())
        return false;
    name = table.names[id];
    return true;
}

} // namespace emu
