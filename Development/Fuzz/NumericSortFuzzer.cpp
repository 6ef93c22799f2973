// The numeric sort reads any list a calculation hands it: every input must give a list of numbers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sql/SortNumberInFMText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    vtl::SortedNumberList(bytes);
    return 0;
}
